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
    bounds_.emplace_back(text_.size(), line.size());
    text_.append(line);
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
  // Room for `bytes` of text, so that a file's lines are not moved while they are added.
  void Reserve(size_t bytes) { text_.reserve(bytes); }
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
