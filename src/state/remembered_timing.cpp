#include "remembered_timing.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

#include "errors.h"
#include "file_access.h"
#include "track_choice.h"

namespace captivo {

namespace {

constexpr std::string_view kHeader = "captivo timing 1";
constexpr size_t kFields = 14;
constexpr size_t kRequiredFields = 7;
// The optional fields, each empty when a later one follows: the subtitle track, the audio
// track; then the second subtitle's five, all or none.
constexpr size_t kSubtitleTrackField = 7, kAudioTrackField = 8, kSecondField = 9;
// Three paths of PATH_MAX bytes, every byte escaped, and the numbers fit with room to spare;
// a longer line is damage and is skipped without being held.
constexpr size_t kLongestLine = 64 << 10;
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool RateInRange(int rateTag, double rate) {
  return std::isfinite(rate) && rate > 0 && rateTag >= -1 && rateTag <= 5;
}

bool InRange(const RememberedTiming& timing) {
  return RateInRange(timing.rateTag, timing.subtitleFrameRate) &&
         timing.subtitleTrack.value_or(0) >= kNoTrackChosen && timing.audioTrack.value_or(0) >= 0 &&
         (!timing.second ||
          (RateInRange(timing.second->rateTag, timing.second->subtitleFrameRate) &&
           timing.second->track.value_or(0) >= 0));
}

// Printable ASCII other than "%" stands for itself; every other byte, tab and line feed
// among them, is written as %XX.
void AppendEscaped(std::string& out, std::string_view bytes) {
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '%') {
      out += c;
    } else {
      out += '%';
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 15];
    }
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> Unescaped(std::string_view field) {
  std::string bytes;
  for (size_t i = 0; i < field.size(); ++i) {
    const auto byte = static_cast<unsigned char>(field[i]);
    if (byte < 0x20 || byte >= 0x7F) return std::nullopt;
    if (byte != '%') {
      bytes += field[i];
      continue;
    }
    if (field.size() - i < 3) return std::nullopt;
    const int high = HexValue(field[i + 1]), low = HexValue(field[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return bytes;
}

// The whole field as a number of type T, or nothing (no sign "+", no blanks).
template <typename T>
std::optional<T> Number(std::string_view field) {
  T value{};
  const char* end = field.data() + field.size();
  const auto [stop, error] = std::from_chars(field.data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

template <typename T>
void AppendNumber(std::string& out, T value) {
  std::array<char, 32> buffer;
  // The shortest form that reads back as the same value, doubles included.
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  out.append(buffer.data(), end);
}

std::optional<RememberedTiming> ParseEntry(std::string_view line) {
  std::array<std::string_view, kFields> fields;
  size_t count = 0;
  for (size_t start = 0;; ++count) {
    const size_t tab = line.find('\t', start);
    if (count == kFields) return std::nullopt;  // too many fields
    fields[count] = line.substr(start, tab - start);
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  const size_t fieldCount = count + 1;
  if (fieldCount < kRequiredFields) return std::nullopt;
  auto moviePath = Unescaped(fields[0]);
  auto movieSize = Number<uint64_t>(fields[1]);
  auto subtitlePath = Unescaped(fields[2]);
  auto offset = Number<int32_t>(fields[3]);
  auto rateTag = Number<int>(fields[4]);
  auto rate = Number<double>(fields[5]);
  auto language = Number<int32_t>(fields[6]);
  if (!moviePath || !movieSize || !subtitlePath || !offset || !rateTag || !rate || !language)
    return std::nullopt;
  RememberedTiming timing{std::move(*moviePath),
                          *movieSize,
                          std::move(*subtitlePath),
                          *offset,
                          *rateTag,
                          *rate,
                          *language,
                          std::nullopt,
                          std::nullopt,
                          std::nullopt};
  // An optional track field: nothing when absent, or empty before a field that is there;
  // false when it is no number.
  const auto track = [&](size_t i, std::optional<int32_t>& into) {
    if (i >= fieldCount) return true;
    if (fields[i].empty()) return i + 1 < fieldCount;
    into = Number<int32_t>(fields[i]);
    return into.has_value();
  };
  if (!track(kSubtitleTrackField, timing.subtitleTrack) ||
      !track(kAudioTrackField, timing.audioTrack))
    return std::nullopt;
  if (fieldCount > kSecondField) {
    if (fieldCount != kFields) return std::nullopt;
    auto path = Unescaped(fields[kSecondField]);
    auto secondOffset = Number<int32_t>(fields[kSecondField + 1]);
    auto tag = Number<int>(fields[kSecondField + 2]);
    auto secondRate = Number<double>(fields[kSecondField + 3]);
    const std::string_view trackField = fields[kSecondField + 4];
    const auto secondTrack = Number<int32_t>(trackField);
    if (!path || !secondOffset || !tag || !secondRate || (!trackField.empty() && !secondTrack))
      return std::nullopt;
    timing.second =
        RememberedSecond{std::move(*path), secondTrack, *secondOffset, *tag, *secondRate};
  }
  if (!InRange(timing)) return std::nullopt;
  return timing;
}

void AppendEntry(std::string& out, const RememberedTiming& timing) {
  auto field = [&out](auto number) {
    out += '\t';
    AppendNumber(out, number);
  };
  AppendEscaped(out, timing.moviePath);
  field(timing.movieSize);
  out += '\t';
  AppendEscaped(out, timing.subtitlePath);
  field(timing.offsetMilliseconds);
  field(timing.rateTag);
  field(timing.subtitleFrameRate);
  field(timing.vobSubLanguage);
  // An optional field is written when it or one after it is there.
  const bool secondFollows = timing.second.has_value();
  const bool audioFollows = timing.audioTrack || secondFollows;
  if (timing.subtitleTrack)
    field(*timing.subtitleTrack);
  else if (audioFollows)
    out += '\t';
  if (timing.audioTrack)
    field(*timing.audioTrack);
  else if (secondFollows)
    out += '\t';
  if (secondFollows) {
    out += '\t';
    AppendEscaped(out, timing.second->path);
    field(timing.second->offsetMilliseconds);
    field(timing.second->rateTag);
    field(timing.second->subtitleFrameRate);
    if (timing.second->track)
      field(*timing.second->track);
    else
      out += '\t';
  }
  out += '\n';
}

// Hands each line of the file to `take` without its line feed, or nothing for a line
// longer than kLongestLine, which is never held: memory stays bounded whatever the file
// holds. Stops when `take` returns false. FileError when reading fails.
template <typename Take>
void ReadBoundedLines(int fd, const std::string& path, Take take) {
  std::vector<char> block(kLongestLine);
  std::string line;
  bool overlong = false;  // within a line too long to keep, until its end
  auto lineEnded = [&] {
    const bool goOn = overlong ? take(std::nullopt) : take(std::string_view(line));
    line.clear();
    overlong = false;
    return goOn;
  };
  for (;;) {
    const size_t count = ReadFully(fd, block.data(), block.size(), path);
    for (size_t start = 0; start < count;) {
      const char* end = std::find(block.data() + start, block.data() + count, '\n');
      const size_t length = static_cast<size_t>(end - block.data()) - start;
      overlong = overlong || line.size() + length > kLongestLine;
      if (!overlong) line.append(block.data() + start, length);
      start += length;
      if (start == count) break;  // the line goes on in the next block
      ++start;
      if (!lineEnded()) return;
    }
    if (count < block.size()) {
      if (overlong || !line.empty()) lineEnded();  // a last line without its line feed
      return;
    }
  }
}

// The entries of the file, none when it is missing; nothing when it is not ours to read
// or replace: not a regular file, unreadable, or without our header.
std::optional<std::vector<RememberedTiming>> Load(const std::filesystem::path& path) {
  const FileDescriptor file = TryOpenRegularFile(path.c_str());
  if (file.Get() < 0) {
    if (errno == ENOENT) return std::vector<RememberedTiming>();
    return std::nullopt;
  }
  std::vector<RememberedTiming> entries;
  bool headed = false;
  try {
    ReadBoundedLines(file.Get(), path.string(), [&](std::optional<std::string_view> line) {
      if (!headed) return headed = line == kHeader;
      if (!line) return true;
      if (auto entry = ParseEntry(*line)) entries.push_back(std::move(*entry));
      return entries.size() < TimingMemory::kMoviesKept;
    });
  } catch (const FileError&) {
    return std::nullopt;
  }
  if (!headed) return std::nullopt;  // an empty file has no header either
  return entries;
}

// Makes the missing folders of `folder`, private to the user.
bool MakePrivateFolders(const std::filesystem::path& folder) {
  if (folder.empty()) return true;  // the current folder
  std::filesystem::path made;
  for (const std::filesystem::path& part : folder) {
    made /= part;
    if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  std::error_code error;
  return std::filesystem::is_directory(folder, error);
}

}  // namespace

std::optional<RememberedTiming> TimingMemory::Find(const std::string& moviePath,
                                                   uint64_t movieSize) const {
  const auto entries = Load(path_);
  if (!entries) return std::nullopt;
  for (const RememberedTiming& entry : *entries)
    if (entry.moviePath == moviePath && entry.movieSize == movieSize) return entry;
  return std::nullopt;
}

bool TimingMemory::Remember(const RememberedTiming& timing) const {
  if (!InRange(timing)) return false;
  return Change([&](std::vector<RememberedTiming>& entries) {
    std::erase_if(entries, [&](const RememberedTiming& entry) {
      return entry.moviePath == timing.moviePath && entry.movieSize == timing.movieSize;
    });
    entries.insert(entries.begin(), timing);
    if (entries.size() > kMoviesKept) entries.resize(kMoviesKept);
    return true;
  });
}

bool TimingMemory::Forget(const std::string& moviePath, uint64_t movieSize) const {
  return Change([&](std::vector<RememberedTiming>& entries) {
    return std::erase_if(entries, [&](const RememberedTiming& entry) {
             return entry.moviePath == moviePath && entry.movieSize == movieSize;
           }) > 0;
  });
}

bool TimingMemory::Change(const std::function<bool(std::vector<RememberedTiming>&)>& change) const {
  if (!MakePrivateFolders(path_.parent_path())) return false;
  return ChangeExclusively(path_, patience_, [&] {
    auto entries = Load(path_);
    if (!entries) return false;
    if (!change(*entries)) return true;  // nothing to write
    std::string text(kHeader);
    text += '\n';
    for (const RememberedTiming& entry : *entries) AppendEntry(text, entry);
    return ReplaceFileAtomically(path_.string(), text, 0600);
  });
}

}  // namespace captivo
