#include "subtitle_writer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

namespace captivo {

namespace {

struct Shown {
  int64_t startMs, endMs;
  size_t entry;
};

std::string Time(int64_t ms, char fraction) {
  char text[40];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld%c%03lld",
                static_cast<long long>(ms / 3'600'000), static_cast<long long>(ms / 60'000 % 60),
                static_cast<long long>(ms / 1000 % 60), fraction,
                static_cast<long long>(ms % 1000));
  return text;
}

// The text's lines, without the empty ones.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    if (line.find_first_not_of(" \t") != std::string_view::npos) lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// A line as WebVTT cue text: the tags it knows kept, override blocks such as {\an8}
// dropped, every other "<", ">" and "&" written as a character reference.
std::string WebVttLine(std::string_view line) {
  static constexpr std::string_view kKept[] = {"<i>", "</i>", "<b>", "</b>", "<u>", "</u>"};
  std::string out;
  for (size_t i = 0; i < line.size();) {
    bool tag = false;
    for (const std::string_view kept : kKept) {
      const std::string_view here = line.substr(i, kept.size());
      if (here.size() == kept.size() &&
          std::equal(here.begin(), here.end(), kept.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == b;
          })) {
        out += kept;
        i += kept.size();
        tag = true;
        break;
      }
    }
    if (tag) continue;
    if (line[i] == '{' && line.substr(i, 2) == "{\\") {
      const size_t close = line.find('}', i);
      if (close != std::string_view::npos) {
        i = close + 1;
        continue;
      }
    }
    switch (line[i]) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      default:
        out += line[i];
    }
    ++i;
  }
  return out;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    const size_t length = c < 0x80         ? 1
                          : (c >> 5) == 6  ? 2
                          : (c >> 4) == 14 ? 3
                          : (c >> 3) == 30 ? 4
                                           : 0;
    if (length == 0 || i + length > bytes.size()) return false;
    uint32_t code = length == 1 ? c : c & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
      if ((next >> 6) != 2) return false;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past the last code point are not UTF-8.
    static constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
      return false;
    i += length;
  }
  return true;
}

std::string FormatSubtitles(std::span<const TimedText> entries, const SubtitleTiming& timing,
                            const std::optional<SyncCut>& cut, SubtitleFileType type,
                            const TextToUtf8& toUtf8) {
  std::vector<Shown> shown;
  for (size_t i = 0; i < entries.size(); ++i) {
    LineTimes times = entries[i].times;
    if (cut && times.startMs >= cut->fromStoredMs) {
      times.startMs += cut->shiftMs;
      times.endMs += cut->shiftMs;
    }
    const int64_t start = std::llround(timing.ShownAtMs(double(times.startMs)));
    const int64_t end = std::llround(timing.ShownAtMs(double(times.endMs)));
    if (end <= start || end <= 0) continue;
    shown.push_back({std::max<int64_t>(start, 0), end, i});
  }
  std::stable_sort(shown.begin(), shown.end(),
                   [](const Shown& a, const Shown& b) { return a.startMs < b.startMs; });
  const bool vtt = type == SubtitleFileType::WebVtt;
  std::string out = vtt ? "WEBVTT\n\n" : "";
  size_t number = 0;
  for (const Shown& entry : shown) {
    const std::string_view bytes = entries[entry.entry].text;
    const std::string text = IsUtf8(bytes) ? std::string(bytes) : toUtf8(bytes);
    const std::vector<std::string_view> lines = Lines(text);
    if (lines.empty()) continue;
    out += std::to_string(++number) + '\n';
    out +=
        Time(entry.startMs, vtt ? '.' : ',') + " --> " + Time(entry.endMs, vtt ? '.' : ',') + '\n';
    for (const std::string_view line : lines) {
      out += vtt ? WebVttLine(line) : std::string(line);
      out += '\n';
    }
    out += '\n';
  }
  return out;
}

}  // namespace captivo
