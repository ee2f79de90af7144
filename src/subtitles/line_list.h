#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace captivo {

// A list of texts kept end to end in one block: a text costs its bytes and two numbers,
// not an allocation of its own.
class LineList {
 public:
  void Append(std::string_view line) {
    AppendWritten([line](std::string& out) { out.append(line); });
  }
  // Appends the text that `write(std::string& out)` appends to `out`: written in place,
  // never built elsewhere and copied.
  template <typename Write>
  void AppendWritten(Write&& write) {
    const size_t offset = text_.size();
    try {
      write(text_);
      bounds_.emplace_back(offset, text_.size() - offset);
    } catch (...) {
      text_.resize(offset);
      throw;
    }
  }
  // Adds `more` to the end of the text at `index`. The last text grows where it stands;
  // another is moved to the end of the block first.
  void Extend(size_t index, std::string_view more) {
    auto& [offset, length] = bounds_[index];
    if (offset + length != text_.size()) {
      const std::string moved = text_.substr(offset, length);
      offset = text_.size();
      text_.append(moved);
    }
    text_.append(more);
    length += more.size();
  }
  size_t Count() const { return bounds_.size(); }
  std::string_view operator[](size_t index) const {
    return std::string_view(text_).substr(bounds_[index].first, bounds_[index].second);
  }
  // Empties the list and gives its memory back.
  void Release() {
    std::string().swap(text_);
    std::vector<std::pair<size_t, size_t>>().swap(bounds_);
  }

 private:
  std::string text_;
  std::vector<std::pair<size_t, size_t>> bounds_;  // offset and length of each line
};

}  // namespace captivo
