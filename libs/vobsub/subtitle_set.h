#pragma once

#include <cstdint>
#include <string>

#include "vobsub_set.h"

namespace vobsub {

// The library's state: the set loaded last, the chosen language, the picture due now and
// its pixels, decoded when it first becomes due.
class SubtitleSet {
 public:
  // Reads "<base>.idx" with the ".sub" beside it; a set that cannot be read is empty.
  void Load(const std::string& base);
  int32_t HighestLanguage() const;
  // The language's English name, or "(Not detected)".
  std::string LanguageName(int32_t index) const { return set_.LanguageName(index); }
  void SelectLanguage(int32_t index);
  // Finds the picture due at `milliseconds`; false when none is, or when the picture
  // due cannot be decoded.
  bool Find(int32_t milliseconds);
  int32_t CurrentId() const { return currentId_; }
  // The current picture's pixels (blue, green, red, opacity) and rectangle, valid until
  // the next Find.
  void CurrentPixels(uint8_t** pixels, int32_t rect[4]);
  // The chosen language's pictures' starts and ends (GetPictureTimes in vobsub.h).
  int32_t PictureTimes(int32_t* starts, int32_t* ends, int32_t capacity) const;

 private:
  VobSubSet set_;
  int32_t language_ = -1;  // chosen and present in the set, else -1
  int32_t currentId_ = -1;
  int32_t shownId_ = -1;   // the picture whose pixels `shown_` holds
  int32_t brokenId_ = -1;  // the last picture that could not be decoded
  Bitmap shown_;
};

}  // namespace vobsub
