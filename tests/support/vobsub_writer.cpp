#include "vobsub_writer.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace captivo::test {

namespace {

constexpr size_t kPack = 2048;

// Nibble writer for the run-length code of the subpicture.
class Nibbles {
 public:
  void Put(unsigned nibble) {
    if (half_) {
      bytes_.back() |= static_cast<uint8_t>(nibble & 15);
    } else {
      bytes_.push_back(static_cast<uint8_t>((nibble & 15) << 4));
    }
    half_ = !half_;
  }
  void PutBits(unsigned value, int nibbles) {
    for (int i = nibbles - 1; i >= 0; --i) Put(value >> (4 * i));
  }
  void Align() { half_ = false; }
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  bool half_ = false;
};

// One line: runs of 1-3 in a nibble, 4-15 in two, 16-63 in three, 64-255 in four; a run
// of 64 or more to the end of the line as count 0.
void EncodeLine(Nibbles& out, const uint8_t* line, int width) {
  for (int x = 0; x < width;) {
    int run = 1;
    while (x + run < width && line[x + run] == line[x]) ++run;
    const unsigned value = line[x];
    if (x + run == width && run >= 64) {
      out.PutBits(value, 4);  // to the end of the line
      break;
    }
    run = std::min(run, 255);
    const unsigned code = static_cast<unsigned>(run) << 2 | value;
    if (run < 4)
      out.PutBits(code, 1);
    else if (run < 16)
      out.PutBits(code, 2);
    else if (run < 64)
      out.PutBits(code, 3);
    else
      out.PutBits(code, 4);
    x += run;
  }
  out.Align();
}

void Put16(std::vector<uint8_t>& out, unsigned value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

}  // namespace

std::vector<uint8_t> EncodeSubPicture(const VobSubPicture& p) {
  Nibbles rle;
  rle.Bytes().resize(4);  // the header comes first
  const size_t top = rle.Bytes().size();
  for (int y = 0; y < p.height; y += 2)
    EncodeLine(rle, &p.pixels[static_cast<size_t>(y) * p.width], p.width);
  const size_t bottom = rle.Bytes().size();
  for (int y = 1; y < p.height; y += 2)
    EncodeLine(rle, &p.pixels[static_cast<size_t>(y) * p.width], p.width);
  std::vector<uint8_t> spu = rle.Bytes();
  const size_t control = spu.size();
  // First control sequence: show at once, with colours, opacity, place and the fields.
  const size_t second = control + 4 + 1 + 3 + 3 + 7 + 5 + 1;
  Put16(spu, 0);
  Put16(spu, static_cast<unsigned>(p.durationMs > 0 ? second : control));
  spu.push_back(0x01);
  spu.push_back(0x03);
  spu.push_back(static_cast<uint8_t>(p.colour[3] << 4 | p.colour[2]));
  spu.push_back(static_cast<uint8_t>(p.colour[1] << 4 | p.colour[0]));
  spu.push_back(0x04);
  spu.push_back(static_cast<uint8_t>(p.alpha[3] << 4 | p.alpha[2]));
  spu.push_back(static_cast<uint8_t>(p.alpha[1] << 4 | p.alpha[0]));
  const unsigned x2 = static_cast<unsigned>(p.x + p.width - 1),
                 y2 = static_cast<unsigned>(p.y + p.height - 1);
  spu.push_back(0x05);
  spu.push_back(static_cast<uint8_t>(p.x >> 4));
  spu.push_back(static_cast<uint8_t>((p.x & 15) << 4 | x2 >> 8));
  spu.push_back(static_cast<uint8_t>(x2));
  spu.push_back(static_cast<uint8_t>(p.y >> 4));
  spu.push_back(static_cast<uint8_t>((p.y & 15) << 4 | y2 >> 8));
  spu.push_back(static_cast<uint8_t>(y2));
  spu.push_back(0x06);
  Put16(spu, static_cast<unsigned>(top));
  Put16(spu, static_cast<unsigned>(bottom));
  spu.push_back(0xFF);
  if (p.durationMs > 0) {  // second: stop after the duration (in 1024/90000 s)
    Put16(spu, static_cast<unsigned>(p.durationMs * 90 / 1024));
    Put16(spu, static_cast<unsigned>(second));
    spu.push_back(0x02);
    spu.push_back(0xFF);
  }
  if (spu.size() > 0xFFFF) throw std::length_error("a sub-picture holds at most 65,535 bytes");
  spu[0] = static_cast<uint8_t>(spu.size() >> 8);
  spu[1] = static_cast<uint8_t>(spu.size());
  spu[2] = static_cast<uint8_t>(control >> 8);
  spu[3] = static_cast<uint8_t>(control);
  return spu;
}

namespace {

void PutPts(std::vector<uint8_t>& out, int64_t pts) {
  out.push_back(static_cast<uint8_t>(0x21 | ((pts >> 29) & 0x0E)));
  out.push_back(static_cast<uint8_t>(pts >> 22));
  out.push_back(static_cast<uint8_t>(((pts >> 14) & 0xFE) | 1));
  out.push_back(static_cast<uint8_t>(pts >> 7));
  out.push_back(static_cast<uint8_t>(((pts << 1) & 0xFE) | 1));
}

std::vector<uint8_t> PackHeader(const VobSubLayout& layout) {
  if (layout.mpeg1) return {0x00, 0x00, 0x01, 0xBA, 0x21, 0x00, 0x01, 0x00, 0x01, 0x80, 0x00, 0x01};
  std::vector<uint8_t> header = {
      0x00, 0x00, 0x01, 0xBA, 0x44, 0x00, 0x04,
      0x00, 0x04, 0x01, 0x01, 0x89, 0xC3, static_cast<uint8_t>(0xF8 | layout.packStuffing)};
  header.insert(header.end(), static_cast<size_t>(layout.packStuffing), 0xFF);
  return header;
}

// The private stream 1 packet header up to (not including) its sub-stream byte.
std::vector<uint8_t> PacketHeader(const VobSubLayout& layout, bool withPts, int64_t pts) {
  std::vector<uint8_t> header = {0x00, 0x00, 0x01, 0xBD, 0x00, 0x00};  // length set later
  const size_t stuffing = static_cast<size_t>(layout.packetStuffing);
  if (layout.mpeg1) {
    header.insert(header.end(), stuffing, 0xFF);
    if (withPts)
      PutPts(header, pts);
    else
      header.push_back(0x0F);
  } else {
    header.insert(header.end(), {0x81, static_cast<uint8_t>(withPts ? 0x80 : 0x00),
                                 static_cast<uint8_t>((withPts ? 5 : 0) + stuffing)});
    if (withPts) PutPts(header, pts);
    header.insert(header.end(), stuffing, 0xFF);
  }
  return header;
}

// The packs carrying `spu` of sub-stream 0x20 + `stream`.
std::vector<uint8_t> Packs(const std::vector<uint8_t>& spu, int stream, int64_t pts,
                           const VobSubLayout& layout) {
  std::vector<uint8_t> out;
  for (size_t sent = 0; sent < spu.size();) {
    std::vector<uint8_t> pack = PackHeader(layout);
    const std::vector<uint8_t> header = PacketHeader(layout, sent == 0, pts);
    size_t chunk = std::min(spu.size() - sent, kPack - pack.size() - header.size() - 1);
    if (layout.payloadPerPacket) chunk = std::min(chunk, layout.payloadPerPacket);
    const size_t start = pack.size();
    pack.insert(pack.end(), header.begin(), header.end());
    pack.push_back(static_cast<uint8_t>(0x20 + stream));
    pack.insert(pack.end(), spu.begin() + static_cast<std::ptrdiff_t>(sent),
                spu.begin() + static_cast<std::ptrdiff_t>(sent + chunk));
    const size_t length = pack.size() - start - 6;
    pack[start + 4] = static_cast<uint8_t>(length >> 8);
    pack[start + 5] = static_cast<uint8_t>(length);
    if (layout.padded && pack.size() + 6 <= kPack) {  // fill the pack with a padding stream
      const size_t padding = kPack - pack.size() - 6;
      pack.insert(pack.end(), {0x00, 0x00, 0x01, 0xBE});
      Put16(pack, static_cast<unsigned>(padding));
      pack.insert(pack.end(), padding, 0xFF);
    }
    out.insert(out.end(), pack.begin(), pack.end());
    sent += chunk;
  }
  return out;
}

std::string Clock(int64_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld:%03lld",
                static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
  return text;
}

}  // namespace

std::array<uint32_t, 16> TestPalette() {
  return {0x000000, 0xffffff, 0xff0000, 0x00ff00, 0x0000ff, 0x101010, 0x202020, 0x303030,
          0x404040, 0x505050, 0x606060, 0x707070, 0x808080, 0x909090, 0xa0a0a0, 0xb0b0b0};
}

std::string TimestampLine(int64_t ms, size_t position) {
  char filepos[16];
  std::snprintf(filepos, sizeof filepos, "%09zx", position);
  return "timestamp: " + Clock(ms) + ", filepos: " + filepos + "\n";
}

std::vector<std::vector<size_t>> WriteVobSub(const std::string& base,
                                             const std::vector<VobSubTrack>& tracks,
                                             const std::array<uint32_t, 16>& palette, int delayMs,
                                             const VobSubLayout& layout) {
  std::ofstream sub(base + ".sub", std::ios::binary);
  std::ofstream idx(base + ".idx", std::ios::binary);
  idx << "# VobSub index file, v7 (do not modify this line!)\nsize: 720x480\npalette: ";
  for (size_t i = 0; i < palette.size(); ++i) {
    char colour[8];
    std::snprintf(colour, sizeof colour, "%06x", palette[i]);
    idx << colour << (i + 1 < palette.size() ? ", " : "\n");
  }
  std::vector<std::vector<size_t>> positions;
  size_t position = 0;
  for (const VobSubTrack& track : tracks) {
    positions.emplace_back();
    idx << "\nid: " << track.code << ", index: " << track.index << "\n";
    if (delayMs) idx << "delay: " << Clock(delayMs) << "\n";
    for (const VobSubPicture& picture : track.pictures) {
      const std::vector<uint8_t> packs =
          Packs(picture.subPicture.empty() ? EncodeSubPicture(picture) : picture.subPicture,
                track.index, picture.startMs * 90, layout);
      idx << TimestampLine(picture.startMs, position);
      positions.back().push_back(position);
      sub.write(reinterpret_cast<const char*>(packs.data()),
                static_cast<std::streamsize>(packs.size()));
      position += packs.size();
    }
  }
  return positions;
}

}  // namespace captivo::test
