// Any bytes as "set.ini": reading never fails, and writing the two keys back keeps them
// readable whatever else the file holds.
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
  const captivo::Settings read = captivo::ReadSettingsFile(path);
  (void)read;
  captivo::WriteSettingsFile(path, false, 4242);
  const captivo::Settings back = captivo::ReadSettingsFile(path);
  if (back.onTop || back.lastProcess != 4242) __builtin_trap();
  return 0;
}
