#include "movie_file.h"

#include <filesystem>

namespace tracks {

namespace {

// Many more than FFmpeg's default of 1000: a movie with thousands of tracks still lists.
constexpr int kMaxStreams = 100000;

int64_t AddSaturated(int64_t a, int64_t b) {
  int64_t sum;
  return __builtin_add_overflow(a, b, &sum) ? (b > 0 ? INT64_MAX : INT64_MIN) : sum;
}

}  // namespace

MovieFile::MovieFile(std::function<bool()> interrupted) : interrupted_(std::move(interrupted)) {}

MovieFile::~MovieFile() {
  avformat_close_input(&context_);
}

int MovieFile::Interrupt(void* opaque) {
  const auto* file = static_cast<const MovieFile*>(opaque);
  return file->interrupted_ && file->interrupted_() ? 1 : 0;
}

bool MovieFile::Open(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error || !std::filesystem::is_regular_file(absolute, error)) return false;
  context_ = avformat_alloc_context();
  if (!context_) return false;
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
