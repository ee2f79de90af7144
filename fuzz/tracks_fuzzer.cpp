// Any bytes as a movie file: its tracks are listed, and each of its first subtitle tracks
// is read whole on the reader's thread, from a time asked for and then back; every text
// and picture is asked for, and every pixel read, which must stay in bounds.
#include <cstdint>
#include <fstream>

#include "fuzz_folder.h"
#include "track_list.h"
#include "track_reader.h"

namespace {

constexpr size_t kMaxTracksRead = 4;

void Touch(const TrackPicture& picture) {
  const int64_t bytes = int64_t{picture.right - picture.left} * (picture.bottom - picture.top) * 4;
  volatile uint8_t sum = 0;
  for (int64_t i = 0; i < bytes; ++i) sum = static_cast<uint8_t>(sum + picture.pixels[i]);
}

void ReadWhole(const std::string& path, int32_t index) {
  tracks::TrackReader reader(path, index, tracks::TrackReader::Priority::Normal);
  reader.ReadFrom(4000);
  const TrackProgress progress = reader.WaitUntilRead();
  reader.Texts(
      0,
      [](void*, int64_t, int64_t, const char* text, int32_t length) {
        volatile char last = length > 0 ? text[length - 1] : 0;
        (void)last;
      },
      nullptr);
  TrackPicture picture{};
  for (int64_t n = 0; n < progress.count && n < 64; ++n)
    if (reader.PictureNumber(n, picture) == 1) Touch(picture);
  for (int64_t ms = -500; ms < 12000; ms += 500)
    if (reader.PictureAt(ms, picture) == 1) Touch(picture);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = (FuzzFolder() / "movie").string();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  tracks::TrackListing listing;
  if (!listing.Read(path)) return 0;
  size_t read = 0;
  for (const TrackInfo& track : listing.Tracks())
    if (track.kind == kTrackSubtitle && read++ < kMaxTracksRead) ReadWhole(path, track.index);
  return 0;
}
