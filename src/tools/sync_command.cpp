#include "sync_command.h"

#include <iconv.h>

#include <cctype>
#include <cmath>
#include <iostream>
#include <optional>

#include "conversions.h"
#include "escape_text.h"
#include "file_access.h"
#include "file_names.h"
#include "movie_speech.h"
#include "speech.h"
#include "speech_library.h"
#include "speech_sync.h"
#include "store_lines.h"
#include "subtitle_file.h"
#include "subtitle_writer.h"
#include "sync_note.h"
#include "vobsub_dump.h"
#include "vobsub_set.h"

namespace captivo {

namespace {

constexpr int kNotSolved = 1;
constexpr int kUsageError = 2;

struct Arguments {
  std::string movie, subtitle;
  std::optional<std::string> reference, save;
};

std::optional<Arguments> Parse(const std::vector<std::string>& arguments) {
  Arguments parsed;
  std::vector<std::string> positional;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if ((a == "--reference" || a == "--save") && i + 1 < arguments.size())
      (a == "--reference" ? parsed.reference : parsed.save) = arguments[++i];
    else if (a.rfind("--", 0) == 0)
      return std::nullopt;
    else
      positional.push_back(a);
  }
  if (positional.size() != 2) return std::nullopt;
  parsed.movie = positional[0];
  parsed.subtitle = positional[1];
  return parsed;
}

// A subtitle file's lines as loaded: a text file into a store, or a VobSub set's pictures
// (its first language's).
struct LoadedLines {
  SubtitleStore store;
  bool vobSub = false;
  std::vector<LineTimes> pictures;
};

std::optional<LoadedLines> LoadLines(const std::string& path, std::string& error) {
  LoadedLines loaded;
  if (const auto base = VobSubSetBase(path)) {
    vobsub::VobSubSet set;
    if (!set.Load(*base)) {
      error = "Cannot open file " + path;
      return std::nullopt;
    }
    loaded.vobSub = true;
    if (!set.Languages().empty()) {
      const auto& pictures = set.Languages().begin()->second.pictures;
      for (size_t i = 0; i < pictures.size(); ++i)
        loaded.pictures.push_back(
            {pictures[i].start, vobsub::DueUntil(pictures, i).value_or(pictures[i].start)});
    }
    return loaded;
  }
  RecordedMessages sink;
  SubtitleFormat format;
  if (!LoadSubtitleFile(path, loaded.store, sink, format, error)) return std::nullopt;
  return loaded;
}

// The lines as stored, and what a rate can do to them, under `timing`.
SyncSubject SubjectOf(const LoadedLines& loaded, const SubtitleTiming& timing) {
  if (!loaded.vobSub) return SyncSubjectOf(loaded.store, timing);
  SyncSubject pictures{loaded.pictures, timing.movieFrameRate, std::nullopt};
  pictures.linesCanMove = false;
  return pictures;
}

// Text that is not UTF-8 read as Windows-1252, the script subtitle files are read in
// unless the user picks another.
std::string Windows1252ToUtf8(std::string_view bytes) {
  iconv_t converter = iconv_open("UTF-8", "WINDOWS-1252");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
  std::string out(bytes.size() * 3, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size(), outLeft = out.size();
  char* next = out.data();
  while (inLeft > 0 && iconv(converter, &in, &inLeft, &next, &outLeft) == size_t(-1)) {
    // A byte the code page does not define: skipped.
    ++in;
    --inLeft;
  }
  iconv_close(converter);
  out.resize(out.size() - outLeft);
  return out;
}

bool EndsWithVtt(const std::string& path) {
  if (path.size() < 4) return false;
  std::string end = path.substr(path.size() - 4);
  for (char& c : end) c = char(std::tolower(static_cast<unsigned char>(c)));
  return end == ".vtt";
}

int Fail(const std::string& message) {
  std::cout << "error\t" << EscapeText(message) << '\n';
  return kNotSolved;
}

// Writes the text subtitle so timed to `path`.
int Save(const LoadedLines& loaded, const SubtitleTiming& timing, const SyncResult& result,
         int64_t movieMs, const std::string& path) {
  if (loaded.vobSub) return Fail("Only text subtitles can be saved");
  const int64_t openEnd = std::llround(timing.StoredAtMs(double(movieMs)));
  const std::vector<LineTimes> times = StoredLineTimes(loaded.store, timing, openEnd);
  std::vector<TimedText> entries;
  for (size_t i = 0; i < times.size(); ++i) entries.push_back({times[i], loaded.store.Text(i)});
  const std::string text = FormatSubtitles(
      entries, timing, result.cut,
      EndsWithVtt(path) ? SubtitleFileType::WebVtt : SubtitleFileType::SubRip, Windows1252ToUtf8);
  switch (WriteNewFileAtomically(path, text, 0644)) {
    case NewFileResult::Written:
      return 0;
    case NewFileResult::Exists:
      return Fail(path + " exists: not replaced");
    case NewFileResult::Failed:
      break;
  }
  return Fail("Cannot write " + path);
}

}  // namespace

int SyncCommand(const std::vector<std::string>& arguments) {
  const std::optional<Arguments> parsed = Parse(arguments);
  if (!parsed) {
    std::cerr << "usage: captivo-sub sync MOVIE SUBTITLE [--reference SECOND] [--save OUT]\n";
    return kUsageError;
  }
  std::string error;
  const std::optional<LoadedLines> loaded = LoadLines(parsed->subtitle, error);
  if (!loaded) return Fail(error);
  std::optional<LoadedLines> reference;
  if (parsed->reference) {
    reference = LoadLines(*parsed->reference, error);
    if (!reference) return Fail(error);
  }

  if (!LoadSpeechLibrary(error)) return Fail(error);
  SpeechActivity activity{};
  int32_t status = SPEECH_READ;
  if (reference)
    status = ReadMovieFacts(parsed->movie.c_str(), &activity.movie);
  else
    status = ReadSpeech(parsed->movie.c_str(), -1, nullptr, nullptr, &activity);
  const SpeechMovie movie = activity.movie;
  const std::vector<uint8_t> levels(activity.levels, activity.levels + activity.count);
  FreeSpeech(&activity);
  if (status == SPEECH_NO_MEMORY) return Fail("Not enough memory");
  const SyncSource source = reference ? SyncSource::SecondSubtitle : SyncSource::Speech;
  if (status != SPEECH_READ) {
    SyncResult failed;
    failed.outcome = SpeechFailure(status);
    return Fail(SyncNote(failed, source));
  }

  // As loaded: no offset, the movie's own rate.
  const SubtitleTiming loadedTiming{.movieFrameRate = movie.frameRate};
  const SyncSubject subject = SubjectOf(*loaded, loadedTiming);
  const auto keepGoing = [](double) { return true; };
  const SyncResult result =
      reference ? SyncToLines(subject, SubjectOf(*reference, loadedTiming).lines, keepGoing)
                : SyncToSpeech(subject, {levels, SPEECH_FRAME_MS}, keepGoing);
  if (result.outcome != SyncOutcome::Solved) return Fail(SyncNote(result, source));
  // The rate to the thousandth, as the menu gives rates.
  std::cout << "offset\t" << result.offsetMs << "\nrate\t"
            << FormatReal(std::round(result.subtitleFrameRate * 1000) / 1000) << "\nagreement\t"
            << result.agreementPercent << '\n';
  if (result.cut)
    std::cout << "cut\t" << result.cut->fromLine + 1 << '\t' << result.cut->shiftMs << '\n';
  if (!parsed->save) return 0;
  const SubtitleTiming solved{.offsetMilliseconds = result.offsetMs,
                              .movieFrameRate = movie.frameRate,
                              .rateChoice = RateChoice::Own(result.subtitleFrameRate)};
  return Save(*loaded, solved, result, movie.durationMs, *parsed->save);
}

}  // namespace captivo
