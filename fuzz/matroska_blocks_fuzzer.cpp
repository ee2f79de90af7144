// Any bytes as a Matroska file, the first four giving where a block of the track lies: its
// blocks are found, each read back and split into its frames, which must lie in bounds.
#include <cstdint>
#include <cstring>
#include <fstream>

#include "fuzz_folder.h"
#include "matroska_blocks.h"

namespace {
constexpr size_t kMostBlocksRead = 256;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  uint32_t known;
  std::memcpy(&known, data, 4);
  const std::string path = (FuzzFolder() / "movie.mkv").string();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(data + 4), static_cast<std::streamsize>(size - 4));
  const auto blocks = speech::MatroskaBlocks::Find(path, known, [] { return true; });
  if (!blocks) return 0;
  speech::BlockFile file(path);
  for (size_t i = 0; i < blocks->Blocks().size() && i < kMostBlocksRead; ++i) {
    const auto frames = speech::BlockFrames(file.Read(blocks->Blocks()[i]));
    if (!frames) continue;
    volatile uint8_t sum = 0;
    for (const auto& frame : *frames)
      for (const uint8_t b : frame) sum = static_cast<uint8_t>(sum + b);
  }
  return 0;
}
