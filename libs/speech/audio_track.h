#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "matroska_blocks.h"

struct AVFormatContext;
struct AVCodecContext;
struct SwrContext;
struct AVPacket;
struct AVFrame;

namespace speech {

// The sound is read as one channel at this rate: enough for the voice, little to hold.
inline constexpr int kSampleRate = 8000;

// What the file tells of the movie as a whole.
struct MovieFacts {
  int64_t durationMs = 0;  // 0 when the file does not tell
  double frameRate = 0;    // of the picture; 0 without one
  bool seekable = false;   // positions can be reached without reading what lies before
};

enum class OpenResult { Opened, CannotOpen, NoSound, UnreadableSound };

// Samples at kSampleRate from the given sample position of the movie's time on.
using SampleSink = std::function<void(int64_t position, std::span<const float> samples)>;

// One audio track of a movie file, decoded with FFmpeg and mixed down to one channel: the
// centre channel alone where there is one (the dialogue's), else the mean of the front
// pair. Positions count from the movie's start as a player shows it. Each thread that
// reads opens a track of its own.
class AudioTrack {
 public:
  AudioTrack();
  ~AudioTrack();
  AudioTrack(const AudioTrack&) = delete;
  AudioTrack& operator=(const AudioTrack&) = delete;

  // `track`: the n-th audio track of the file (0 the first), or -1 for the first one
  // marked as default, else the first.
  OpenResult Open(const std::string& path, int track);
  const MovieFacts& Facts() const { return facts_; }

  // Decodes from the last point the file can be entered at before `fromMs` until samples
  // past `untilMs` were handed out or the track ends. False when the position cannot be
  // reached or `stop` was set. Packets that do not decode are counted and skipped.
  bool Decode(int64_t fromMs, int64_t untilMs, const SampleSink& sink,
              const std::atomic<bool>& stop);

  // For a Matroska file: where the track's blocks lie, found without reading the picture
  // (see MatroskaBlocks), checked against the first packet FFmpeg reads. Nothing for other
  // files and ones not understood there. Reads the track's first packet: called on a track
  // opened for it alone, before any Decode.
  std::shared_ptr<const MatroskaBlocks> FindBlocks(const MatroskaBlocks::KeepGoing& keepGoing);
  // Decode then reads the track's packets from these blocks instead of through FFmpeg.
  void ReadFrom(std::shared_ptr<const MatroskaBlocks> blocks);

  int64_t DecodedSamples() const { return decodedSamples_; }
  int64_t Packets() const { return packets_; }
  int64_t BadPackets() const { return badPackets_; }

 private:
  // The sample layout the resampler was made for; a frame in another gets a new one.
  struct ResamplerFormat {
    int sampleFormat = -1, sampleRate = 0, channels = 0;
    bool operator==(const ResamplerFormat&) const = default;
  };

  bool OpenDecoder();
  // The next packet of the track: from the blocks when there are, else from the demuxer.
  int NextPacket(AVPacket& packet);
  bool SeekTo(int64_t fromMs);
  bool OpenResampler(const AVFrame& frame);
  // The frame's samples as the resampler takes them: mixed down to one channel here when
  // the frame is planar float, else as they are.
  const uint8_t* const* MixedDown(const AVFrame& frame);
  // Resamples `frame` (nullptr: what the resampler still holds) and hands the result on.
  void Deliver(const AVFrame* frame, const SampleSink& sink);

  std::string path_;
  AVFormatContext* format_ = nullptr;
  AVCodecContext* decoder_ = nullptr;
  SwrContext* resampler_ = nullptr;
  ResamplerFormat resamplerFormat_;
  struct Mixed {
    int channel;
    float weight;
  };
  std::vector<Mixed> mixed_;  // the channels mixed here, none when the resampler mixes
  std::vector<float> mono_;
  const uint8_t* mixedPlane_ = nullptr;
  int stream_ = -1;
  int64_t startPts_ = 0;  // the stream time the movie's start falls on
  MovieFacts facts_;
  struct AvFree {
    void operator()(float* p) const;
  };
  std::unique_ptr<float[], AvFree> out_;  // aligned as FFmpeg's vector code needs
  int outCapacity_ = 0;
  int64_t nextPosition_ = -1;  // where the next resampled sample falls when pts are missing
  // Reading from Matroska blocks: the next block, and the frames of the one read last.
  std::shared_ptr<const MatroskaBlocks> blocks_;
  std::unique_ptr<BlockFile> blockFile_;
  size_t nextBlock_ = 0;
  std::vector<std::span<const uint8_t>> frames_;
  size_t nextFrame_ = 0;
  int64_t blockTime_ = 0;
  int64_t decodedSamples_ = 0;
  int64_t packets_ = 0;
  int64_t badPackets_ = 0;
};

}  // namespace speech
