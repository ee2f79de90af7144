#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "message_sink.h"
#include "picture_subtitles.h"
#include "subtitle_store.h"
#include "subtitle_timing.h"
#include "two_point_timing.h"

namespace captivo {

// What a clock tick shows: a text (empty: none), or, for subtitles that are pictures, the
// picture of `pictures` due at `milliseconds` (none without a rate: the pictures are left
// as they are).
struct DueSubtitle {
  std::string_view text;
  PictureSubtitles* pictures = nullptr;
  std::optional<int32_t> milliseconds;
};

// The subtitles the user has loaded, whatever their kind: nothing yet, the lines of a
// text file (kept in a store), a VobSub set (kept by the bitmap library, in one of its
// languages), or one of the movie's own tracks (its lines in the store, or its pictures),
// or None chosen among those tracks. It answers every question the program asks of them,
// so that the clock, line timing, the timing remembered per movie and the display never
// ask which kind is loaded.
class LoadedSubtitles {
 public:
  explicit LoadedSubtitles(BitmapSetLibrary& bitmapSets) : bitmapSets_(bitmapSets) {}

  // Opens `path`, which holds the file name's bytes. A VobSub set goes to the bitmap
  // library, in `language` when given, else in the one `chooseLanguage` gives; any other
  // file is read as text (into the store, or a reader's message through `sink`). The
  // file's name is kept and the timing marks are forgotten whatever the outcome, except
  // when an error is raised (a file that cannot be opened, a number that is none).
  void Open(const std::string& path, std::optional<int32_t> language,
            const std::function<int32_t()>& chooseLanguage, MessageSink& sink);
  // Makes the movie's subtitle track `index` the loaded subtitles: a track of text has its
  // lines, timed in milliseconds, appended to the store as they are read (the store starts
  // empty); a track of pictures (`pictures` given) shows those, timed in milliseconds.
  void OpenTrack(int32_t index, PictureSubtitles* pictures = nullptr);
  // None chosen among the movie's tracks: a track loaded goes, a subtitle file stays.
  void ChooseNoTrack();
  // Another movie opened: a track loaded, or None chosen, was the last movie's.
  void ForgetTrack();
  // The movie's track loaded, kNoTrackChosen when None was chosen in its place; nothing
  // when no track is.
  std::optional<int32_t> Track() const;
  // Releases every line.
  void Clear() { store_.ClearSubtitles(); }
  // Nothing loaded any more: no lines, no file name, no marks.
  void Close();

  // Exact Times: lines timed in seconds show from the frame their exact start falls on
  // (off: from their whole seconds, as files always were). Kept for every file opened
  // later; lines timed in milliseconds are always exact, frame numbers never change.
  void SetExactTimes(bool exact) { store_.SetExactTimes(exact); }
  bool ExactTimes() const { return store_.ExactTimes(); }

  // The path of the file opened last; empty before the first.
  const std::string& FileName() const { return fileName_; }
  // The text file's encoding as found when it loaded ("utf-8", "utf-16le", a legacy code
  // page detected such as "windows-1251"); empty for pictures, a track, or a file whose
  // code page could not be told (its text is then read with the font's script).
  const std::string& TextEncoding() const { return encoding_; }
  // The loaded subtitles come in languages the user may choose among (a VobSub set).
  bool HasLanguages() const { return kind_ == Kind::BitmapSet; }
  int32_t Language() const { return language_; }

  // What shows at `subtitlePosition` under `timing`.
  DueSubtitle DueAt(int32_t subtitlePosition, const SubtitleTiming& timing);

  // The lines the user can time ("this line starts now"): none when no text is loaded.
  const SubtitleStore* TimedLines() const;
  // The lines a synchronisation lays on speech or on other lines, as stored under `timing`:
  // a text's lines, or a VobSub set's pictures (which cannot be moved one by one); nothing
  // for other pictures, or when nothing is loaded.
  std::optional<SyncSubject> LinesToSync(const SubtitleTiming& timing);
  // Lines timed in seconds can tell the subtitle rate; frame numbers cannot.
  bool LinesTellTheRate() const { return store_.TimesInSeconds; }
  // The first line timed since these subtitles were opened, which a second one far enough
  // from it pairs with to solve the rate.
  std::optional<TimingMark>& FirstMark() { return firstMark_; }
  const std::optional<TimingMark>& FirstMark() const { return firstMark_; }

  // The text store, for readers and tests.
  SubtitleStore& Store() { return store_; }

 private:
  enum class Kind { None, TextFile, BitmapSet, Track, NoTrack };

  BitmapSetLibrary& bitmapSets_;
  Kind kind_ = Kind::None;
  SubtitleStore store_;
  std::string fileName_;
  std::string encoding_;
  int32_t language_ = 0;
  int32_t trackIndex_ = 0;
  PictureSubtitles* trackPictures_ = nullptr;  // the track loaded is one of pictures
  std::optional<TimingMark> firstMark_;
};

}  // namespace captivo
