#pragma once

#include <string>
#include <string_view>

namespace captivo {

// How the text of a movie's subtitle track is marked up.
enum class TrackMarkup {
  Ass,     // an ASS/SSA event's text: {override blocks}, \N and \n breaks, \h hard spaces
  SubRip,  // a SubRip cue: HTML-like tags such as <i> and <font ...>, and {\an8}-like blocks
  WebVtt,  // a WebVTT cue payload: tags, time stamps in <>, and character references
  Plain,   // lines and nothing else
};

// The plain lines of one entry of a text track, joined by CR LF as the store keeps texts:
// markup removed (drawing commands of ASS with what they draw), every kind of line break
// (CR LF, LF, CR, and \N or \n in ASS) made a line break, empty lines at either end
// dropped. Bytes that are not markup pass as they are.
std::string PlainTrackText(std::string_view payload, TrackMarkup markup);

}  // namespace captivo
