#include "subtitle_set.h"

#include <algorithm>

namespace vobsub {

void SubtitleSet::Load(const std::string& base) {
  set_.Load(base);
  language_ = currentId_ = shownId_ = brokenId_ = -1;
  shown_ = Bitmap{};
}

int32_t SubtitleSet::HighestLanguage() const {
  return set_.Languages().empty() ? -1 : set_.Languages().rbegin()->first;
}

void SubtitleSet::SelectLanguage(int32_t index) {
  language_ = set_.Languages().contains(index) ? index : -1;
  currentId_ = -1;
}

bool SubtitleSet::Find(int32_t milliseconds) {
  currentId_ = -1;
  if (language_ < 0) return false;
  const std::vector<Picture>& pictures = set_.Languages().at(language_).pictures;
  const std::optional<size_t> due = DueAt(pictures, milliseconds);
  if (!due) return false;
  const Picture& picture = pictures[*due];
  // Decoded once when it becomes due; one that failed is not read again at every tick.
  if (picture.id == brokenId_) return false;
  if (picture.id != shownId_) {
    std::string problem;
    if (!set_.Decode(language_, picture, shown_, problem)) {
      brokenId_ = picture.id;
      shownId_ = -1;
      shown_ = Bitmap{};
      return false;
    }
    shownId_ = picture.id;
  }
  currentId_ = picture.id;
  return true;
}

void SubtitleSet::CurrentPixels(uint8_t** pixels, int32_t rect[4]) {
  *pixels = shown_.pixels.data();
  const int32_t place[4] = {shown_.left, shown_.top, shown_.right, shown_.bottom};
  std::copy(std::begin(place), std::end(place), rect);
}

}  // namespace vobsub
