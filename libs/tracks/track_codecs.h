#pragma once

#include <optional>
#include <string>
#include <string_view>

extern "C" {
#include <libavcodec/codec_id.h>
}

#include "track_text.h"
#include "tracks.h"

namespace tracks {

// What a subtitle codec's track gives: text, pictures, or nothing Captivo shows.
TrackContent ContentOf(AVCodecID codec);

// The plain text of one packet of a text track (see captivo::PlainTrackText); nothing when
// the packet does not hold what its codec puts there.
std::optional<std::string> PacketText(AVCodecID codec, std::string_view packet);

}  // namespace tracks
