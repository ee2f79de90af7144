#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "exclusive_change.h"

namespace captivo {

// A second subtitle shown above the first, and its own timing.
struct RememberedSecond {
  std::string path;  // empty for a track of the movie
  std::optional<int32_t> track;
  int32_t offsetMilliseconds = 0;
  int rateTag = 0;  // as RememberedTiming's
  double subtitleFrameRate = 0;
  bool operator==(const RememberedSecond&) const = default;
};

// The subtitle timing chosen for one movie, brought back when the movie is opened again.
// Paths are byte strings as the file system gives them: they need not be UTF-8.
struct RememberedTiming {
  std::string moviePath;
  uint64_t movieSize = 0;
  std::string subtitlePath;
  int32_t offsetMilliseconds = 0;
  int rateTag = 0;  // the frame rate menu's choice, 0..5; -1: a rate of its own
  double subtitleFrameRate = 0;
  int32_t vobSubLanguage = 0;
  // The movie's own subtitle track chosen in place of a file (subtitlePath then empty), or
  // kNoTrackChosen when None was chosen. Written as an eighth field only when there is one
  // or an audio track follows (then empty when there is none): entries without stay as
  // they were.
  std::optional<int32_t> subtitleTrack;
  // The movie's audio track chosen: a ninth field, written when there is one (empty when
  // only a second subtitle follows).
  std::optional<int32_t> audioTrack;
  // The second subtitle: five fields more (path, offset, rate tag, rate, and the track or
  // nothing), written only when there is one.
  std::optional<RememberedSecond> second;
  bool operator==(const RememberedTiming&) const = default;
};

// The timings of the movies played last, most recent first, in a text file of its own:
// a header line, then one movie per line. Each call reads the file afresh, so that
// instances running side by side see each other's changes, and each change is made under
// the file's lock (ChangeExclusively), so that one instance's change never undoes
// another's. A file that is not ours (no header, not a regular file) is neither read nor
// overwritten; damaged lines are skipped.
class TimingMemory {
 public:
  static constexpr size_t kMoviesKept = 500;

  // A change waits up to `patience` for another instance's change of the file to end.
  explicit TimingMemory(std::filesystem::path path,
                        std::chrono::milliseconds patience = kLongestWaitForWriters)
      : path_(std::move(path)), patience_(patience) {}

  std::optional<RememberedTiming> Find(const std::string& moviePath, uint64_t movieSize) const;

  // Puts `timing` first, in place of the entry for the same movie path and size, keeping
  // at most kMoviesKept movies. False, with the file as it was, when it cannot be written
  // or `timing` is out of range (a rate not above 0, a tag outside 0..5).
  bool Remember(const RememberedTiming& timing) const;

  // Removes the entry for the movie path and size; true when there is none (any more).
  // False, with the file as it was, when it cannot be written.
  bool Forget(const std::string& moviePath, uint64_t movieSize) const;

  const std::filesystem::path& Path() const { return path_; }

 private:
  // Hands the entries, as the file holds them under its lock, to `change`, and writes them
  // back when it returns true.
  bool Change(const std::function<bool(std::vector<RememberedTiming>&)>& change) const;

  std::filesystem::path path_;
  std::chrono::milliseconds patience_;
};

}  // namespace captivo
