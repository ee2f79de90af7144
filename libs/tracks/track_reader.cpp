#include "track_reader.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "movie_file.h"
#include "track_codecs.h"

namespace tracks {

namespace {

// A request reads from this long before the time asked for: a line that started shortly
// before it is still showing then.
constexpr int64_t kLeadMs = 30000;
// A run that will reach the time asked for within this long is not sent elsewhere.
constexpr int64_t kNearMs = 10000;
// How far back decoding a picture looks for a packet to start at.
constexpr size_t kMaxDecodeBack = 64;

// The calling thread's processor and disk priorities, lowered below playback's.
void YieldToPlayback() {
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
  constexpr int kWhoThread = 1, kBestEffort = 2, kClassShift = 13, kLowest = 7;
  syscall(SYS_ioprio_set, kWhoThread, 0, kBestEffort << kClassShift | kLowest);
}

}  // namespace

struct TrackReader::Stream {
  explicit Stream(std::function<bool()> interrupted) : file(std::move(interrupted)) {}
  ~Stream() { av_packet_free(&packet); }
  MovieFile file;
  AVStream* stream = nullptr;
  AVPacket* packet = av_packet_alloc();
  int64_t size = 0;  // the file's size when opened
};

TrackReader::TrackReader(std::string path, int32_t index, Priority priority)
    : path_(std::move(path)),
      index_(index),
      priority_(priority),
      thread_(&TrackReader::Read, this) {}

TrackReader::~TrackReader() {
  stop_ = true;
  thread_.join();
}

void TrackReader::Read() {
  if (priority_ == Priority::BesidePlayback) YieldToPlayback();
  const std::unique_ptr<Stream> stream = Open();
  if (!stream) {
    std::lock_guard lock(mutex_);
    state_ = kTrackFailed;
    ended_.notify_all();
    return;
  }
  reading_ = true;
  while (!stop_ && Step(*stream)) {
  }
  std::lock_guard lock(mutex_);
  FlushPending();
  entries_.Compact();
  state_ = endedEarly_ || !plan_.Complete() ? kTrackStopped : kTrackRead;
  ended_.notify_all();
}

std::unique_ptr<TrackReader::Stream> TrackReader::Open() {
  auto s = std::make_unique<Stream>([this] { return Interrupted(); });
  if (!s->packet || !s->file.Open(path_)) return nullptr;
  AVFormatContext* context = s->file.Context();
  if (index_ < 0 || static_cast<unsigned>(index_) >= context->nb_streams) return nullptr;
  s->stream = context->streams[index_];
  const AVCodecParameters* parameters = s->stream->codecpar;
  const TrackContent content = parameters->codec_type == AVMEDIA_TYPE_SUBTITLE
                                   ? ContentOf(parameters->codec_id)
                                   : kTrackCannotShow;
  if (content == kTrackCannotShow) return nullptr;
  if (content == kTrackBitmap) {
    std::lock_guard decoding(decodeMutex_);
    decoder_ = std::make_unique<BitmapDecoder>(parameters, s->stream->time_base);
    codec_ = parameters->codec_id;
  }
  {
    std::lock_guard lock(mutex_);
    content_ = content;
  }
  s->file.FindStreamInfo();
  if (stop_) return nullptr;
  for (unsigned i = 0; i < context->nb_streams; ++i)
    if (static_cast<int32_t>(i) != index_) context->streams[i]->discard = AVDISCARD_ALL;
  s->size = context->pb ? avio_size(context->pb) : 0;
  return s;
}

bool TrackReader::Step(Stream& s) {
  AVFormatContext* context = s.file.Context();
  std::optional<int64_t> seek;
  {
    std::lock_guard lock(mutex_);
    if (requested_) {
      requested_ = false;
      FlushPending();
      if (plan_.StartRun(requestedFrom_)) seek = plan_.RunStart();
    } else if (!plan_.RunActive()) {
      FlushPending();
      if (!plan_.StartRun()) return false;
      seek = plan_.RunStart();
    }
  }
  if (seek) {
    Seek(s, *seek);
    return true;
  }

  AVPacket* packet = s.packet;
  const int result = av_read_frame(context, packet);
  if (result < 0) {
    if (Interrupted()) return true;  // the request is served next; a stop ends
    std::lock_guard lock(mutex_);
    FlushPending();
    plan_.EndOfFile();
    // A file that shrank while it was read ends where it now ends, before its time.
    const bool shrank = context->pb && avio_size(context->pb) < s.size;
    if (result != AVERROR_EOF || shrank) endedEarly_ = true;
    return true;
  }
  if (packet->stream_index == index_) {
    const int64_t timestamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (timestamp == AV_NOPTS_VALUE) {
      std::lock_guard lock(mutex_);
      ++skipped_;
    } else {
      Keep(s, s.file.Milliseconds(s.stream, timestamp), *packet);
    }
  }
  av_packet_unref(packet);
  return true;
}

void TrackReader::Keep(Stream& s, int64_t ms, const AVPacket& packet) {
  const std::string_view bytes(reinterpret_cast<const char*>(packet.data),
                               packet.data ? static_cast<size_t>(packet.size) : 0);
  const int64_t end =
      packet.duration > 0 ? ms + av_rescale_q(packet.duration, s.stream->time_base, {1, 1000}) : -1;
  std::optional<std::string> text;
  if (content_ == kTrackText) text = PacketText(s.stream->codecpar->codec_id, bytes);
  std::optional<int64_t> seek;
  {
    std::lock_guard lock(mutex_);
    const ReadPlan::Verdict verdict = plan_.Packet(ms);
    switch (verdict) {
      case ReadPlan::Verdict::Keep:
      case ReadPlan::Verdict::KeepIfNew: {
        const bool again = verdict == ReadPlan::Verdict::KeepIfNew;
        if (content_ == kTrackText) {
          if (!text)
            ++skipped_;
          else if (!text->empty() && !(again && entries_.Contains(ms, end, *text)))
            entries_.Add(ms, end, *text);
        } else if (pendingStart_ == ms) {
          pendingBytes_.append(bytes);  // one picture in several packets
          pendingEnd_ = std::max(pendingEnd_, end);
        } else if (!(again && entries_.Contains(ms, end, bytes))) {
          FlushPending();
          pendingStart_ = ms;
          pendingEnd_ = end;
          pendingBytes_.assign(bytes);
        }
        break;
      }
      case ReadPlan::Verdict::Jump:
        FlushPending();
        seek = plan_.RunStart();
        break;
      case ReadPlan::Verdict::Drop:
        break;
    }
  }
  if (seek) Seek(s, *seek);
}

void TrackReader::FlushPending() {
  if (!pendingStart_) return;
  entries_.Add(*pendingStart_, pendingEnd_, pendingBytes_);
  pendingStart_.reset();
  std::string().swap(pendingBytes_);
}

void TrackReader::Seek(Stream& s, int64_t ms) {
  AVFormatContext* context = s.file.Context();
  // A read cut short leaves its error behind, which the next read at the file's end
  // would give instead of the end.
  if (context->pb) context->pb->error = 0;
  const int64_t target = s.file.FileTime(ms <= ReadPlan::kMovieStart ? 0 : ms);
  if (avformat_seek_file(context, -1, INT64_MIN, target, target, 0) >= 0) return;
  if (ms <= ReadPlan::kMovieStart && av_seek_frame(context, -1, target, AVSEEK_FLAG_ANY) >= 0)
    return;
  if (Interrupted()) return;  // the request is served next
  std::lock_guard lock(mutex_);
  plan_.AbandonRun();
  endedEarly_ = true;
}

void TrackReader::ReadFrom(int64_t ms) {
  const int64_t from = ms - kLeadMs > 0 ? ms - kLeadMs : ReadPlan::kMovieStart;
  std::lock_guard lock(mutex_);
  if (plan_.Covers(from, ms)) return;
  if (plan_.RunActive() && plan_.Covers(from, plan_.RunEnd() - 1) && ms < plan_.RunEnd() + kNearMs)
    return;  // the run under way is nearly there
  requestedFrom_ = from;
  requested_ = true;
}

TrackProgress TrackReader::Progress() {
  std::lock_guard lock(mutex_);
  entries_.Settle();
  TrackProgress progress{};
  progress.state = state_;
  progress.content = content_;
  progress.count = static_cast<int64_t>(entries_.Count());
  progress.order = entries_.Order();
  progress.frameWidth = frameWidth_;
  progress.frameHeight = frameHeight_;
  progress.skipped = skipped_;
  return progress;
}

TrackProgress TrackReader::WaitUntilRead() {
  {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return state_ != kTrackReading; });
  }
  return Progress();
}

size_t TrackReader::MemoryUsed() {
  std::lock_guard lock(mutex_);
  return entries_.MemoryUsed() + pendingBytes_.capacity();
}

int64_t TrackReader::Texts(int64_t first, TrackTextSink sink, void* context) {
  std::lock_guard lock(mutex_);
  entries_.Settle();
  if (content_ != kTrackText) return entries_.Order();
  for (size_t i = first < 0 ? 0 : static_cast<size_t>(first); i < entries_.Count(); ++i) {
    const TimedEntries::Entry& entry = entries_[i];
    const std::string_view text = entries_.Bytes(entry);
    sink(context, entry.start, entry.end, text.data(), static_cast<int32_t>(text.size()));
  }
  return entries_.Order();
}

BitmapDecoder::Result TrackReader::DecodeEntry(const TimedEntries::Entry& entry) {
  if (pictureSerial_ == entry.serial) return pictureResult_;
  struct Part {
    uint64_t serial;
    int64_t start;
    std::string_view bytes;  // in a block that never moves
  };
  std::vector<Part> parts;
  bool follows = false;
  {
    std::lock_guard lock(mutex_);
    const int64_t found = entries_.Find(entry);
    if (found < 0) return BitmapDecoder::Result::Failed;
    const size_t k = static_cast<size_t>(found);
    // Decoding goes on from the entry before, or starts again where a picture starts.
    follows = k > 0 && decodedSerial_ == entries_[k - 1].serial;
    size_t first = k;
    if (!follows)
      while (first > 0 && k - first < kMaxDecodeBack &&
             !StartsPicture(codec_, entries_.Bytes(entries_[first])))
        --first;
    for (size_t i = first; i <= k; ++i)
      parts.push_back({entries_[i].serial, entries_[i].start, entries_.Bytes(entries_[i])});
  }
  if (!follows) decoder_->Reset();
  Picture picture;
  BitmapDecoder::Result result = BitmapDecoder::Result::Failed;
  for (const Part& part : parts) {
    result = decoder_->Decode(part.bytes, part.start, picture);
    decodedSerial_ = part.serial;
  }
  pictureSerial_ = entry.serial;
  pictureResult_ = result;
  pictureCache_ = std::move(picture);
  std::lock_guard lock(mutex_);
  frameWidth_ = decoder_->FrameWidth();
  frameHeight_ = decoder_->FrameHeight();
  return result;
}

int32_t TrackReader::PictureNumber(int64_t number, TrackPicture& out) {
  std::lock_guard decoding(decodeMutex_);
  TimedEntries::Entry entry{};
  int64_t nextStart = -1;
  {
    std::lock_guard lock(mutex_);
    entries_.Settle();
    if (!decoder_ || number < 0 || static_cast<size_t>(number) >= entries_.Count()) return -1;
    entry = entries_[static_cast<size_t>(number)];
    nextStart = entries_.NextStart(static_cast<size_t>(number));
  }
  const BitmapDecoder::Result result = DecodeEntry(entry);
  if (result != BitmapDecoder::Result::Shown)
    return result == BitmapDecoder::Result::Cleared ? 0 : -1;
  FillPicture(out, entry.end, nextStart);
  return 1;
}

int32_t TrackReader::PictureAt(int64_t ms, TrackPicture& out) {
  std::lock_guard decoding(decodeMutex_);
  TimedEntries::Entry entry{};
  int64_t nextStart = -1;
  {
    std::lock_guard lock(mutex_);
    entries_.Settle();
    if (!decoder_) return 0;
    const int64_t k = entries_.LastStartingBy(ms);
    if (k < 0) return 0;
    entry = entries_[static_cast<size_t>(k)];
    // Unless every packet from its start to `ms` is known, a later one may be due.
    if (!plan_.Covers(entry.start, ms)) return 0;
    nextStart = entries_.NextStart(static_cast<size_t>(k));
  }
  if (DecodeEntry(entry) != BitmapDecoder::Result::Shown) return 0;
  const Picture& picture = pictureCache_;
  const bool ended = (picture.end >= 0 && ms >= picture.end) || (entry.end >= 0 && ms >= entry.end);
  if (ms < picture.start || ended) return 0;
  FillPicture(out, entry.end, nextStart);
  return 1;
}

void TrackReader::FillPicture(TrackPicture& out, int64_t packetEnd, int64_t nextStart) {
  const Picture& picture = pictureCache_;
  out.number = static_cast<int64_t>(*pictureSerial_);
  out.start = picture.start;
  out.end = picture.end;
  for (int64_t end : {packetEnd, nextStart})
    if (end >= 0 && (out.end < 0 || end < out.end)) out.end = end;
  out.left = picture.left;
  out.top = picture.top;
  out.right = picture.right;
  out.bottom = picture.bottom;
  std::lock_guard lock(mutex_);
  out.frameWidth = frameWidth_;
  out.frameHeight = frameHeight_;
  out.pixels = picture.pixels.data();
}

}  // namespace tracks
