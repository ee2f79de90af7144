#include "movie_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace tracks {

namespace {

// Many more than FFmpeg's default of 1000: a movie with thousands of tracks still lists.
constexpr int kMaxStreams = 100000;
// A track's reader goes through every byte of the movie. FFmpeg reads a file in pieces of
// 32 KB, smaller than many of a movie's frames; 64 KB read a two-hour movie in 4 % less
// time, larger pieces in more (they no longer stay in the processor's cache).
constexpr int kReadSize = 1 << 16;

int64_t AddSaturated(int64_t a, int64_t b) {
  int64_t sum;
  return __builtin_add_overflow(a, b, &sum) ? (b > 0 ? INT64_MAX : INT64_MIN) : sum;
}

}  // namespace

MovieFile::MovieFile(std::function<bool()> interrupted) : interrupted_(std::move(interrupted)) {}

MovieFile::~MovieFile() {
  avformat_close_input(&context_);
  if (input_) av_freep(&input_->buffer);
  avio_context_free(&input_);
  if (fd_ >= 0) close(fd_);
}

int MovieFile::Interrupt(void* opaque) {
  return static_cast<const MovieFile*>(opaque)->Interrupted() ? 1 : 0;
}

int MovieFile::Read(void* opaque, uint8_t* buffer, int size) {
  const auto* file = static_cast<const MovieFile*>(opaque);
  if (file->Interrupted()) return AVERROR_EXIT;
  ssize_t got;
  do got = read(file->fd_, buffer, static_cast<size_t>(size));
  while (got < 0 && errno == EINTR);
  if (got < 0) return AVERROR(errno);
  return got == 0 ? AVERROR_EOF : static_cast<int>(got);
}

int64_t MovieFile::Seek(void* opaque, int64_t offset, int whence) {
  const auto* file = static_cast<const MovieFile*>(opaque);
  if (whence & AVSEEK_SIZE) {
    struct stat status;
    return fstat(file->fd_, &status) == 0 ? status.st_size : AVERROR(errno);
  }
  const off_t at = lseek(file->fd_, offset, whence & ~AVSEEK_FORCE);
  return at < 0 ? AVERROR(errno) : at;
}

bool MovieFile::Open(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error || !std::filesystem::is_regular_file(absolute, error)) return false;
  fd_ = open(absolute.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  auto* buffer = static_cast<unsigned char*>(av_malloc(kReadSize));
  if (buffer) input_ = avio_alloc_context(buffer, kReadSize, 0, this, Read, nullptr, Seek);
  if (!input_) {
    av_free(buffer);
    return false;
  }
  context_ = avformat_alloc_context();
  if (!context_) return false;
  context_->pb = input_;
  context_->interrupt_callback = {Interrupt, this};
  context_->max_streams = kMaxStreams;
  AVDictionary* options = nullptr;
  // The file itself, and no other protocol a playlist or a reference inside it may name.
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  const std::string url = "file:" + absolute.string();
  const int result = avformat_open_input(&context_, url.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (result < 0) return false;  // FFmpeg has freed the context
  return true;
}

void MovieFile::FindStreamInfo() {
  avformat_find_stream_info(context_, nullptr);
  if (context_->start_time != AV_NOPTS_VALUE) startMs_ = context_->start_time / 1000;
}

int64_t MovieFile::Milliseconds(const AVStream* stream, int64_t timestamp) const {
  return AddSaturated(av_rescale_q(timestamp, stream->time_base, AVRational{1, 1000}), -startMs_);
}

int64_t MovieFile::FileTime(int64_t milliseconds) const {
  const int64_t ms = AddSaturated(milliseconds, startMs_);
  return ms > INT64_MAX / 1000 ? INT64_MAX : ms < INT64_MIN / 1000 ? INT64_MIN : ms * 1000;
}

}  // namespace tracks
