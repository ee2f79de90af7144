#include "track_list.h"

#include "movie_file.h"
#include "track_codecs.h"

namespace tracks {

namespace {

std::string Tag(const AVDictionary* metadata, const char* key) {
  const AVDictionaryEntry* entry = av_dict_get(metadata, key, nullptr, 0);
  return entry && entry->value ? entry->value : "";
}

int32_t Flags(int disposition) {
  int32_t flags = 0;
  if (disposition & AV_DISPOSITION_DEFAULT) flags |= kTrackDefault;
  if (disposition & AV_DISPOSITION_FORCED) flags |= kTrackForced;
  if (disposition & AV_DISPOSITION_HEARING_IMPAIRED) flags |= kTrackHearingImpaired;
  if (disposition & AV_DISPOSITION_VISUAL_IMPAIRED) flags |= kTrackVisualImpaired;
  if (disposition & AV_DISPOSITION_COMMENT) flags |= kTrackCommentary;
  return flags;
}

bool Listed(AVMediaType type) {
  return type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO || type == AVMEDIA_TYPE_SUBTITLE;
}

// Whether the headers left out what the list shows: a codec, or a sound's channels
// (an MPEG transport stream tells them only in its packets).
bool HeadersLeaveOut(const AVFormatContext& context) {
  for (unsigned i = 0; i < context.nb_streams; ++i) {
    const AVCodecParameters& p = *context.streams[i]->codecpar;
    if (!Listed(p.codec_type)) continue;
    if (p.codec_id == AV_CODEC_ID_NONE) return true;
    if (p.codec_type == AVMEDIA_TYPE_AUDIO && p.ch_layout.nb_channels <= 0) return true;
  }
  return false;
}

}  // namespace

bool TrackListing::Read(const std::string& path) {
  MovieFile file;
  if (!file.Open(path)) return false;
  const AVFormatContext& context = *file.Context();
  if (HeadersLeaveOut(context)) file.FindStreamInfo();
  for (unsigned i = 0; i < context.nb_streams; ++i) {
    const AVStream& stream = *context.streams[i];
    const AVCodecParameters& p = *stream.codecpar;
    if (!Listed(p.codec_type)) continue;
    texts_.push_back({avcodec_get_name(p.codec_id), Tag(stream.metadata, "language"),
                      Tag(stream.metadata, "title")});
  }
  // The texts are all in place: the pointers into them stay.
  size_t t = 0;
  for (unsigned i = 0; i < context.nb_streams; ++i) {
    const AVStream& stream = *context.streams[i];
    const AVCodecParameters& p = *stream.codecpar;
    if (!Listed(p.codec_type)) continue;
    const Texts& texts = texts_[t++];
    TrackInfo info{};
    info.index = static_cast<int32_t>(i);
    info.kind = p.codec_type == AVMEDIA_TYPE_VIDEO   ? kTrackVideo
                : p.codec_type == AVMEDIA_TYPE_AUDIO ? kTrackAudio
                                                     : kTrackSubtitle;
    info.content = info.kind == kTrackSubtitle ? ContentOf(p.codec_id) : kTrackCannotShow;
    info.flags = Flags(stream.disposition);
    info.channels = info.kind == kTrackAudio ? std::max(0, p.ch_layout.nb_channels) : 0;
    info.codec = texts.codec.c_str();
    info.language = texts.language.c_str();
    info.title = texts.title.c_str();
    infos_.push_back(info);
  }
  return true;
}

}  // namespace tracks
