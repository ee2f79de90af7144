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

int32_t SubtitleSet::PictureTimes(int32_t* starts, int32_t* ends, int32_t capacity) const {
  if (language_ < 0) return 0;
  const std::vector<Picture>& pictures = set_.Languages().at(language_).pictures;
  const auto clamp = [](int64_t ms) {
    return int32_t(std::clamp<int64_t>(ms, INT32_MIN, INT32_MAX));
  };
  for (size_t i = 0; i < pictures.size() && int64_t(i) < capacity; ++i) {
    starts[i] = clamp(pictures[i].start);
    ends[i] = clamp(DueUntil(pictures, i).value_or(pictures[i].start));
  }
  return int32_t(std::min<size_t>(pictures.size(), INT32_MAX));
}

void SubtitleSet::CurrentPixels(uint8_t** pixels, int32_t rect[4]) {
  *pixels = shown_.pixels.data();
  const int32_t place[4] = {shown_.left, shown_.top, shown_.right, shown_.bottom};
  std::copy(std::begin(place), std::end(place), rect);
}

}  // namespace vobsub
