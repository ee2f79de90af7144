#pragma once

#include <filesystem>
#include <vector>

namespace captivo {

// The folders the program reads and writes.
struct ShellPlaces {
  std::filesystem::path executableFolder;  // "set.ini" and "tmpsub" beside the program
  std::filesystem::path configFolder;      // "set.ini" when the program's folder is not ours
  std::filesystem::path cacheFolder;       // "tmpsub" when the program's folder is not ours
  std::filesystem::path runtimeFolder;     // the running instances' registrations

  static ShellPlaces ForThisProcess();
  std::vector<std::filesystem::path> TempSubtitleFolders() const {
    return {executableFolder, cacheFolder};
  }
};

}  // namespace captivo
