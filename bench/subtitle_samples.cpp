#include "subtitle_samples.h"

#include <cstdio>

namespace captivo::bench {

namespace {

struct Clock {
  int h, m, s, ms;
};
Clock ClockOf(int millis) {
  return {millis / 3600000, millis / 60000 % 60, millis / 1000 % 60, millis % 1000};
}

}  // namespace

std::string MakeSubtitleFile(SubtitleFormat format, int entries) {
  std::string out;
  if (format == SubtitleFormat::Ssa)
    out =
        "[Script Info]\r\nTitle: bench\r\nScriptType: v4.00+\r\n\r\n[Events]\r\n"
        "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";
  if (format == SubtitleFormat::SubViewer)
    out = "[INFORMATION]\r\n[TITLE]bench\r\n[END INFORMATION]\r\n[SUBTITLE]\r\n\r\n";
  if (format == SubtitleFormat::WebVtt) out = "WEBVTT\r\n\r\n";
  char line[256];
  int startMs = 1000;
  for (int i = 0; i < entries; ++i) {
    const int endMs = startMs + 2000 + (i * 37) % 1000;
    const Clock a = ClockOf(startMs), b = ClockOf(endMs);
    const char* one = "Where were you when the lights went out";
    const char* two = "I was right here, waiting for you";
    switch (format) {
      case SubtitleFormat::SubRip:
        std::snprintf(line, sizeof line,
                      "%d\r\n%02d:%02d:%02d,%03d --> %02d:%02d:%02d,%03d\r\n%s %d\r\n%s\r\n\r\n",
                      i + 1, a.h, a.m, a.s, a.ms, b.h, b.m, b.s, b.ms, one, i, two);
        break;
      case SubtitleFormat::Ssa:
        std::snprintf(line, sizeof line,
                      "Dialogue: 0,%d:%02d:%02d.%02d,%d:%02d:%02d.%02d,Default,,0000,0000,0000,,"
                      "%s %d\\N%s\r\n",
                      a.h, a.m, a.s, a.ms / 10, b.h, b.m, b.s, b.ms / 10, one, i, two);
        break;
      case SubtitleFormat::Frame:
        std::snprintf(line, sizeof line, "{%d}{%d}%s %d|%s\r\n", startMs / 40, endMs / 40, one, i,
                      two);
        break;
      case SubtitleFormat::SubViewer:
        std::snprintf(line, sizeof line,
                      "%02d:%02d:%02d.%02d,%02d:%02d:%02d.%02d\r\n%s %d[br]%s\r\n\r\n", a.h, a.m,
                      a.s, a.ms / 10, b.h, b.m, b.s, b.ms / 10, one, i, two);
        break;
      case SubtitleFormat::TimeCode:
        std::snprintf(line, sizeof line, "%02d:%02d:%02d:%s %d|%s\r\n", a.h, a.m, a.s, one, i, two);
        break;
      case SubtitleFormat::WebVtt:
        std::snprintf(line, sizeof line,
                      "%02d:%02d:%02d.%03d --> %02d:%02d:%02d.%03d\r\n<i>%s</i> %d\r\n%s\r\n\r\n",
                      a.h, a.m, a.s, a.ms, b.h, b.m, b.s, b.ms, one, i, two);
        break;
      case SubtitleFormat::Unknown:
        return {};
    }
    out += line;
    startMs = endMs + 500 + (i * 53) % 1000;
  }
  return out;
}

}  // namespace captivo::bench
