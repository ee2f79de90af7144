#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "growing_array.h"

namespace captivo {

// Texts kept end to end in one block, in the order they were added: a text costs its bytes
// and one number, where it ends. Only the last text can still grow.
class TextList {
 public:
  void Append(std::string_view text) {
    AppendWritten(text.size(), [text](char* out) { CopyTo(out, text); });
  }
  // Appends a text of `size` bytes that `write(char* out)` writes in place, never built
  // elsewhere and copied. Should anything raise, nothing is added.
  template <typename Write>
  void AppendWritten(size_t size, Write&& write) {
    char* out = bytes_.Extend(size);
    try {
      write(out);
      ends_.PushBack(bytes_.Size());
    } catch (...) {
      bytes_.Truncate(bytes_.Size() - size);
      throw;
    }
  }
  // Adds `more` to the end of the last text.
  void ExtendLast(std::string_view more) {
    CopyTo(bytes_.Extend(more.size()), more);
    ends_.Back() = bytes_.Size();
  }
  size_t Count() const { return ends_.Size(); }
  std::string_view operator[](size_t index) const {
    const size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(bytes_.Data() + begin, ends_[index] - begin);
  }
  // Empties the list and gives its memory back.
  void Release() {
    bytes_.Release();
    ends_.Release();
  }

 private:
  // memcpy wants real pointers even for no bytes, and an empty list or text has none.
  static void CopyTo(char* out, std::string_view text) {
    if (!text.empty()) std::memcpy(out, text.data(), text.size());
  }

  GrowingArray<char> bytes_;
  GrowingArray<size_t> ends_;  // where each text ends in bytes_
};

}  // namespace captivo
