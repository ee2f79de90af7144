#pragma once

#include <cstdint>
#include <functional>
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace tracks {

// A movie file opened by FFmpeg's demuxer: local files only, never another protocol.
class MovieFile {
 public:
  // `interrupted` is asked while the file is read; when it says true, the read under way
  // gives up (with AVERROR_EXIT).
  explicit MovieFile(std::function<bool()> interrupted = {});
  ~MovieFile();
  MovieFile(const MovieFile&) = delete;
  MovieFile& operator=(const MovieFile&) = delete;

  // Opens `path` and reads its headers; false when it is no movie FFmpeg reads.
  bool Open(const std::string& path);
  // Reads into the streams what their headers leave out (a start time, a sound's
  // channels), as a player does before it plays.
  void FindStreamInfo();
  AVFormatContext* Context() const { return context_; }
  // The stream's time stamp in milliseconds of playback: the file's start time is 0.
  int64_t Milliseconds(const AVStream* stream, int64_t timestamp) const;
  // The file's own time stamp in AV_TIME_BASE units of playback time `milliseconds`.
  int64_t FileTime(int64_t milliseconds) const;

 private:
  static int Interrupt(void* opaque);
  static int Read(void* opaque, uint8_t* buffer, int size);
  static int64_t Seek(void* opaque, int64_t offset, int whence);
  bool Interrupted() const { return interrupted_ && interrupted_(); }
  AVFormatContext* context_ = nullptr;
  AVIOContext* input_ = nullptr;
  int fd_ = -1;
  std::function<bool()> interrupted_;
  int64_t startMs_ = 0;
};

}  // namespace tracks
