#pragma once

#include <filesystem>
#include <vector>

namespace captivo {

// The folders the program reads and writes.
struct ShellPlaces {
  // "set.ini" and the converted copies of UTF-16 subtitle files go beside the program,
  // unless its folder is a system folder or cannot be written; else in the user's
  // configuration and cache folders.
  std::filesystem::path executableFolder;
  std::filesystem::path configFolder;
  std::filesystem::path cacheFolder;
  std::filesystem::path runtimeFolder;  // the running instances' registrations
  std::filesystem::path stateFolder;    // what the program remembers between runs

  static ShellPlaces ForThisProcess();
  std::vector<std::filesystem::path> TempSubtitleFolders() const;
};

}  // namespace captivo
