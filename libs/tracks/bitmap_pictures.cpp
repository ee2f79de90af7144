#include "bitmap_pictures.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace tracks {

namespace {

// The largest picture put together, in pixels a side: beyond any frame a track is made for.
constexpr int64_t kMaxSide = 8192;

uint8_t Byte(std::string_view s, size_t i) {
  return static_cast<uint8_t>(s[i]);
}

// PGS: segments of type (1 byte), size (2); a presentation segment (0x16) has its state
// in its eighth byte: 0x80 epoch start, 0x40 acquisition point, 0 an update.
bool PgsStarts(std::string_view p) {
  for (size_t i = 0; i + 3 <= p.size();) {
    const size_t size = Byte(p, i + 1) << 8 | Byte(p, i + 2);
    if (Byte(p, i) == 0x16 && size >= 8 && i + 3 + 8 <= p.size()) return Byte(p, i + 3 + 7) != 0;
    i += 3 + size;
  }
  return false;
}

// DVB: after an optional data identifier (0x20 0x00), segments of sync byte 0x0F, type,
// page (2 bytes), length (2); a page composition (0x10) has its state in bits 3-2 of its
// second byte: 0 an update, 1 an acquisition point, 2 a mode change.
bool DvbStarts(std::string_view p) {
  size_t i = p.size() >= 2 && Byte(p, 0) == 0x20 && Byte(p, 1) == 0x00 ? 2 : 0;
  while (i + 6 <= p.size() && Byte(p, i) == 0x0F) {
    const size_t length = Byte(p, i + 4) << 8 | Byte(p, i + 5);
    if (Byte(p, i + 1) == 0x10 && length >= 2 && i + 8 <= p.size())
      return (Byte(p, i + 7) >> 2 & 3) != 0;
    i += 6 + length;
  }
  return false;
}

// The visible bounds of a palette picture: the smallest rectangle around the pixels whose
// colour has some opacity; false when none has.
bool VisibleBounds(const AVSubtitleRect& rect, int64_t& left, int64_t& top, int64_t& right,
                   int64_t& bottom) {
  const auto* palette = reinterpret_cast<const uint32_t*>(rect.data[1]);
  left = top = INT64_MAX;
  right = bottom = INT64_MIN;
  for (int y = 0; y < rect.h; ++y) {
    const uint8_t* row = rect.data[0] + static_cast<ptrdiff_t>(y) * rect.linesize[0];
    for (int x = 0; x < rect.w; ++x) {
      if (row[x] >= rect.nb_colors || (palette[row[x]] >> 24) == 0) continue;
      left = std::min<int64_t>(left, rect.x + x);
      right = std::max<int64_t>(right, rect.x + x + 1);
      top = std::min<int64_t>(top, rect.y + y);
      bottom = std::max<int64_t>(bottom, rect.y + y + 1);
    }
  }
  return left < right;
}

bool Usable(const AVSubtitleRect* rect) {
  return rect && rect->type == SUBTITLE_BITMAP && rect->w > 0 && rect->h > 0 && rect->x >= 0 &&
         rect->y >= 0 && rect->w <= kMaxSide && rect->h <= kMaxSide && rect->data[0] &&
         rect->data[1] && rect->linesize[0] >= rect->w && rect->nb_colors > 0 &&
         rect->nb_colors <= 256;
}

// Puts the subtitle's pictures into one, cut to its visible pixels; false when nothing
// is visible.
bool Compose(const AVSubtitle& subtitle, Picture& picture) {
  int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
  for (unsigned i = 0; i < subtitle.num_rects; ++i) {
    int64_t l, t, r, b;
    if (!Usable(subtitle.rects[i]) || !VisibleBounds(*subtitle.rects[i], l, t, r, b)) continue;
    left = std::min(left, l);
    top = std::min(top, t);
    right = std::max(right, r);
    bottom = std::max(bottom, b);
  }
  if (left >= right || right - left > kMaxSide || bottom - top > kMaxSide) return false;
  const int64_t width = right - left;
  picture.left = static_cast<int32_t>(left);
  picture.top = static_cast<int32_t>(top);
  picture.right = static_cast<int32_t>(right);
  picture.bottom = static_cast<int32_t>(bottom);
  picture.pixels.assign(static_cast<size_t>(width * (bottom - top) * 4), 0);
  for (unsigned i = 0; i < subtitle.num_rects; ++i) {
    const AVSubtitleRect* rect = subtitle.rects[i];
    if (!Usable(rect)) continue;
    const auto* palette = reinterpret_cast<const uint32_t*>(rect->data[1]);
    for (int y = 0; y < rect->h; ++y) {
      const int64_t outY = rect->y + y - top;
      if (outY < 0 || outY >= bottom - top) continue;
      const uint8_t* row = rect->data[0] + static_cast<ptrdiff_t>(y) * rect->linesize[0];
      for (int x = 0; x < rect->w; ++x) {
        const int64_t outX = rect->x + x - left;
        if (outX < 0 || outX >= width || row[x] >= rect->nb_colors) continue;
        const uint32_t colour = palette[row[x]];  // opacity, red, green, blue from the top
        if ((colour >> 24) == 0) continue;
        uint8_t* out = &picture.pixels[static_cast<size_t>((outY * width + outX) * 4)];
        out[0] = static_cast<uint8_t>(colour);
        out[1] = static_cast<uint8_t>(colour >> 8);
        out[2] = static_cast<uint8_t>(colour >> 16);
        out[3] = static_cast<uint8_t>(colour >> 24);
      }
    }
  }
  return true;
}

}  // namespace

bool StartsPicture(AVCodecID codec, std::string_view packet) {
  switch (codec) {
    case AV_CODEC_ID_HDMV_PGS_SUBTITLE:
      return PgsStarts(packet);
    case AV_CODEC_ID_DVB_SUBTITLE:
      return DvbStarts(packet);
    default:
      return true;
  }
}

BitmapDecoder::BitmapDecoder(const AVCodecParameters* parameters, AVRational timeBase)
    : parameters_(avcodec_parameters_alloc()), timeBase_(timeBase) {
  if (parameters_) avcodec_parameters_copy(parameters_, parameters);
}

BitmapDecoder::~BitmapDecoder() {
  avcodec_free_context(&context_);
  avcodec_parameters_free(&parameters_);
}

void BitmapDecoder::Reset() {
  avcodec_free_context(&context_);
  if (!parameters_) return;
  const AVCodec* codec = avcodec_find_decoder(parameters_->codec_id);
  if (!codec || !(context_ = avcodec_alloc_context3(codec))) return;
  context_->pkt_timebase = timeBase_;
  if (avcodec_parameters_to_context(context_, parameters_) < 0 ||
      avcodec_open2(context_, codec, nullptr) < 0)
    avcodec_free_context(&context_);
}

BitmapDecoder::Result BitmapDecoder::Decode(std::string_view bytes, int64_t start,
                                            Picture& picture) {
  if (!context_) Reset();
  if (!context_ || bytes.size() > INT_MAX) return Result::Failed;
  // FFmpeg's decoders read a little past the end of a packet: a copy with room for that.
  std::vector<uint8_t> data(bytes.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
  std::memcpy(data.data(), bytes.data(), bytes.size());
  AVPacket* packet = av_packet_alloc();
  if (!packet) return Result::Failed;
  packet->data = data.data();
  packet->size = static_cast<int>(bytes.size());
  AVSubtitle subtitle{};
  int got = 0;
  const int used = avcodec_decode_subtitle2(context_, &subtitle, &got, packet);
  av_packet_free(&packet);
  if (used < 0 || !got) return Result::Failed;
  Result result = Result::Cleared;
  if (Compose(subtitle, picture)) {
    result = Result::Shown;
    picture.start = start + subtitle.start_display_time;
    const bool ends = subtitle.end_display_time != UINT32_MAX &&
                      subtitle.end_display_time > subtitle.start_display_time;
    picture.end = ends ? start + subtitle.end_display_time : -1;
  }
  avsubtitle_free(&subtitle);
  return result;
}

int32_t BitmapDecoder::FrameWidth() const {
  if (context_ && context_->width > 0) return context_->width;
  if (parameters_ && parameters_->width > 0) return parameters_->width;
  return parameters_ && parameters_->codec_id == AV_CODEC_ID_DVB_SUBTITLE ? 720 : 0;
}

int32_t BitmapDecoder::FrameHeight() const {
  if (context_ && context_->height > 0) return context_->height;
  if (parameters_ && parameters_->height > 0) return parameters_->height;
  return parameters_ && parameters_->codec_id == AV_CODEC_ID_DVB_SUBTITLE ? 576 : 0;
}

}  // namespace tracks
