#include "audio_track.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace speech {

namespace {

constexpr AVRational kSampleTime{1, kSampleRate};
constexpr int kResampleFilter = 8;
// FFmpeg reads a few seconds of every track before it tells what a file holds.
constexpr int kMostPacketsBeforeTrack = 10'000;

// How many samples at kSampleRate a time in milliseconds is, held at the ends of the range.
int64_t SamplesOf(int64_t milliseconds) {
  constexpr int64_t kPerMs = kSampleRate / 1000;
  return std::clamp(milliseconds, INT64_MIN / kPerMs, INT64_MAX / kPerMs) * kPerMs;
}

// The weight of each input channel in the one channel read: the centre alone where there
// is one, else the front pair, else all alike.
std::vector<double> MixWeights(const AVChannelLayout& layout) {
  const int channels = layout.nb_channels;
  std::vector<double> weights(static_cast<size_t>(channels), 0.0);
  const int centre = av_channel_layout_index_from_channel(&layout, AV_CHAN_FRONT_CENTER);
  const int left = av_channel_layout_index_from_channel(&layout, AV_CHAN_FRONT_LEFT);
  const int right = av_channel_layout_index_from_channel(&layout, AV_CHAN_FRONT_RIGHT);
  if (centre >= 0) {
    weights[size_t(centre)] = 1;
  } else if (left >= 0 && right >= 0) {
    weights[size_t(left)] = weights[size_t(right)] = 0.5;
  } else {
    for (double& w : weights) w = 1.0 / channels;
  }
  return weights;
}

struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameDeleter {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};

}  // namespace

void AudioTrack::AvFree::operator()(float* p) const {
  av_free(p);
}

AudioTrack::AudioTrack() = default;

AudioTrack::~AudioTrack() {
  swr_free(&resampler_);
  avcodec_free_context(&decoder_);
  avformat_close_input(&format_);
}

OpenResult AudioTrack::Open(const std::string& path, int track) {
  // Damaged sound is counted, not told: FFmpeg would print a line for each packet.
  av_log_set_level(AV_LOG_FATAL);
  // A movie is a local file: nothing it names elsewhere is read.
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  path_ = path;
  const int opened = avformat_open_input(&format_, path.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (opened < 0) return OpenResult::CannotOpen;
  if (avformat_find_stream_info(format_, nullptr) < 0) return OpenResult::CannotOpen;
  int audioSeen = 0;
  for (unsigned i = 0; i < format_->nb_streams; ++i) {
    const AVStream* stream = format_->streams[i];
    const AVMediaType type = stream->codecpar->codec_type;
    if (type == AVMEDIA_TYPE_VIDEO && facts_.frameRate == 0 &&
        !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
      const AVRational rate = av_guess_frame_rate(format_, const_cast<AVStream*>(stream), nullptr);
      if (rate.num > 0 && rate.den > 0) facts_.frameRate = av_q2d(rate);
    }
    if (type != AVMEDIA_TYPE_AUDIO) continue;
    const bool wanted =
        track >= 0
            ? audioSeen == track
            : stream_ < 0 || ((stream->disposition & AV_DISPOSITION_DEFAULT) &&
                              !(format_->streams[stream_]->disposition & AV_DISPOSITION_DEFAULT));
    if (wanted) stream_ = static_cast<int>(i);
    ++audioSeen;
  }
  if (format_->duration > 0) facts_.durationMs = av_rescale(format_->duration, 1000, AV_TIME_BASE);
  if (stream_ < 0) return OpenResult::NoSound;
  // The picture, most of a movie's bytes, and the other tracks are not even read.
  for (unsigned i = 0; i < format_->nb_streams; ++i)
    if (int(i) != stream_) format_->streams[i]->discard = AVDISCARD_ALL;
  facts_.seekable = format_->pb && (format_->pb->seekable & AVIO_SEEKABLE_NORMAL) &&
                    !(format_->iformat->flags & AVFMT_NOTIMESTAMPS);
  const AVStream* stream = format_->streams[stream_];
  if (format_->start_time != AV_NOPTS_VALUE)
    startPts_ = av_rescale_q(format_->start_time, AV_TIME_BASE_Q, stream->time_base);
  return OpenDecoder() ? OpenResult::Opened : OpenResult::UnreadableSound;
}

bool AudioTrack::OpenDecoder() {
  const AVStream* stream = format_->streams[stream_];
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (!codec) return false;
  decoder_ = avcodec_alloc_context3(codec);
  if (!decoder_ || avcodec_parameters_to_context(decoder_, stream->codecpar) < 0) return false;
  decoder_->pkt_timebase = stream->time_base;
  return avcodec_open2(decoder_, codec, nullptr) >= 0;
}

bool AudioTrack::OpenResampler(const AVFrame& frame) {
  swr_free(&resampler_);
  resamplerFormat_ = {frame.format, frame.sample_rate, frame.ch_layout.nb_channels};
  if (frame.ch_layout.nb_channels <= 0) return false;
  AVChannelLayout in{};
  if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_default(&in, frame.ch_layout.nb_channels);
  else if (av_channel_layout_copy(&in, &frame.ch_layout) < 0)
    return false;
  const std::vector<double> weights = MixWeights(in);
  // Planar float, as most decoders give, is mixed here: the centre is taken as it is, and
  // the resampler only changes the rate of one channel.
  mixed_.clear();
  if (frame.format == AV_SAMPLE_FMT_FLTP)
    for (size_t c = 0; c < weights.size(); ++c)
      if (weights[c] != 0) mixed_.push_back({int(c), float(weights[c])});
  AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
  const bool premixed = !mixed_.empty();
  const bool opened =
      swr_alloc_set_opts2(&resampler_, &mono, AV_SAMPLE_FMT_FLT, kSampleRate,
                          premixed ? &mono : &in,
                          premixed ? AV_SAMPLE_FMT_FLT : static_cast<AVSampleFormat>(frame.format),
                          frame.sample_rate, 0, nullptr) >= 0 &&
      (premixed ||
       swr_set_matrix(resampler_, weights.data(), static_cast<int>(weights.size())) >= 0) &&
      // A short filter: speech is told by bands well below the new rate's limit, and the
      // default one costs as much as decoding.
      av_opt_set_int(resampler_, "filter_size", kResampleFilter, 0) >= 0 &&
      swr_init(resampler_) >= 0;
  av_channel_layout_uninit(&in);
  if (!opened) swr_free(&resampler_);
  return opened;
}

const uint8_t* const* AudioTrack::MixedDown(const AVFrame& frame) {
  if (mixed_.empty()) return frame.extended_data;
  if (mixed_.size() == 1 && mixed_[0].weight == 1) {
    mixedPlane_ = frame.extended_data[mixed_[0].channel];
    return &mixedPlane_;
  }
  mono_.resize(size_t(frame.nb_samples));
  // Plain loops over pointers that cannot overlap, which the compiler turns into vector code.
  float* __restrict out = mono_.data();
  const size_t count = mono_.size();
  for (size_t n = 0; n < mixed_.size(); ++n) {
    const float* __restrict in =
        reinterpret_cast<const float*>(frame.extended_data[mixed_[n].channel]);
    const float weight = mixed_[n].weight;
    if (n == 0)
      for (size_t i = 0; i < count; ++i) out[i] = weight * in[i];
    else
      for (size_t i = 0; i < count; ++i) out[i] += weight * in[i];
  }
  mixedPlane_ = reinterpret_cast<const uint8_t*>(mono_.data());
  return &mixedPlane_;
}

void AudioTrack::Deliver(const AVFrame* frame, const SampleSink& sink) {
  if (frame) {
    const ResamplerFormat format{frame->format, frame->sample_rate, frame->ch_layout.nb_channels};
    if (!resampler_ || format != resamplerFormat_) {
      // A new format: what the old resampler holds is handed out first.
      if (resampler_) Deliver(nullptr, sink);
      if (frame->sample_rate <= 0 || !OpenResampler(*frame)) {
        ++badPackets_;
        return;
      }
    }
  } else if (!resampler_) {
    return;
  }
  int64_t position = nextPosition_;
  // A timestamp so far off that the arithmetic would overflow is as good as none.
  constexpr int64_t kFarthest = int64_t(1) << 60;
  if (frame && frame->best_effort_timestamp != AV_NOPTS_VALUE &&
      std::llabs(frame->best_effort_timestamp) < kFarthest && std::llabs(startPts_) < kFarthest) {
    const AVRational base = format_->streams[stream_]->time_base;
    position = av_rescale_q(frame->best_effort_timestamp - startPts_, base, kSampleTime) -
               swr_get_delay(resampler_, kSampleRate);
  }
  const int capacity = swr_get_out_samples(resampler_, frame ? frame->nb_samples : 0);
  if (capacity <= 0) return;
  if (capacity > outCapacity_) {
    out_.reset(static_cast<float*>(av_malloc_array(static_cast<size_t>(capacity), sizeof(float))));
    outCapacity_ = out_ ? capacity : 0;
    if (!out_) return;
  }
  uint8_t* out = reinterpret_cast<uint8_t*>(out_.get());
  const int count = swr_convert(resampler_, &out, capacity,
                                frame ? const_cast<const uint8_t**>(MixedDown(*frame)) : nullptr,
                                frame ? frame->nb_samples : 0);
  if (count <= 0) return;
  sink(position, std::span<const float>(out_.get(), static_cast<size_t>(count)));
  nextPosition_ = position + count;
  decodedSamples_ += count;
}

std::shared_ptr<const MatroskaBlocks> AudioTrack::FindBlocks(
    const MatroskaBlocks::KeepGoing& keepGoing) {
  if (std::string_view(format_->iformat->name).find("matroska") == std::string_view::npos)
    return nullptr;
  std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
  if (!packet) return nullptr;
  // Packets of other tracks that FFmpeg read while it looked at the file come first.
  for (int read = 0;; ++read) {
    if (read == kMostPacketsBeforeTrack || av_read_frame(format_, packet.get()) < 0) return nullptr;
    if (packet->stream_index == stream_) break;
    av_packet_unref(packet.get());
  }
  if (packet->pos < 0) return nullptr;
  std::optional<MatroskaBlocks> blocks = MatroskaBlocks::Find(path_, packet->pos, keepGoing);
  if (!blocks) return nullptr;
  // The block FFmpeg read must be found where it was, at the time FFmpeg gave it.
  const auto& all = blocks->Blocks();
  const auto known = std::find_if(all.begin(), all.end(), [&](const MatroskaBlocks::Block& b) {
    return b.offset == packet->pos;
  });
  if (known == all.end() || known->timecode != packet->pts) return nullptr;
  return std::make_shared<const MatroskaBlocks>(std::move(*blocks));
}

void AudioTrack::ReadFrom(std::shared_ptr<const MatroskaBlocks> blocks) {
  blocks_ = std::move(blocks);
  blockFile_ = blocks_ ? std::make_unique<BlockFile>(path_) : nullptr;
  nextBlock_ = 0;
  frames_.clear();
  nextFrame_ = 0;
}

int AudioTrack::NextPacket(AVPacket& packet) {
  if (!blocks_) return av_read_frame(format_, &packet);
  const auto& blocks = blocks_->Blocks();
  while (nextFrame_ == frames_.size()) {
    if (nextBlock_ == blocks.size()) return AVERROR_EOF;
    const MatroskaBlocks::Block& block = blocks[nextBlock_++];
    const std::span<const uint8_t> bytes = blockFile_->Read(block);
    if (bytes.empty()) return AVERROR_EOF;  // the file was cut short meanwhile
    auto frames = BlockFrames(bytes);
    frames_ = frames ? std::move(*frames) : std::vector<std::span<const uint8_t>>();
    if (!frames) ++badPackets_;
    nextFrame_ = 0;
    blockTime_ = block.timecode;
  }
  const std::span<const uint8_t> frame = frames_[nextFrame_];
  if (av_new_packet(&packet, int(frame.size())) < 0) return AVERROR(ENOMEM);
  std::copy(frame.begin(), frame.end(), packet.data);
  packet.stream_index = stream_;
  // Frames laced after the first in a block follow on from it.
  packet.pts = packet.dts = nextFrame_ == 0 ? blockTime_ : AV_NOPTS_VALUE;
  ++nextFrame_;
  return 0;
}

bool AudioTrack::SeekTo(int64_t fromMs) {
  const AVStream* stream = format_->streams[stream_];
  const int64_t target = startPts_ + av_rescale_q(fromMs, AVRational{1, 1000}, stream->time_base);
  if (blocks_) {
    // The last block that starts before the time, so that the time itself is decoded.
    const auto& blocks = blocks_->Blocks();
    const auto after =
        std::find_if(blocks.begin(), blocks.end(),
                     [&](const MatroskaBlocks::Block& b) { return b.timecode > target; });
    nextBlock_ = size_t(std::max<ptrdiff_t>(0, after - blocks.begin() - 1));
    frames_.clear();
    nextFrame_ = 0;
  } else if (av_seek_frame(format_, stream_, target, AVSEEK_FLAG_BACKWARD) < 0) {
    return false;
  }
  avcodec_flush_buffers(decoder_);
  swr_free(&resampler_);
  nextPosition_ = -1;
  return true;
}

bool AudioTrack::Decode(int64_t fromMs, int64_t untilMs, const SampleSink& sink,
                        const std::atomic<bool>& stop) {
  if (fromMs > 0 && !SeekTo(fromMs)) return false;
  const int64_t until = SamplesOf(untilMs);
  std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
  std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
  if (!packet || !frame) return false;
  auto drain = [&] {
    int result;
    while ((result = avcodec_receive_frame(decoder_, frame.get())) >= 0) {
      Deliver(frame.get(), sink);
      av_frame_unref(frame.get());
    }
    if (result != AVERROR(EAGAIN) && result != AVERROR_EOF) ++badPackets_;
  };
  while (!stop.load(std::memory_order_relaxed)) {
    if (nextPosition_ >= until) return true;
    if (NextPacket(*packet) < 0) {
      avcodec_send_packet(decoder_, nullptr);
      drain();
      Deliver(nullptr, sink);
      return true;
    }
    if (packet->stream_index == stream_) {
      ++packets_;
      if (avcodec_send_packet(decoder_, packet.get()) < 0) ++badPackets_;
      drain();
    }
    av_packet_unref(packet.get());
  }
  return false;
}

}  // namespace speech
