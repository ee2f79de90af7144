#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct AVCodecContext;

namespace vobsub {

// One VobSub set as libavformat reads it: per language its pictures' packets and display
// times, and the picture due now decoded to 32-bit pixels.
class SubtitleSet {
 public:
  SubtitleSet() = default;
  ~SubtitleSet();
  SubtitleSet(const SubtitleSet&) = delete;
  SubtitleSet& operator=(const SubtitleSet&) = delete;

  // Reads "<base>.idx" with the ".sub" beside it; a set that cannot be read is empty.
  void Load(const std::string& base);
  int32_t HighestLanguage() const;
  // The language's English name, or "(Not detected)".
  std::string LanguageName(int32_t index) const;
  void SelectLanguage(int32_t index);
  // Finds the picture due at `milliseconds`; false when none is.
  bool Find(int32_t milliseconds);
  int32_t CurrentId() const { return currentId_; }
  // The current picture's pixels (blue, green, red, opacity) and rectangle.
  void CurrentPixels(uint8_t** pixels, int32_t rect[4]);

 private:
  struct Picture {
    int32_t id;          // unique across every set loaded in this run
    int64_t start, end;  // milliseconds; end -1 when the picture gives none
    std::vector<uint8_t> packet;
  };
  struct Language {
    std::string code;
    std::vector<Picture> pictures;  // by start time
  };
  void Clear();
  bool Decode(const Picture& picture, bool keepPixels);
  void ComputeDisplayTimes(Language& language);

  std::map<int32_t, Language> languages_;
  std::vector<uint8_t> extradata_;  // the ".idx" palette and size, for the decoder
  AVCodecContext* decoder_ = nullptr;
  const Language* current_ = nullptr;
  int32_t currentId_ = -1;
  int32_t decodedId_ = -1;
  std::vector<uint8_t> pixels_;
  int32_t rect_[4] = {0, 0, 0, 0};
  // Display times found by decoding, from the last Decode.
  int64_t decodedStart_ = 0, decodedEnd_ = -1;
};

}  // namespace vobsub
