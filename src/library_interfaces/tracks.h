#pragma once

// The movie's own tracks library: lists the video, audio and subtitle tracks a movie file
// carries, and reads one subtitle track in the background while the movie plays. Text
// tracks (SubRip, ASS/SSA, WebVTT, MP4 timed text) give entries of plain text; bitmap
// tracks (PGS, DVD, DVB) give pictures, decoded when asked for. Times are milliseconds
// of the movie's playback position.
#include <cstdint>

extern "C" {

enum TrackKind { kTrackVideo = 0, kTrackAudio = 1, kTrackSubtitle = 2 };
// What a subtitle track gives.
enum TrackContent { kTrackCannotShow = 0, kTrackText = 1, kTrackBitmap = 2 };
enum TrackFlag {
  kTrackDefault = 1,
  kTrackForced = 2,
  kTrackHearingImpaired = 4,
  kTrackVisualImpaired = 8,
  kTrackCommentary = 16,
};

struct TrackInfo {
  int32_t index;         // the stream's index in the file, which OpenTrackReader takes
  int32_t kind;          // a TrackKind
  int32_t content;       // subtitle tracks: a TrackContent; kTrackCannotShow for other kinds
  int32_t flags;         // TrackFlag bits
  int32_t channels;      // audio tracks: the number of channels, 0 when unknown
  const char* codec;     // FFmpeg's name of the codec: "subrip", "ass", "hdmv_pgs_subtitle"
  const char* language;  // as the file gives it ("eng", "fr"); "" when none
  const char* title;     // UTF-8; "" when none
};

// ---- Listing ----
struct TrackList;
// Lists the tracks of the movie at `path` from its headers. Takes as long as opening the
// file does: call it off the window's thread. NULL when the file is not a movie.
TrackList* OpenTrackList(const char* path);
// The video, audio and subtitle tracks in the file's order; other streams are left out.
int32_t TrackCount(const TrackList* list);
// The track at `position` (0 to TrackCount - 1); valid until the list is closed.
const TrackInfo* TrackAt(const TrackList* list, int32_t position);
void CloseTrackList(TrackList* list);

// ---- Reading one subtitle track ----
enum TrackReadState {
  kTrackReading = 0,  // entries are still coming
  kTrackRead = 1,     // every entry of the track is there
  kTrackStopped = 2,  // reading ended early (the file shrank or cannot be read on);
                      // what was read stays
  kTrackFailed = 3,   // the file or the track cannot be read at all
};

struct TrackProgress {
  int32_t state;    // a TrackReadState
  int32_t content;  // kTrackText or kTrackBitmap; kTrackCannotShow until known
  int64_t count;    // entries (text) or pictures (bitmap) read so far
  // Grows each time entries come in before others already counted (after
  // ReadTrackFromTime, reading goes back for what it skipped): a copy made from the
  // entries under another order number must be taken again from the first.
  int64_t order;
  int32_t frameWidth, frameHeight;  // bitmap tracks: the frame their pictures are made
                                    // for, once known; else 0
  int32_t skipped;  // packets that could not be read or decoded, each losing only itself
};

struct TrackReader;
// Starts reading stream `index` of the movie at `path` on a thread of its own, and
// returns at once. Reading goes from the start of the movie, unless asked otherwise.
TrackReader* OpenTrackReader(const char* path, int32_t index);
// Stops reading, at once, and frees the reader and all it holds.
void CloseTrackReader(TrackReader* reader);
// What is due from `milliseconds` on is read next (what came shortly before it too, so
// that a line already showing then is there): after a seek, or when a track is chosen in
// the middle of the movie. What is skipped is read afterwards.
void ReadTrackFromTime(TrackReader* reader, int64_t milliseconds);
void GetTrackProgress(TrackReader* reader, TrackProgress* progress);

// A text entry: start and end (-1 when the file gives none) in milliseconds, and its
// plain text, UTF-8 lines joined by CR LF, `length` bytes (valid during the call only).
typedef void (*TrackTextSink)(void* context, int64_t start, int64_t end, const char* text,
                              int32_t length);
// Hands the text entries from number `first` on, in the order of their starts (equal
// starts in the file's order), to `sink`; returns the order number (see TrackProgress)
// they were handed under.
int64_t GetTrackTexts(TrackReader* reader, int64_t first, TrackTextSink sink, void* context);

struct TrackPicture {
  int64_t number;      // which picture: the same number is the same picture
  int64_t start, end;  // end: -1 when it lasts until the next picture or the movie's end
  // Where it stands in the frame the track is made for, cut to its visible pixels.
  int32_t left, top, right, bottom;
  int32_t frameWidth, frameHeight;  // 0 when the track does not tell
  // (right - left) x (bottom - top) pixels of four bytes (blue, green, red, opacity),
  // rows from the top, no gaps; valid until the next call for this reader.
  const uint8_t* pixels;
};
// Fills `picture` with the picture due at `milliseconds` and returns 1; 0 when none is
// due (or what is due there has not been read yet).
int32_t GetTrackPictureAt(TrackReader* reader, int64_t milliseconds, TrackPicture* picture);
// The picture of entry `number` (0 to count - 1, in the order of their starts): 1 with the
// picture, 0 for an entry that clears the picture before it, -1 for one that cannot be
// decoded.
int32_t GetTrackPicture(TrackReader* reader, int64_t number, TrackPicture* picture);

}  // extern "C"
