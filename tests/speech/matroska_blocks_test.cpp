// A Matroska track's blocks found by their headers alone: the same packets FFmpeg's demuxer
// reads, the same sound decoded from them, and nothing at all where the layout is not
// understood.
#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "audio_track.h"
#include "matroska_blocks.h"
#include "speech_media.h"

namespace speech {
namespace {

using captivo::test::Media;

struct Packet {
  int64_t pos, pts;
  bool operator==(const Packet&) const = default;
};

// Every packet of every track as FFmpeg's demuxer reads them, by track.
std::map<int, std::vector<Packet>> DemuxedPackets(const std::string& path) {
  std::map<int, std::vector<Packet>> packets;
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return packets;
  AVPacket* packet = av_packet_alloc();
  while (av_read_frame(format, packet) >= 0) {
    packets[packet->stream_index].push_back({packet->pos, packet->pts});
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  avformat_close_input(&format);
  return packets;
}

std::vector<Packet> FoundPackets(const MatroskaBlocks& blocks) {
  std::vector<Packet> packets;
  for (const auto& block : blocks.Blocks()) packets.push_back({block.offset, block.timecode});
  return packets;
}

const MatroskaBlocks::KeepGoing kAlways = [] { return true; };

// A block of a live file: its track (1 or 2) and its size.
struct LiveBlock {
  int track;
  size_t size;
};

// A Matroska file written as a live stream writes it: segment and cluster of unknown size,
// two tracks, then the blocks given, each filled with a byte of its own after its header.
// Where the first block's bytes begin is returned with it.
std::pair<std::string, int64_t> LiveFile(const std::vector<LiveBlock>& blocks) {
  const std::string unknown = "\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF";
  std::string file = std::string("\x1A\x45\xDF\xA3\x80", 5);  // an empty EBML header
  file += std::string("\x18\x53\x80\x67", 4) + unknown;       // the segment
  file += std::string("\x16\x54\xAE\x6B\x8A", 5);             // tracks 1 and 2
  file += std::string("\xAE\x83\xD7\x81\x01\xAE\x83\xD7\x81\x02", 10);
  file += std::string("\x1F\x43\xB6\x75", 4) + unknown;  // a cluster
  file += std::string("\xE7\x81\x00", 3);                // at time 0
  int64_t first = 0;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const size_t size = blocks[i].size;  // in four bytes: below 2^28
    file += std::string("\xA3\x10", 2) + char(size >> 16) + char(size >> 8) + char(size);
    if (i == 0) first = int64_t(file.size());
    file += std::string{char(0x80 + blocks[i].track), 0, char(i % 100), char(0x80)};
    file += std::string(size - 4, char('a' + i % 26));
  }
  return {file, first};
}

std::pair<std::string, int64_t> LiveFile(size_t count, size_t size) {
  return LiveFile(std::vector<LiveBlock>(count, {1, size}));
}

TEST(MatroskaBlocks, FindsThePacketsTheDemuxerReads) {
  // Sound, a silent second sound track, a picture; text tracks; a file of sound alone.
  for (const char* movie : {"speech-25.mkv", "tracks.mkv", "jump-5h.mkv"}) {
    const std::string path = Media(movie);
    const auto demuxed = DemuxedPackets(path);
    ASSERT_FALSE(demuxed.empty()) << movie;
    for (const auto& [track, packets] : demuxed) {
      const std::optional<MatroskaBlocks> found =
          MatroskaBlocks::Find(path, packets[0].pos, kAlways);
      ASSERT_TRUE(found) << movie << " track " << track;
      EXPECT_EQ(FoundPackets(*found), packets) << movie << " track " << track;
    }
  }
}

// A folder of the test's own for the files it writes, gone with it.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "captivo-mkv-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
  }
  ~Scratch() { std::filesystem::remove_all(folder_); }
  std::string Write(const std::string& name, const std::string& content) const {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

 private:
  std::filesystem::path folder_;
};

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(MatroskaBlocks, FindsNothingWhereTheLayoutIsNotUnderstood) {
  const Scratch scratch;
  const std::string mkv = Media("speech-25.mkv");
  const auto packets = DemuxedPackets(mkv).at(1);
  const std::string bytes = Contents(mkv);
  // A block's header in the middle of the file zeroed.
  std::string damaged = bytes;
  damaged.replace(size_t(packets[packets.size() / 2].pos) - 3, 3, std::string(3, '\0'));
  struct Case {
    const char* what;
    std::string path;
    int64_t known;
  } cases[] = {
      {"not Matroska", Media("speech-25.mp4"), 48},
      {"no block there", mkv, packets[0].pos + 1},
      {"past the end", mkv, int64_t(bytes.size()) + 10},
      {"no such file", Media("no-such-movie.mkv"), 0},
      {"zeros mid-file", scratch.Write("damaged.mkv", damaged), packets[0].pos},
      {"the track list gone", scratch.Write("no-tracks.mkv", bytes.substr(0, 40)), 0},
  };
  for (const Case& c : cases)
    EXPECT_FALSE(MatroskaBlocks::Find(c.path, c.known, kAlways)) << c.what;
  EXPECT_FALSE(MatroskaBlocks::Find(mkv, packets[0].pos, [] { return false; })) << "stopped";
  // Blocks so small that their list would outgrow the file are left to FFmpeg.
  const auto [tiny, tinyFirst] = LiveFile(10'000, 8);
  EXPECT_FALSE(MatroskaBlocks::Find(scratch.Write("tiny.mkv", tiny), tinyFirst, kAlways));
}

TEST(MatroskaBlocks, FindsWhatAFileWrittenLiveOrCutShortHolds) {
  const Scratch scratch;
  const auto [live, liveFirst] = LiveFile(1'000, 100);
  const std::optional<MatroskaBlocks> liveBlocks =
      MatroskaBlocks::Find(scratch.Write("live.mkv", live), liveFirst, kAlways);
  ASSERT_TRUE(liveBlocks);
  ASSERT_EQ(liveBlocks->Blocks().size(), 1'000u);
  EXPECT_EQ(liveBlocks->Blocks()[7].timecode, 7);
  EXPECT_EQ(liveBlocks->Blocks()[7].size, 100);

  // Cut short, the blocks whole before the cut are found, as FFmpeg's demuxer finds them.
  const std::string mkv = Media("speech-25.mkv");
  const auto packets = DemuxedPackets(mkv).at(1);
  const std::string bytes = Contents(mkv);
  const std::string cut = scratch.Write("cut.mkv", bytes.substr(0, bytes.size() * 3 / 5));
  const std::optional<MatroskaBlocks> found = MatroskaBlocks::Find(cut, packets[0].pos, kAlways);
  ASSERT_TRUE(found);
  const std::vector<Packet> before = FoundPackets(*found);
  ASSERT_GT(before.size(), packets.size() / 3);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), packets.begin()));
}

TEST(MatroskaBlocks, ReadsTheBlocksBetweenLargeOnesAndAmongSmallOnes) {
  // Sound beside large pictures, then beside small ones: each block is read whole, its own
  // bytes, however far apart the blocks lie.
  std::vector<LiveBlock> layout;
  for (int i = 0; i < 60; ++i) layout.insert(layout.end(), {{1, 3'000}, {2, 150'000}});
  for (int i = 0; i < 600; ++i) layout.insert(layout.end(), {{1, 3'000}, {2, 100}});
  for (int i = 0; i < 20; ++i) layout.insert(layout.end(), {{1, 3'000}, {2, 150'000}});
  const Scratch scratch;
  const auto [bytes, first] = LiveFile(layout);
  const std::string path = scratch.Write("mixed.mkv", bytes);
  const std::optional<MatroskaBlocks> found = MatroskaBlocks::Find(path, first, kAlways);
  ASSERT_TRUE(found);
  ASSERT_EQ(found->Blocks().size(), 680u);
  BlockFile file(path);
  for (size_t k = 0; k < found->Blocks().size(); ++k) {
    const MatroskaBlocks::Block& block = found->Blocks()[k];
    const std::span<const uint8_t> read = file.Read(block);
    ASSERT_EQ(read.size(), 3'000u) << k;
    EXPECT_EQ(std::string(read.begin(), read.end()), bytes.substr(size_t(block.offset), 3'000))
        << k;
    EXPECT_EQ(read.back(), 'a' + 2 * k % 26) << k;
  }
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  return std::vector<uint8_t>(values.begin(), values.end());
}

TEST(BlockFrames, SplitsLacedFramesAndRefusesDamagedOnes) {
  // Track 1 (0x81), time 0, then flags: 0x00 none, 0x02 Xiph, 0x04 fixed, 0x06 EBML.
  struct Case {
    const char* what;
    std::vector<uint8_t> block;
    std::optional<std::vector<size_t>> sizes;
  } cases[] = {
      {"one frame", Bytes({0x81, 0, 0, 0x00, 1, 2, 3}), std::vector<size_t>{3}},
      {"Xiph", Bytes({0x81, 0, 0, 0x02, 2, 1, 2, 9, 9, 9, 9, 9, 9}), std::vector<size_t>{1, 2, 3}},
      {"Xiph over 255",
       [] {
         auto b = Bytes({0x81, 0, 0, 0x02, 1, 255, 1});
         b.resize(b.size() + 256 + 4, 7);
         return b;
       }(),
       std::vector<size_t>{256, 4}},
      {"fixed", Bytes({0x81, 0, 0, 0x04, 2, 1, 2, 3, 4, 5, 6}), std::vector<size_t>{2, 2, 2}},
      {"EBML", Bytes({0x81, 0, 0, 0x06, 2, 0x82, 0xC0, 7, 7, 7, 7, 7, 7, 7}),
       std::vector<size_t>{2, 3, 2}},  // 2, then 2 + (0x40 - 63) = 3, then the rest
      {"EBML, a smaller frame", Bytes({0x81, 0, 0, 0x06, 2, 0x83, 0xBE, 7, 7, 7, 7, 7, 7}),
       std::vector<size_t>{3, 2, 1}},
      {"no header", Bytes({0x81, 0}), std::nullopt},
      {"no track number", Bytes({0x00, 0, 0, 0}), std::nullopt},
      {"Xiph sizes past the end", Bytes({0x81, 0, 0, 0x02, 1, 200, 1, 2}), std::nullopt},
      {"Xiph sizes never end", Bytes({0x81, 0, 0, 0x02, 1, 255, 255}), std::nullopt},
      {"fixed, uneven", Bytes({0x81, 0, 0, 0x04, 1, 1, 2, 3}), std::nullopt},
      {"EBML, negative", Bytes({0x81, 0, 0, 0x06, 2, 0x82, 0x80, 7, 7}), std::nullopt},
      {"laced, no count", Bytes({0x81, 0, 0, 0x02}), std::nullopt},
  };
  for (const Case& c : cases) {
    const auto frames = BlockFrames(c.block);
    ASSERT_EQ(frames.has_value(), c.sizes.has_value()) << c.what;
    if (!frames) continue;
    std::vector<size_t> sizes;
    for (const auto& frame : *frames) sizes.push_back(frame.size());
    EXPECT_EQ(sizes, *c.sizes) << c.what;
    // The frames lie one after the other and end with the block.
    EXPECT_EQ(frames->back().data() + frames->back().size(), c.block.data() + c.block.size())
        << c.what;
  }
}

// Every sample decoded from `fromMs` on, by position.
std::map<int64_t, float> Decoded(const std::string& path,
                                 std::shared_ptr<const MatroskaBlocks> blocks, int64_t fromMs) {
  AudioTrack audio;
  EXPECT_EQ(audio.Open(path, 0), OpenResult::Opened);
  audio.ReadFrom(std::move(blocks));
  std::map<int64_t, float> samples;
  const std::atomic<bool> stop{false};
  EXPECT_TRUE(audio.Decode(
      fromMs, INT64_MAX / 1000,
      [&](int64_t position, std::span<const float> got) {
        for (size_t i = 0; i < got.size(); ++i) samples[position + int64_t(i)] = got[i];
      },
      stop));
  return samples;
}

TEST(AudioTrack, DecodesTheSameSoundFromBlocksAsThroughTheDemuxer) {
  const std::string path = Media("speech-25.mkv");
  std::shared_ptr<const MatroskaBlocks> blocks;
  {
    AudioTrack finder;
    ASSERT_EQ(finder.Open(path, 0), OpenResult::Opened);
    blocks = finder.FindBlocks(kAlways);
  }
  ASSERT_TRUE(blocks);
  EXPECT_EQ(Decoded(path, blocks, 0), Decoded(path, nullptr, 0));
  // From a time, once the decoder has settled: each way may start at another packet.
  constexpr int64_t kFromMs = 30'000, kSettled = (kFromMs + 1'000) * kSampleRate / 1'000;
  auto fromBlocks = Decoded(path, blocks, kFromMs), demuxed = Decoded(path, nullptr, kFromMs);
  ASSERT_LE(fromBlocks.begin()->first, kSettled);
  ASSERT_LE(demuxed.begin()->first, kSettled);
  fromBlocks.erase(fromBlocks.begin(), fromBlocks.lower_bound(kSettled));
  demuxed.erase(demuxed.begin(), demuxed.lower_bound(kSettled));
  EXPECT_EQ(fromBlocks, demuxed);
  // An MP4 has no blocks to find.
  AudioTrack mp4;
  ASSERT_EQ(mp4.Open(Media("speech-25.mp4"), 0), OpenResult::Opened);
  EXPECT_FALSE(mp4.FindBlocks(kAlways));
}

}  // namespace
}  // namespace speech
