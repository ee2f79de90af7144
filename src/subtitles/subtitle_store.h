#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace captivo {

// One text subtitle. Times are whole seconds or frame numbers (see TimesInSeconds), both
// inclusive; lines of Text are joined by CR LF.
struct TTimeSpan {
  static constexpr int32_t kNoEnd = -1;              // the file gave no end
  static constexpr int32_t kOpenEnd = 2147483647;    // shows until the end of playback
  int32_t StartTime = 0;
  int32_t EndTime = kNoEnd;
  std::string Text;
};

// The subtitles of the text file loaded last, in file order, and the lookup by frame
// position. Stored times are never converted: each lookup converts them at the subtitle
// frame rate in force, which the owner keeps and passes by reference.
class SubtitleStore {
 public:
  explicit SubtitleStore(const double& subtitleFrameRate) : subtitleFrameRate_(subtitleFrameRate) {}

  bool TimesInSeconds = false;
  std::vector<std::string> SubtitleLines;  // scratch lines of the frame-based reader
  std::string SubtitleFileName;

  // Releases every entry and forgets the last hit.
  void ClearSubtitles();
  void Append(TTimeSpan entry) { SubtitleList.push_back(std::move(entry)); }
  size_t Count() const { return SubtitleList.size(); }
  TTimeSpan& At(size_t index) { return SubtitleList[index]; }
  const TTimeSpan& At(size_t index) const { return SubtitleList[index]; }

  // A stored time as a frame number: seconds times the subtitle frame rate, rounded half
  // to even and clamped to 32 bits; frame numbers as they stand.
  int32_t TimeToFrame(int32_t time) const;

  // Empties the memory of the last hit; also due whenever the subtitle frame rate changes.
  void ForgetLastHit();

  // The text of the entry whose converted start and end enclose `position` (both
  // inclusive), or an empty text. A binary search in list order behind a memory of the
  // last hit, which answers positions strictly inside the remembered bounds.
  const std::string& FindSubtitleAt(int32_t position);

 private:
  // Tests one entry, remembering it on a hit; `start` receives its converted start.
  bool HitAt(size_t index, int32_t position, int32_t& start);

  std::vector<TTimeSpan> SubtitleList;
  const double& subtitleFrameRate_;
  int32_t CachedStart = 0;
  int32_t CachedEnd = 0;
  std::string CachedText;
  static const std::string kNoText;
};

}  // namespace captivo
