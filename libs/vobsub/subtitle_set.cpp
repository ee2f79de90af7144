#include "subtitle_set.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <algorithm>
#include <cstring>

#include "language_names.h"

namespace vobsub {

namespace {

// No subtitle picture is larger than this; anything larger is a broken packet.
constexpr int kLargestSide = 4096;
int32_t nextId = 0;

}  // namespace

SubtitleSet::~SubtitleSet() {
  Clear();
}

void SubtitleSet::Clear() {
  languages_.clear();
  extradata_.clear();
  avcodec_free_context(&decoder_);
  current_ = nullptr;
  currentId_ = decodedId_ = -1;
  pixels_.clear();
}

void SubtitleSet::Load(const std::string& base) {
  Clear();
  const AVInputFormat* format = av_find_input_format("vobsub");
  AVFormatContext* input = nullptr;
  const std::string index = base + ".idx";
  if (!format || avformat_open_input(&input, index.c_str(), format, nullptr) < 0) return;
  if (avformat_find_stream_info(input, nullptr) >= 0 && input->nb_streams > 0) {
    const AVCodecParameters* parameters = input->streams[0]->codecpar;
    if (parameters->extradata)
      extradata_.assign(parameters->extradata, parameters->extradata + parameters->extradata_size);
    // Languages by the index of their "id:" line: empty ones make no stream.
    std::map<int, int32_t> streamLanguage;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
      const AVStream* stream = input->streams[i];
      const AVDictionaryEntry* code = av_dict_get(stream->metadata, "language", nullptr, 0);
      streamLanguage[static_cast<int>(i)] = stream->id;
      languages_[stream->id].code = code ? code->value : "";
    }
    AVPacket* packet = av_packet_alloc();
    while (packet && av_read_frame(input, packet) >= 0) {
      const AVStream* stream = input->streams[packet->stream_index];
      if (packet->size > 0 && packet->pts != AV_NOPTS_VALUE) {
        const int64_t start = av_rescale_q(packet->pts, stream->time_base, AVRational{1, 1000});
        languages_[streamLanguage[packet->stream_index]].pictures.push_back(
            {nextId++, start, -1, std::vector<uint8_t>(packet->data, packet->data + packet->size)});
      }
      av_packet_unref(packet);
    }
    av_packet_free(&packet);
  }
  avformat_close_input(&input);

  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_DVD_SUBTITLE);
  decoder_ = codec ? avcodec_alloc_context3(codec) : nullptr;
  if (decoder_ && !extradata_.empty()) {
    decoder_->extradata =
        static_cast<uint8_t*>(av_mallocz(extradata_.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (decoder_->extradata) {
      std::memcpy(decoder_->extradata, extradata_.data(), extradata_.size());
      decoder_->extradata_size = static_cast<int>(extradata_.size());
    }
  }
  if (decoder_ && avcodec_open2(decoder_, codec, nullptr) < 0) avcodec_free_context(&decoder_);
  for (auto& [index, language] : languages_) ComputeDisplayTimes(language);
}

void SubtitleSet::ComputeDisplayTimes(Language& language) {
  std::stable_sort(language.pictures.begin(), language.pictures.end(),
                   [](const Picture& a, const Picture& b) { return a.start < b.start; });
  std::vector<Picture> shown;
  for (Picture& picture : language.pictures) {
    if (!Decode(picture, false)) continue;  // a broken packet is skipped
    const int64_t pts = picture.start;
    picture.start = pts + decodedStart_;
    picture.end = decodedEnd_ < 0 ? -1 : pts + decodedEnd_;
    shown.push_back(std::move(picture));
  }
  language.pictures = std::move(shown);
}

bool SubtitleSet::Decode(const Picture& picture, bool keepPixels) {
  if (!decoder_) return false;
  AVPacket* packet = av_packet_alloc();
  if (!packet || av_new_packet(packet, static_cast<int>(picture.packet.size())) < 0) {
    av_packet_free(&packet);
    return false;
  }
  std::memcpy(packet->data, picture.packet.data(), picture.packet.size());
  AVSubtitle subtitle{};
  int got = 0;
  const int used = avcodec_decode_subtitle2(decoder_, &subtitle, &got, packet);
  av_packet_free(&packet);
  if (used < 0 || !got) return false;
  avcodec_flush_buffers(decoder_);  // every packet is a picture of its own

  bool ok = subtitle.num_rects >= 1;
  const AVSubtitleRect* rect = ok ? subtitle.rects[0] : nullptr;
  ok = ok && rect->type == SUBTITLE_BITMAP && rect->w > 0 && rect->h > 0 &&
       rect->w <= kLargestSide && rect->h <= kLargestSide && rect->data[0] && rect->data[1] &&
       rect->linesize[0] >= rect->w && rect->nb_colors > 0 && rect->nb_colors <= 256;
  if (ok) {
    decodedStart_ = subtitle.start_display_time;
    decodedEnd_ = subtitle.end_display_time > subtitle.start_display_time &&
                          subtitle.end_display_time != UINT32_MAX
                      ? subtitle.end_display_time
                      : -1;
  }
  if (ok && keepPixels) {
    // Palette entries are straight-alpha ARGB words; the block is blue, green, red, opacity.
    const auto* palette = reinterpret_cast<const uint32_t*>(rect->data[1]);
    pixels_.resize(static_cast<size_t>(rect->w) * rect->h * 4);
    uint8_t* out = pixels_.data();
    for (int y = 0; y < rect->h; ++y) {
      const uint8_t* row = rect->data[0] + static_cast<size_t>(y) * rect->linesize[0];
      for (int x = 0; x < rect->w; ++x, out += 4) {
        const uint32_t argb = row[x] < rect->nb_colors ? palette[row[x]] : 0;
        out[0] = argb & 0xFF;
        out[1] = (argb >> 8) & 0xFF;
        out[2] = (argb >> 16) & 0xFF;
        out[3] = argb >> 24;
      }
    }
    rect_[0] = rect->x;
    rect_[1] = rect->y;
    rect_[2] = rect->x + rect->w;
    rect_[3] = rect->y + rect->h;
  }
  avsubtitle_free(&subtitle);
  return ok;
}

int32_t SubtitleSet::HighestLanguage() const {
  return languages_.empty() ? -1 : languages_.rbegin()->first;
}

std::string SubtitleSet::LanguageName(int32_t index) const {
  const auto found = languages_.find(index);
  if (found == languages_.end() || found->second.pictures.empty()) return "(Not detected)";
  return vobsub::LanguageName(found->second.code);
}

void SubtitleSet::SelectLanguage(int32_t index) {
  const auto found = languages_.find(index);
  current_ = found == languages_.end() ? nullptr : &found->second;
  currentId_ = -1;
}

bool SubtitleSet::Find(int32_t milliseconds) {
  currentId_ = -1;
  if (!current_) return false;
  const std::vector<Picture>& pictures = current_->pictures;
  // The last picture that has started by now...
  auto after = std::upper_bound(pictures.begin(), pictures.end(), int64_t{milliseconds},
                                [](int64_t t, const Picture& p) { return t < p.start; });
  if (after == pictures.begin()) return false;
  const Picture& picture = *(after - 1);
  // ...is due until its end, or, without one, until the next picture starts.
  const int64_t end =
      picture.end >= 0 ? picture.end : (after != pictures.end() ? after->start : INT64_MAX);
  if (milliseconds >= end) return false;
  currentId_ = picture.id;
  if (decodedId_ != currentId_) {
    decodedId_ = Decode(picture, true) ? currentId_ : -1;
    if (decodedId_ < 0) {
      pixels_.clear();
      std::fill(std::begin(rect_), std::end(rect_), 0);
    }
  }
  return true;
}

void SubtitleSet::CurrentPixels(uint8_t** pixels, int32_t rect[4]) {
  *pixels = pixels_.data();
  std::copy(std::begin(rect_), std::end(rect_), rect);
}

}  // namespace vobsub
