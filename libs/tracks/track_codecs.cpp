#include "track_codecs.h"

#include "utf8_text.h"

namespace tracks {

namespace {

using captivo::TrackMarkup;

// An event of ASS or SSA in a movie: ReadOrder, Layer, Style, Name, MarginL, MarginR,
// MarginV, Effect, then the text, which may hold commas of its own.
std::optional<std::string_view> AssEventText(std::string_view packet) {
  for (int field = 0; field < 8; ++field) {
    const size_t comma = packet.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    packet.remove_prefix(comma + 1);
  }
  return packet;
}

// A sample of MP4 timed text: the text's length in two bytes, the text (UTF-8, or UTF-16
// after a byte-order mark), then style boxes.
std::optional<std::string> TimedText(std::string_view packet) {
  if (packet.size() < 2) return std::nullopt;
  const size_t length =
      static_cast<unsigned char>(packet[0]) << 8 | static_cast<unsigned char>(packet[1]);
  if (length > packet.size() - 2) return std::nullopt;
  const std::string_view text = packet.substr(2, length);
  if (text.size() >= 2 && text[0] == '\xFE' && text[1] == '\xFF')
    return captivo::Utf16ToUtf8(text.substr(2), /*bigEndian=*/true);
  return std::string(text);
}

}  // namespace

TrackContent ContentOf(AVCodecID codec) {
  switch (codec) {
    case AV_CODEC_ID_SUBRIP:
    case AV_CODEC_ID_ASS:
    case AV_CODEC_ID_SSA:
    case AV_CODEC_ID_WEBVTT:
    case AV_CODEC_ID_MOV_TEXT:
    case AV_CODEC_ID_TEXT:
      return kTrackText;
    case AV_CODEC_ID_HDMV_PGS_SUBTITLE:
    case AV_CODEC_ID_DVD_SUBTITLE:
    case AV_CODEC_ID_DVB_SUBTITLE:
      return kTrackBitmap;
    default:
      return kTrackCannotShow;
  }
}

std::optional<std::string> PacketText(AVCodecID codec, std::string_view packet) {
  switch (codec) {
    case AV_CODEC_ID_ASS:
    case AV_CODEC_ID_SSA: {
      const auto text = AssEventText(packet);
      if (!text) return std::nullopt;
      return captivo::PlainTrackText(*text, TrackMarkup::Ass);
    }
    case AV_CODEC_ID_SUBRIP:
      return captivo::PlainTrackText(packet, TrackMarkup::SubRip);
    case AV_CODEC_ID_WEBVTT:
      return captivo::PlainTrackText(packet, TrackMarkup::WebVtt);
    case AV_CODEC_ID_MOV_TEXT: {
      const auto text = TimedText(packet);
      if (!text) return std::nullopt;
      return captivo::PlainTrackText(*text, TrackMarkup::Plain);
    }
    case AV_CODEC_ID_TEXT:
      return captivo::PlainTrackText(packet, TrackMarkup::Plain);
    default:
      return std::nullopt;
  }
}

}  // namespace tracks
