// The C functions of the movie's own tracks library (tracks.h).
#include "tracks.h"

#include <new>

#include "track_list.h"
#include "track_reader.h"

struct TrackList {
  tracks::TrackListing listing;
};

struct TrackReader {
  explicit TrackReader(const char* path, int32_t index) : reader(path, index) {}
  tracks::TrackReader reader;
};

extern "C" {

TrackList* OpenTrackList(const char* path) {
  if (!path) return nullptr;
  auto* list = new (std::nothrow) TrackList;
  if (list && !list->listing.Read(path)) {
    delete list;
    return nullptr;
  }
  return list;
}

int32_t TrackCount(const TrackList* list) {
  return list ? static_cast<int32_t>(list->listing.Tracks().size()) : 0;
}

const TrackInfo* TrackAt(const TrackList* list, int32_t position) {
  if (!list || position < 0 || position >= TrackCount(list)) return nullptr;
  return &list->listing.Tracks()[static_cast<size_t>(position)];
}

void CloseTrackList(TrackList* list) {
  delete list;
}

TrackReader* OpenTrackReader(const char* path, int32_t index) {
  return path ? new (std::nothrow) TrackReader(path, index) : nullptr;
}

void CloseTrackReader(TrackReader* reader) {
  delete reader;
}

void ReadTrackFromTime(TrackReader* reader, int64_t milliseconds) {
  if (reader) reader->reader.ReadFrom(milliseconds);
}

void GetTrackProgress(TrackReader* reader, TrackProgress* progress) {
  if (!progress) return;
  *progress = TrackProgress{};
  if (reader)
    *progress = reader->reader.Progress();
  else
    progress->state = kTrackFailed;
}

int64_t GetTrackTexts(TrackReader* reader, int64_t first, TrackTextSink sink, void* context) {
  return reader && sink ? reader->reader.Texts(first, sink, context) : 0;
}

int32_t GetTrackPictureAt(TrackReader* reader, int64_t milliseconds, TrackPicture* picture) {
  return reader && picture ? reader->reader.PictureAt(milliseconds, *picture) : 0;
}

int32_t GetTrackPicture(TrackReader* reader, int64_t number, TrackPicture* picture) {
  return reader && picture ? reader->reader.PictureNumber(number, *picture) : -1;
}

}  // extern "C"
