#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

namespace captivo {

// An array of plain values that grows with realloc. A large block (one the allocator maps
// by itself) then grows where it stands or is moved by the kernel's page tables, never
// copied: a store being filled from a big file never holds its old and its new copy at
// once, as a vector or string growing by copy does for a moment at every doubling. The
// room beyond the size is never touched, so it costs address space, not memory.
template <typename T>
class GrowingArray {
  static_assert(std::is_trivially_copyable_v<T>, "values are moved as bytes");

 public:
  GrowingArray() = default;
  ~GrowingArray() { std::free(data_); }
  GrowingArray(GrowingArray&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  GrowingArray& operator=(GrowingArray other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    return *this;
  }

  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  T* Data() { return data_; }
  const T* Data() const { return data_; }
  T& operator[](size_t index) { return data_[index]; }
  const T& operator[](size_t index) const { return data_[index]; }
  T& Back() { return data_[size_ - 1]; }

  void PushBack(const T& value) { *Extend(1) = value; }
  // Makes the array `count` values longer and gives the first new one, not yet set.
  // std::bad_alloc when there is no room; the array is then as it was.
  T* Extend(size_t count) {
    if (count > capacity_ - size_) Grow(count);
    T* added = data_ + size_;
    size_ += count;
    return added;
  }
  // Drops the values from `size` on (a size beyond the present one changes nothing).
  void Truncate(size_t size) {
    if (size < size_) size_ = size;
  }
  // Empties the array and gives its memory back.
  void Release() { *this = GrowingArray(); }

 private:
  void Grow(size_t count) {
    constexpr size_t kMost = static_cast<size_t>(-1) / sizeof(T);
    if (count > kMost - size_) throw std::bad_alloc();
    size_t capacity = capacity_ < 16 ? 16 : capacity_ <= kMost / 2 ? capacity_ * 2 : kMost;
    if (capacity < size_ + count) capacity = size_ + count;
    void* grown = std::realloc(data_, capacity * sizeof(T));
    if (!grown) throw std::bad_alloc();
    data_ = static_cast<T*>(grown);
    capacity_ = capacity;
  }

  T* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace captivo
