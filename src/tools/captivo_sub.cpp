// captivo-sub: looks inside a subtitle file without a movie, loading it exactly as the
// program's "Load Subtitle" does: a VobSub set through the bitmap subtitle reader, any
// other file through the text readers.
//   captivo-sub dump [--exact] FILE         format, unit, encoding, entries, message boxes, error;
//                                           for a VobSub set its languages and pictures;
//                                           --exact: a time-based file's exact times
//   captivo-sub find FILE FPS POSITION...   the text shown at each frame position
//   captivo-sub tracks MOVIE                 the movie's video, audio and subtitle tracks
//   captivo-sub dump --track INDEX MOVIE     one subtitle track of the movie, read whole
//   captivo-sub sync MOVIE SUBTITLE ...      the offset and rate that lay the lines on the
//                                           movie's speech (sync_command.h)
#include <charconv>
#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "escape_text.h"
#include "file_names.h"
#include "subtitle_file.h"
#include "subtitle_loader.h"
#include "sync_command.h"
#include "text_encoding.h"
#include "track_dump.h"
#include "vobsub_dump.h"

namespace {

using namespace captivo;

constexpr int kUsageError = 2;
constexpr int kCannotOpen = 1;

// Writes `text` to standard output, which is buffered: a dump is never built whole.
void Print(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

// With `exact`, a time-based store's times are its exact milliseconds.
int Dump(const std::string& path, bool exact) {
  if (const auto base = VobSubSetBase(path)) return DumpVobSub(*base);
  SubtitleStore store;
  store.SetExactTimes(exact);
  RecordedMessages sink;
  SubtitleFormat format = SubtitleFormat::Unknown;
  std::string error, encoding;
  if (!LoadSubtitleFile(path, store, sink, format, error, &encoding)) {
    std::cout << "error\t" << EscapeText(error) << '\n';
    return kCannotOpen;
  }
  const bool inMilliseconds = store.LooksUpExactTimes();
  Print("format\t");
  Print(FormatName(format));
  Print(inMilliseconds         ? "\nunit\tmilliseconds\n"
        : store.TimesInSeconds ? "\nunit\tseconds\n"
                               : "\nunit\tframes\n");
  // The code page the program reads the file with; entries stay the file's bytes.
  Print("encoding\t" + (encoding.empty() ? std::string(kDefaultCodePage) : encoding) + '\n');
  for (size_t i = 0; i < store.Count(); ++i) {
    Print(inMilliseconds ? std::to_string(store.ExactStartMs(i)) + '\t' +
                               std::to_string(store.ExactEndMs(i)) + '\t'
                         : std::to_string(store.StartTime(i)) + '\t' +
                               std::to_string(store.EndTime(i)) + '\t');
    PrintEscaped(stdout, store.Text(i));
    Print("\n");
  }
  for (const auto& m : sink.messages)
    Print("message\t" + EscapeText(m.title) + '\t' + EscapeText(m.text) + '\t' +
          (m.icon == MessageIcon::Information ? "information" : "error") + '\n');
  if (!error.empty()) Print("error\t" + EscapeText(error) + '\n');
  return 0;
}

template <typename Number>
bool ParseNumber(const std::string& text, Number& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

int Find(const std::string& path, const std::string& fpsText,
         const std::vector<std::string>& positionTexts) {
  double frameRate = 0;
  std::vector<int32_t> positions;
  bool ok = ParseNumber(fpsText, frameRate);
  for (const auto& text : positionTexts) {
    int32_t position = 0;
    ok = ok && ParseNumber(text, position);
    positions.push_back(position);
  }
  if (!ok) {
    std::cerr << "captivo-sub: FPS must be a number and each POSITION a 32-bit integer\n";
    return kUsageError;
  }
  SubtitleStore store;
  RecordedMessages sink;
  SubtitleFormat format;
  std::string error;
  if (!LoadSubtitleFile(path, store, sink, format, error)) {
    std::cerr << error << '\n';
    return kCannotOpen;
  }
  for (const auto& m : sink.messages) std::cerr << m.title << ": " << m.text << '\n';
  if (!error.empty()) std::cerr << error << '\n';
  for (int32_t position : positions)
    std::cout << EscapeText(store.FindSubtitleAt(position, frameRate)) << '\n';
  return 0;
}

int Usage() {
  std::cerr << "usage: captivo-sub dump [--exact] FILE\n"
               "       captivo-sub find FILE FPS POSITION...\n"
               "       captivo-sub tracks MOVIE\n"
               "       captivo-sub dump --track INDEX MOVIE\n"
               "       captivo-sub sync MOVIE SUBTITLE [--reference SECOND] [--save OUT]\n";
  return kUsageError;
}

}  // namespace

int main(int argc, char** argv) try {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "dump" && args[1] != "--exact") return Dump(args[1], false);
  if (args.size() == 3 && args[0] == "dump" && args[1] == "--exact") return Dump(args[2], true);
  if (args.size() == 2 && args[0] == "tracks") return ListTracks(args[1]);
  if (args.size() == 4 && args[0] == "dump" && args[1] == "--track") {
    int32_t index = 0;
    return ParseNumber(args[2], index) && index >= 0 ? DumpTrack(args[3], index) : Usage();
  }
  if (!args.empty() && args[0] == "sync") return SyncCommand({args.begin() + 1, args.end()});
  if (args.size() >= 4 && args[0] == "find")
    return Find(args[1], args[2], std::vector<std::string>(args.begin() + 3, args.end()));
  return Usage();
} catch (const std::bad_alloc&) {
  // A file too large for the memory there is: what was held is freed, the line fits.
  std::cout << "error\tNot enough memory\n";
  return kCannotOpen;
}
