#include "track_dump.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "escape_text.h"
#include "tracks.h"

namespace captivo {

namespace {

const char* KindName(int32_t kind) {
  switch (kind) {
    case kTrackVideo:
      return "video";
    case kTrackAudio:
      return "audio";
    default:
      return "subtitle";
  }
}

std::string FlagNames(int32_t flags) {
  static constexpr std::pair<int32_t, const char*> kNames[] = {
      {kTrackDefault, "default"},
      {kTrackForced, "forced"},
      {kTrackHearingImpaired, "hearing-impaired"},
      {kTrackVisualImpaired, "visual-impaired"},
      {kTrackCommentary, "commentary"},
  };
  std::string names;
  for (const auto& [flag, name] : kNames)
    if (flags & flag) names += (names.empty() ? "" : ",") + std::string(name);
  return names;
}

void Print(const std::string& out) {
  std::fwrite(out.data(), 1, out.size(), stdout);
}

// Why track `index` cannot be read, from the movie's list.
std::string TrackProblem(const std::string& path, int32_t index) {
  TrackList* list = OpenTrackList(path.c_str());
  if (!list) return "Cannot read movie " + path;
  std::string problem = "No track " + std::to_string(index);
  for (int32_t i = 0; i < TrackCount(list); ++i) {
    const TrackInfo& track = *TrackAt(list, i);
    if (track.index != index) continue;
    if (track.kind != kTrackSubtitle)
      problem = "Track " + std::to_string(index) + " is not a subtitle track";
    else if (track.content == kTrackCannotShow)
      problem = "Track " + std::to_string(index) + " (" + track.codec + ") cannot be shown";
    else
      problem = "Cannot read track " + std::to_string(index);
  }
  CloseTrackList(list);
  return problem;
}

std::string CodecName(const std::string& path, int32_t index) {
  std::string codec;
  if (TrackList* list = OpenTrackList(path.c_str())) {
    for (int32_t i = 0; i < TrackCount(list); ++i)
      if (TrackAt(list, i)->index == index) codec = TrackAt(list, i)->codec;
    CloseTrackList(list);
  }
  return codec;
}

std::string TextLines(TrackReader* reader) {
  std::string out = "unit\tmilliseconds\n";
  GetTrackTexts(
      reader, 0,
      [](void* context, int64_t start, int64_t end, const char* text, int32_t length) {
        auto& lines = *static_cast<std::string*>(context);
        lines += std::to_string(start) + '\t' + std::to_string(end) + '\t' +
                 EscapeText(std::string_view(text, static_cast<size_t>(length))) + '\n';
      },
      &out);
  return out;
}

std::string PictureLines(TrackReader* reader, int32_t index, const TrackProgress& progress) {
  std::string pictures, errors;
  for (int64_t number = 0; number < progress.count; ++number) {
    TrackPicture picture{};
    const int32_t result = GetTrackPicture(reader, number, &picture);
    if (result < 0) errors += "error\tPicture " + std::to_string(number) + " cannot be decoded\n";
    if (result <= 0) continue;
    pictures += "picture\t" + std::to_string(index) + '\t' + std::to_string(picture.start) + '\t' +
                (picture.end < 0 ? "-" : std::to_string(picture.end)) + '\t' +
                std::to_string(picture.left) + '\t' + std::to_string(picture.top) + '\t' +
                std::to_string(picture.right) + '\t' + std::to_string(picture.bottom) + '\n';
  }
  // The frame is known once a picture was decoded.
  TrackProgress decoded{};
  GetTrackProgress(reader, &decoded);
  std::string size;
  if (decoded.frameWidth > 0 && decoded.frameHeight > 0)
    size = "size\t" + std::to_string(decoded.frameWidth) + '\t' +
           std::to_string(decoded.frameHeight) + '\n';
  return size + pictures + errors;
}

}  // namespace

int ListTracks(const std::string& path) {
  TrackList* list = OpenTrackList(path.c_str());
  if (!list) {
    Print("error\t" + EscapeText("Cannot read movie " + path) + '\n');
    return 1;
  }
  std::string out;
  for (int32_t i = 0; i < TrackCount(list); ++i) {
    const TrackInfo& track = *TrackAt(list, i);
    out += "track\t" + std::to_string(track.index) + '\t' + KindName(track.kind) + '\t' +
           EscapeText(track.codec) + '\t' + EscapeText(track.language) + '\t' +
           EscapeText(track.title) + '\t' + FlagNames(track.flags) + '\n';
  }
  CloseTrackList(list);
  Print(out);
  return 0;
}

int DumpTrack(const std::string& path, int32_t index) {
  TrackReader* reader = OpenTrackReader(path.c_str(), index);
  TrackProgress progress{};
  for (;;) {
    GetTrackProgress(reader, &progress);
    if (progress.state != kTrackReading) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (progress.state == kTrackFailed) {
    CloseTrackReader(reader);
    Print("error\t" + EscapeText(TrackProblem(path, index)) + '\n');
    return 1;
  }
  std::string out = "format\t" + EscapeText(CodecName(path, index)) + '\n';
  out += progress.content == kTrackText ? TextLines(reader) : PictureLines(reader, index, progress);
  if (progress.skipped > 0)
    out += "error\t" + std::to_string(progress.skipped) + " packets could not be read\n";
  if (progress.state == kTrackStopped)
    out += "error\tReading ended early: the movie cannot be read on\n";
  CloseTrackReader(reader);
  Print(out);
  return 0;
}

}  // namespace captivo
