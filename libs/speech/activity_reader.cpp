#include "activity_reader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>

namespace speech {

namespace {

// A part of a long movie that one thread reads. Parts are long enough that the sound read
// again to let the detector settle at each start costs little.
constexpr int64_t kPartMs = 10 * 60 * 1000;
constexpr size_t kMostThreads = 4;
// Timestamps this close to where the samples before them end continue them.
constexpr int64_t kJitterSamples = kSampleRate / 50;
// A part whose reading starts this far past its start was not reached by seeking.
constexpr int64_t kMissedStartSamples = kSampleRate;
constexpr int64_t kNoEnd = std::numeric_limits<int64_t>::max() / 2;
// Sound with more than one packet in this many failing to decode is taken as unreadable.
constexpr int64_t kMostBad = 4;
constexpr auto kProgressEvery = std::chrono::milliseconds(100);

// Feeds one part's samples to its detector as the continuous stream it expects: gaps
// become silence and overlaps are dropped, and the stream starts on a frame's edge. A
// timestamp more than an hour from where the samples were expected is not believed (a
// damaged file): its samples follow on from the last.
class Stitcher {
 public:
  Stitcher(Detector& detector, int64_t expected) : detector_(detector), expected_(expected) {}

  void Take(int64_t position, std::span<const float> samples) {
    if (std::llabs(position - (next_ < 0 ? expected_ : next_)) > kUnbelievableSamples)
      position = next_ < 0 ? expected_ : next_;
    if (next_ < 0) {
      const int64_t first =
          (std::max<int64_t>(position, 0) + kFrameSamples - 1) / kFrameSamples * kFrameSamples;
      samples = Skip(samples, first - position);
      firstFrame_ = first / kFrameSamples;
      next_ = first;
    } else if (position > next_ + kJitterSamples) {
      // Silence a second at a time: a long gap is not held whole.
      const std::vector<float> silence(kSampleRate, 0.0f);
      while (next_ < position) {
        const int64_t count = std::min<int64_t>(kSampleRate, position - next_);
        detector_.Feed(std::span<const float>(silence.data(), size_t(count)), levels_);
        next_ += count;
      }
    } else if (position < next_ - kJitterSamples) {
      samples = Skip(samples, next_ - position);
    }
    detector_.Feed(samples, levels_);
    next_ += static_cast<int64_t>(samples.size());
  }
  void Finish() { detector_.Finish(levels_); }

  int64_t FirstFrame() const { return firstFrame_; }
  int64_t NextSample() const { return next_; }
  const std::vector<uint8_t>& Levels() const { return levels_; }

 private:
  static constexpr int64_t kUnbelievableSamples = int64_t(kSampleRate) * 3'600;

  static std::span<const float> Skip(std::span<const float> samples, int64_t count) {
    return samples.subspan(static_cast<size_t>(std::clamp<int64_t>(count, 0, samples.size())));
  }

  Detector& detector_;
  const int64_t expected_;  // where the first samples should be
  std::vector<uint8_t> levels_;
  int64_t firstFrame_ = 0;
  int64_t next_ = -1;
};

// The track read, and where its blocks lie when that is known (Matroska).
struct Source {
  const std::string& path;
  int track;
  std::shared_ptr<const MatroskaBlocks> blocks;
};

struct Part {
  int64_t beginMs = 0, endMs = kNoEnd;
  std::vector<uint8_t> levels;  // from beginMs on
  std::atomic<int64_t> doneMs{0};
  bool missedStart = false;
  int64_t decodedSamples = 0, packets = 0, badPackets = 0;
};

// Reads one part on its own track; false when its start could not be reached.
bool ReadPart(const Source& source, const DetectorFactory& makeDetector, Part& part,
              const std::atomic<bool>& stop) {
  AudioTrack audio;
  if (audio.Open(source.path, source.track) != OpenResult::Opened) return false;
  audio.ReadFrom(source.blocks);
  const std::unique_ptr<Detector> detector = makeDetector();
  const int64_t fromMs = std::max<int64_t>(0, part.beginMs - detector->SettleMs());
  Stitcher stitcher(*detector, fromMs * (kSampleRate / 1000));
  const int64_t untilMs = part.endMs == kNoEnd ? kNoEnd : part.endMs + detector->LookAheadMs();
  const int64_t beginSample = part.beginMs * (kSampleRate / 1000);
  bool first = true;
  const bool reached = audio.Decode(
      fromMs, untilMs,
      [&](int64_t position, std::span<const float> samples) {
        if (first && part.beginMs > 0 && position > beginSample + kMissedStartSamples)
          part.missedStart = true;
        first = false;
        stitcher.Take(position, samples);
        part.doneMs.store(stitcher.NextSample() / (kSampleRate / 1000) - part.beginMs,
                          std::memory_order_relaxed);
      },
      stop);
  if (!reached || part.missedStart) return false;
  stitcher.Finish();
  part.decodedSamples = audio.DecodedSamples();
  part.packets = audio.Packets();
  part.badPackets = audio.BadPackets();
  // The part's own frames: from its start to its end, or to where its sound ended.
  const int64_t beginFrame = part.beginMs / kFrameMs;
  const int64_t endFrame = part.endMs == kNoEnd ? kNoEnd : part.endMs / kFrameMs;
  const std::vector<uint8_t>& levels = stitcher.Levels();
  for (int64_t frame = beginFrame; frame < endFrame; ++frame) {
    const int64_t index = frame - stitcher.FirstFrame();
    if (index >= static_cast<int64_t>(levels.size())) break;
    part.levels.push_back(index < 0 ? 0 : levels[static_cast<size_t>(index)]);
  }
  return true;
}

// The parts a movie is read in: one for the whole unless it can be entered anywhere.
std::vector<std::unique_ptr<Part>> Parts(const MovieFacts& facts) {
  std::vector<std::unique_ptr<Part>> parts;
  const int64_t count =
      facts.seekable && facts.durationMs > 0 ? (facts.durationMs + kPartMs - 1) / kPartMs : 1;
  for (int64_t i = 0; i < count; ++i) {
    auto part = std::make_unique<Part>();
    part->beginMs = i * kPartMs;
    part->endMs = i + 1 < count ? (i + 1) * kPartMs : kNoEnd;
    parts.push_back(std::move(part));
  }
  return parts;
}

// Reads `parts` on a few threads while the calling thread reports progress. False when a
// part could not be reached or the reading was stopped (`cancelled` then says which).
bool ReadParts(const Source& source, const DetectorFactory& detector,
               std::vector<std::unique_ptr<Part>>& parts, int64_t durationMs,
               const ReadProgress& progress, bool& cancelled) {
  std::atomic<bool> stop{false}, failed{false};
  std::atomic<size_t> nextPart{0};
  std::mutex mutex;
  std::condition_variable finished;
  size_t running = std::min(
      {parts.size(), kMostThreads, std::max<size_t>(1, std::thread::hardware_concurrency())});
  std::vector<std::thread> threads;
  for (size_t t = running; t > 0; --t)
    threads.emplace_back([&] {
      for (size_t i; !stop && (i = nextPart++) < parts.size();)
        if (!ReadPart(source, detector, *parts[i], stop)) {
          failed = true;
          stop = true;
        }
      std::lock_guard lock(mutex);
      --running;
      finished.notify_all();
    });
  auto done = [&] {
    int64_t ms = 0;
    for (const auto& part : parts) ms += part->doneMs.load(std::memory_order_relaxed);
    return durationMs > 0 ? std::clamp(double(ms) / double(durationMs), 0.0, 1.0) : 0.0;
  };
  {
    std::unique_lock lock(mutex);
    while (running > 0) {
      finished.wait_for(lock, kProgressEvery);
      lock.unlock();
      if (!stop && !progress(done())) {
        cancelled = true;
        stop = true;
      }
      lock.lock();
    }
  }
  for (std::thread& thread : threads) thread.join();
  return !stop && !failed;
}

}  // namespace

Activity ReadActivity(const std::string& path, int track, const DetectorFactory& detector,
                      const ReadProgress& progress) {
  Activity activity;
  Source source{path, track, nullptr};
  bool cancelled = false;
  {
    AudioTrack audio;
    const OpenResult opened = audio.Open(path, track);
    activity.facts = audio.Facts();
    switch (opened) {
      case OpenResult::Opened:
        break;
      case OpenResult::CannotOpen:
        activity.status = ReadStatus::CannotOpen;
        return activity;
      case OpenResult::NoSound:
        activity.status = ReadStatus::NoSound;
        return activity;
      case OpenResult::UnreadableSound:
        activity.status = ReadStatus::UnreadableSound;
        return activity;
    }
    auto reported = std::chrono::steady_clock::now();
    source.blocks = audio.FindBlocks([&] {
      const auto now = std::chrono::steady_clock::now();
      if (now - reported < kProgressEvery) return true;
      reported = now;
      cancelled = !progress(0);
      return !cancelled;
    });
  }
  if (cancelled) {
    activity.status = ReadStatus::Cancelled;
    return activity;
  }
  std::vector<std::unique_ptr<Part>> parts = Parts(activity.facts);
  if (!ReadParts(source, detector, parts, activity.facts.durationMs, progress, cancelled)) {
    if (cancelled) {
      activity.status = ReadStatus::Cancelled;
      return activity;
    }
    // A part's start could not be reached: the whole track from its start, in one part.
    MovieFacts whole = activity.facts;
    whole.seekable = false;
    parts = Parts(whole);
    if (!ReadParts(source, detector, parts, activity.facts.durationMs, progress, cancelled)) {
      activity.status = cancelled ? ReadStatus::Cancelled : ReadStatus::UnreadableSound;
      return activity;
    }
  }
  int64_t decoded = 0, packets = 0, bad = 0;
  for (const auto& part : parts) {
    const size_t beginFrame = static_cast<size_t>(part->beginMs / kFrameMs);
    activity.levels.resize(beginFrame, 0);  // a part whose sound ended early leaves silence
    activity.levels.insert(activity.levels.end(), part->levels.begin(), part->levels.end());
    decoded += part->decodedSamples;
    packets += part->packets;
    bad += part->badPackets;
  }
  // Sound mostly damaged says nothing to be trusted of where speech is.
  const bool unreadable = decoded == 0 || bad * kMostBad > packets;
  activity.status = unreadable ? ReadStatus::UnreadableSound : ReadStatus::Read;
  if (unreadable) activity.levels.clear();
  return activity;
}

}  // namespace speech
