// Any bytes as "set.ini": reading never fails, and a close writes back readable whatever
// else the file holds: every key when the instance changed them all (inputs of even
// length), or the values it read and its Handle when it changed nothing (odd length).
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

#include "fuzz_folder.h"
#include "settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto path = FuzzFolder() / "set.ini";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  const captivo::Settings atStart = captivo::ReadSettingsFile(path);
  captivo::Settings now = atStart;
  now.lastProcess = 4242;
  if (size % 2 == 0) {
    now.onTop = !atStart.onTop;
    now.volume = (atStart.volume + 37) % 101;
    now.muted = !atStart.muted;
  }
  captivo::WriteSettingsFile(path, atStart, now);
  const captivo::Settings back = captivo::ReadSettingsFile(path);
  if (back.onTop != now.onTop || back.lastProcess != now.lastProcess || back.volume != now.volume ||
      back.muted != now.muted)
    __builtin_trap();
  return 0;
}
