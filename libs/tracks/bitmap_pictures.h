#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace tracks {

// A decoded picture of a bitmap track, in the frame the track is made for.
struct Picture {
  int64_t start = 0;
  int64_t end = -1;  // -1: until the next picture
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::vector<uint8_t> pixels;  // blue, green, red, opacity; rows from the top, no gaps
};

// Whether decoding may start at this packet: it carries all its picture needs (a PGS
// epoch start or acquisition point, a DVB page that is not an update, any DVD packet).
bool StartsPicture(AVCodecID codec, std::string_view packet);

// FFmpeg's decoder of a bitmap track. Packets go in the file's order; a decoder that
// saw other packets before is Reset() to start again at one that StartsPicture.
class BitmapDecoder {
 public:
  BitmapDecoder(const AVCodecParameters* parameters, AVRational timeBase);
  ~BitmapDecoder();
  BitmapDecoder(const BitmapDecoder&) = delete;
  BitmapDecoder& operator=(const BitmapDecoder&) = delete;

  enum class Result { Shown, Cleared, Failed };
  // Decodes the packet due at `start` ms; a Shown picture is left in `picture`.
  Result Decode(std::string_view packet, int64_t start, Picture& picture);
  void Reset();
  // The frame the pictures are made for, once a packet or the track told; else 0.
  int32_t FrameWidth() const;
  int32_t FrameHeight() const;

 private:
  AVCodecParameters* parameters_ = nullptr;
  AVRational timeBase_;
  AVCodecContext* context_ = nullptr;
};

}  // namespace tracks
