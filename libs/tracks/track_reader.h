#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "bitmap_pictures.h"
#include "read_plan.h"
#include "timed_entries.h"
#include "tracks.h"

namespace tracks {

class MovieFile;

// Reads one subtitle track of a movie on a thread of its own (see tracks.h). The thread
// reads runs of packets as the ReadPlan says, keeps what they bring (a text track's plain
// texts, a bitmap track's packets), and goes first to a time asked for.
class TrackReader {
 public:
  // Beside playback, the reading thread takes the processor and the disk only when
  // playback leaves them.
  enum class Priority { BesidePlayback, Normal };
  TrackReader(std::string path, int32_t index, Priority priority = Priority::BesidePlayback);
  ~TrackReader();  // stops reading, at once
  TrackReader(const TrackReader&) = delete;
  TrackReader& operator=(const TrackReader&) = delete;

  void ReadFrom(int64_t ms);
  TrackProgress Progress();
  // Waits until reading has ended, however it ended.
  TrackProgress WaitUntilRead();
  // The memory the entries read take.
  size_t MemoryUsed();
  int64_t Texts(int64_t first, TrackTextSink sink, void* context);
  int32_t PictureAt(int64_t ms, TrackPicture& out);
  int32_t PictureNumber(int64_t number, TrackPicture& out);

 private:
  struct Stream;  // the open file and the track's stream in it

  void Read();
  std::unique_ptr<Stream> Open();
  // One step of reading: a request, a new run, or a packet. False when nothing is left.
  bool Step(Stream& stream);
  void Seek(Stream& stream, int64_t ms);
  void Keep(Stream& stream, int64_t ms, const AVPacket& packet);
  void FlushPending();
  bool Interrupted() const { return stop_ || (reading_ && requested_); }

  // Decodes `entry` into pictureCache_ (under decodeMutex_).
  BitmapDecoder::Result DecodeEntry(const TimedEntries::Entry& entry);
  // The decoded picture into `out`, ending at the earliest of its own end, its packet's
  // (`packetEnd`) and the next entry's start (each -1 when unknown).
  void FillPicture(TrackPicture& out, int64_t packetEnd, int64_t nextStart);

  const std::string path_;
  const int32_t index_;
  const Priority priority_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> requested_{false};  // a ReadFrom waits to be served
  std::atomic<bool> reading_{false};    // the file is open: a request may cut a read short

  std::mutex mutex_;               // everything below, to the decoding's own
  std::condition_variable ended_;  // state_ has left kTrackReading
  int64_t requestedFrom_ = 0;
  ReadPlan plan_;
  TimedEntries entries_;
  TrackReadState state_ = kTrackReading;
  TrackContent content_ = kTrackCannotShow;
  int32_t skipped_ = 0;
  bool endedEarly_ = false;
  // A bitmap packet waits here until the next packet shows it has no more parts at its time.
  std::optional<int64_t> pendingStart_;
  int64_t pendingEnd_ = -1;
  std::string pendingBytes_;

  std::mutex decodeMutex_;  // the decoder and the picture it gave
  std::unique_ptr<BitmapDecoder> decoder_;
  AVCodecID codec_ = AV_CODEC_ID_NONE;
  std::optional<uint64_t> decodedSerial_;  // the entry the decoder saw last
  std::optional<uint64_t> pictureSerial_;  // the entry pictureCache_ comes from
  BitmapDecoder::Result pictureResult_ = BitmapDecoder::Result::Failed;
  Picture pictureCache_;
  int32_t frameWidth_ = 0, frameHeight_ = 0;

  std::thread thread_;  // last: starts when everything above is there
};

}  // namespace tracks
