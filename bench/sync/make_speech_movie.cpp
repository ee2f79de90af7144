// make_speech_movie: a test movie whose sound speaks a real subtitle's lines, each at its
// own time, over noise and music-like tones, for the synchronisation benchmark.
//
//   make_speech_movie SUBRIP CODE_PAGE VOICE clean|hard OUT_BASE [UNTIL_MS [SEED]]
//
// Writes OUT_BASE.mp4 (a small picture at 24000/1001 and AAC stereo sound) and
// OUT_BASE.truth.tsv: for each line its start and end, whether it was spoken and where
// its speech begins and ends. "clean": every line spoken at its start, the background 20 dB
// under the speech. "hard": each line starts up to 150 ms from its start, the background
// as loud as the speech, 15 % of the lines unspoken. Spoken lines are kept in
// OUT_BASE.voice/ and made again only when missing.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "subrip_lines.h"

extern char** environ;

namespace {

using captivo::bench::TimedLine;

constexpr int kRate = 22050;  // espeak-ng's own rate
constexpr double kPi = 3.14159265358979323846;

// Runs `argv` and gives what it printed.
std::string Output(const std::vector<std::string>& argv) {
  int pipes[2];
  if (::pipe(pipes) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipes[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipes[0]);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
    throw std::runtime_error("cannot start " + argv[0]);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipes[1]);
  std::string out;
  char buffer[65536];
  for (ssize_t n; (n = ::read(pipes[0], buffer, sizeof buffer)) > 0;) out.append(buffer, size_t(n));
  ::close(pipes[0]);
  int status;
  ::waitpid(pid, &status, 0);
  return out;
}

// The words of a line as it is spoken: markup, the dashes of dialogue and line breaks
// gone (a leading dash would read as an option, too).
std::string Speakable(const std::string& text) {
  static const std::regex markup(R"(<[^>]*>|\{[^}]*\}|(^|\n)[\s-]+)");
  std::string plain = std::regex_replace(text, markup, "$1");
  std::replace(plain.begin(), plain.end(), '\n', ' ');
  return plain;
}

uint64_t Hash(const std::string& text) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
  return h;
}

// A line spoken by espeak-ng at `speed` words a minute, without the silence around it.
std::vector<int16_t> Speak(const std::string& voice, int speed, const std::string& words,
                           const std::filesystem::path& cache) {
  char name[40];
  std::snprintf(
      name, sizeof name, "%016llx.raw",
      static_cast<unsigned long long>(Hash(voice + '\0' + std::to_string(speed) + '\0' + words)));
  const std::filesystem::path file = cache / name;
  std::string bytes;
  if (std::ifstream in(file, std::ios::binary); in) {
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  } else {
    bytes = Output({"espeak-ng", "-v", voice, "-s", std::to_string(speed), "--stdout", words});
    bytes = bytes.size() > 44 ? bytes.substr(44) : std::string();
    const std::filesystem::path partial = file.string() + ".part";
    std::ofstream(partial, std::ios::binary) << bytes;
    std::filesystem::rename(partial, file);
  }
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  auto loud = [](int16_t s) { return std::abs(int(s)) > 200; };
  const auto first = std::find_if(samples.begin(), samples.end(), loud);
  const auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
  return first < last ? std::vector<int16_t>(first, last) : std::vector<int16_t>();
}

struct Spoken {
  int64_t startMs = 0;
  bool spoken = true;
  std::vector<int16_t> samples;
};

// Speaks every line to fit within it: faster where the usual pace runs past 90 % of the
// line's time, and cut at its end where even the fastest does.
std::vector<Spoken> SpeakAll(const std::vector<TimedLine>& lines, const std::vector<Spoken>& plan,
                             const std::string& voice, const std::filesystem::path& cache) {
  std::vector<Spoken> spoken = plan;
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; (i = next++) < lines.size();) {
      if (!spoken[i].spoken) continue;
      const std::string words = Speakable(lines[i].text);
      const double room = 0.9 * double(lines[i].endMs - lines[i].startMs) * kRate / 1000;
      std::vector<int16_t> samples = Speak(voice, 175, words, cache);
      if (double(samples.size()) > room && room > 0) {
        const int speed = std::min(450, int(std::ceil(175 * double(samples.size()) / room)));
        samples = Speak(voice, speed, words, cache);
      }
      const size_t most = size_t(std::max(0.0, room / 0.9));
      if (samples.size() > most) samples.resize(most);
      spoken[i].samples = std::move(samples);
    }
  };
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) threads.emplace_back(work);
  for (auto& t : threads) t.join();
  return spoken;
}

// Noise with most of its power low, as rooms and streets have (a sum of filtered noises).
class PinkNoise {
 public:
  explicit PinkNoise(uint64_t seed) : random_(seed) {}
  double Next() {
    const double white = std::uniform_real_distribution<double>(-1, 1)(random_);
    b0_ = 0.99765 * b0_ + white * 0.0990460;
    b1_ = 0.96300 * b1_ + white * 0.2965164;
    b2_ = 0.57000 * b2_ + white * 1.0526913;
    return (b0_ + b1_ + b2_ + white * 0.1848) * 0.25;
  }

 private:
  std::mt19937_64 random_;
  double b0_ = 0, b1_ = 0, b2_ = 0;
};

// Notes and chords of a few harmonics each, with attack and release, one after another.
class Music {
 public:
  explicit Music(uint64_t seed) : random_(seed) {}
  double Next() {
    if (t_ >= noteEnd_) NewNote();
    const double time = (t_ - noteStart_) / double(kRate);
    const double length = (noteEnd_ - noteStart_) / double(kRate) - gap_;
    double envelope = std::min(1.0, time / 0.015);
    if (time > 0.015) envelope = 0.7 + 0.3 * std::exp(-(time - 0.015) / 0.1);
    if (time > length) envelope *= std::max(0.0, 1 - (time - length) / 0.08);
    double value = 0;
    for (const double f : pitches_)
      for (int h = 1; h <= 5; ++h) {
        const double vibrato = 1 + vibrato_ * std::sin(2 * kPi * 5 * time);
        value += std::sin(2 * kPi * f * h * vibrato * time) / h;
      }
    ++t_;
    return envelope * value / double(pitches_.size());
  }

 private:
  void NewNote() {
    static const int kScale[] = {0, 3, 5, 7, 10};  // a pentatonic scale from A
    noteStart_ = t_;
    std::uniform_int_distribution<int> chord(1, 3), degree(0, 9);
    pitches_.clear();
    for (int n = chord(random_); n > 0; --n) {
      const int d = degree(random_);
      pitches_.push_back(220 * std::pow(2.0, (kScale[d % 5] + 12 * (d / 5)) / 12.0));
    }
    gap_ = std::uniform_real_distribution<double>(0, 0.3)(random_);
    vibrato_ = std::uniform_real_distribution<double>(0, 1)(random_) < 0.3 ? 0.005 : 0;
    const double seconds = std::uniform_real_distribution<double>(0.3, 1.6)(random_) + gap_;
    noteEnd_ = t_ + int64_t(seconds * kRate);
  }

  std::mt19937_64 random_;
  int64_t t_ = 0, noteStart_ = 0, noteEnd_ = 0;
  std::vector<double> pitches_;
  double gap_ = 0, vibrato_ = 0;
};

double Rms(const std::vector<Spoken>& spoken) {
  double sum = 0;
  size_t count = 0;
  for (const Spoken& s : spoken)
    for (int16_t v : s.samples)
      if (std::abs(int(v)) > 200) sum += double(v) * v, ++count;
  return count ? std::sqrt(sum / double(count)) : 1;
}

// Mean power of a background source, measured on a stretch of it.
template <typename Source>
double SourceRms(Source source) {
  double sum = 0;
  for (int i = 0; i < kRate * 60; ++i) {
    const double v = source.Next();
    sum += v * v;
  }
  return std::sqrt(sum / (kRate * 60));
}

}  // namespace

int main(int argc, char** argv) try {
  if (argc < 6) {
    std::cerr << "usage: make_speech_movie SUBRIP CODE_PAGE VOICE clean|hard OUT_BASE [UNTIL_MS "
                 "[SEED]]\n";
    return 2;
  }
  const std::string variant = argv[4], base = argv[5];
  const bool hard = variant == "hard";
  std::vector<TimedLine> lines = captivo::bench::ReadSubRipLines(argv[1], argv[2]);
  if (argc > 6) {
    const int64_t until = std::stoll(argv[6]);
    std::erase_if(lines, [&](const TimedLine& l) { return l.endMs > until; });
  }
  // Another seed gives other shifts, unspoken lines, noise and notes: the same kind of movie.
  const uint64_t seed = argc > 7 ? std::stoull(argv[7]) : 0;
  // Where each line is spoken: at its start, or (hard) up to 150 ms from it, some not at all.
  std::mt19937_64 random((hard ? 2 : 1) + 10 * seed);
  std::vector<Spoken> plan(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    plan[i].startMs = lines[i].startMs;
    if (hard) {
      plan[i].startMs = std::max<int64_t>(
          0, plan[i].startMs + std::uniform_int_distribution<int>(-150, 150)(random));
      plan[i].spoken = std::uniform_real_distribution<double>(0, 1)(random) >= 0.15;
    }
  }
  const std::filesystem::path cache = base + ".voice";
  std::filesystem::create_directories(cache);
  const std::vector<Spoken> spoken = SpeakAll(lines, plan, argv[3], cache);

  const int64_t lengthMs = (lines.empty() ? 0 : lines.back().endMs) + 5000;
  const int64_t total = lengthMs * kRate / 1000;
  // The background's power against the speech's: -20 dB, or as loud (each half of it).
  const double speechRms = Rms(spoken) / 32768;
  const double share = hard ? std::sqrt(0.5) : std::pow(10, -20 / 20.0) * std::sqrt(0.5);
  const double noiseGain = share * speechRms / SourceRms(PinkNoise(7));
  const double musicGain = share * speechRms / SourceRms(Music(8));
  PinkNoise noise(3 + 10 * seed);
  Music music(4 + 10 * seed);

  const std::string command =
      "ffmpeg -nostdin -hide_banner -loglevel error -y -f s16le -ar 22050 -ac 1 -i pipe:0 "
      "-f lavfi -i color=c=gray:s=160x90:r=24000/1001 -t " +
      std::to_string(lengthMs / 1000.0) +
      " -map 1:v -map 0:a -c:v libx264 -preset ultrafast -tune stillimage -g 240 "
      "-c:a aac -b:a 128k -ar 48000 -ac 2 '" +
      base + ".mp4'";
  FILE* encoder = ::popen(command.c_str(), "w");
  if (!encoder) throw std::runtime_error("cannot start ffmpeg");
  // The lines sounding in each second, gathered once; the mix is written a second at a time.
  std::vector<int16_t> chunk(kRate);
  size_t firstLine = 0;
  for (int64_t at = 0; at < total; at += kRate) {
    const int64_t count = std::min<int64_t>(kRate, total - at);
    std::vector<double> mix(size_t(count), 0.0);
    for (int64_t i = 0; i < count; ++i)
      mix[size_t(i)] = noiseGain * noise.Next() + musicGain * music.Next();
    // Lines are in time order give or take the shifts of their speech.
    while (firstLine < lines.size() && (plan[firstLine].startMs + 60000) * kRate / 1000 < at)
      ++firstLine;
    for (size_t l = firstLine; l < lines.size(); ++l) {
      const int64_t begin = plan[l].startMs * kRate / 1000;
      if ((lines[l].startMs - 1000) * kRate / 1000 >= at + count) break;
      const auto& s = spoken[l].samples;
      for (int64_t i = std::max(begin, at);
           i < std::min<int64_t>(begin + int64_t(s.size()), at + count); ++i)
        mix[size_t(i - at)] += s[size_t(i - begin)] / 32768.0;
    }
    for (int64_t i = 0; i < count; ++i)
      chunk[size_t(i)] = int16_t(std::clamp(mix[size_t(i)] * 0.7, -1.0, 1.0) * 32767);
    std::fwrite(chunk.data(), 2, size_t(count), encoder);
  }
  if (::pclose(encoder) != 0) throw std::runtime_error("ffmpeg failed");

  std::ofstream truth(base + ".truth.tsv");
  truth << "# line\tstart\tend\tspoken\tspeech_start\tspeech_end\n";
  for (size_t i = 0; i < lines.size(); ++i) {
    const int64_t speechEnd = plan[i].startMs + int64_t(spoken[i].samples.size()) * 1000 / kRate;
    truth << i << '\t' << lines[i].startMs << '\t' << lines[i].endMs << '\t'
          << (spoken[i].spoken && !spoken[i].samples.empty()) << '\t' << plan[i].startMs << '\t'
          << speechEnd << '\n';
  }
  std::ofstream(base + ".srt", std::ios::binary) << captivo::bench::SubRipText(lines);
  return 0;
} catch (const std::exception& e) {
  std::cerr << "make_speech_movie: " << e.what() << '\n';
  return 1;
}
