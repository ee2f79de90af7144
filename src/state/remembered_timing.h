#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace captivo {

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
  bool operator==(const RememberedTiming&) const = default;
};

// The timings of the movies played last, most recent first, in a text file of its own:
// a header line, then one movie per line. Each call reads the file afresh, so that
// instances running side by side see each other's changes. A file that is not ours (no
// header, not a regular file) is neither read nor overwritten; damaged lines are skipped.
class TimingMemory {
 public:
  static constexpr size_t kMoviesKept = 500;

  explicit TimingMemory(std::filesystem::path path) : path_(std::move(path)) {}

  std::optional<RememberedTiming> Find(const std::string& moviePath, uint64_t movieSize) const;

  // Puts `timing` first, in place of the entry for the same movie path and size, keeping
  // at most kMoviesKept movies. False, with the file as it was, when it cannot be written
  // or `timing` is out of range (a rate not above 0, a tag outside 0..5).
  bool Remember(const RememberedTiming& timing) const;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace captivo
