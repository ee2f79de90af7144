#pragma once

#include <filesystem>

namespace captivo {

// The folders the program reads and writes.
struct ShellPlaces {
  // "set.ini" goes beside the program, unless its folder is a system folder or cannot be
  // written; else in the user's configuration folder.
  std::filesystem::path executableFolder;
  std::filesystem::path configFolder;
  std::filesystem::path runtimeFolder;  // the running instances' registrations
  std::filesystem::path stateFolder;    // what the program remembers between runs

  static ShellPlaces ForThisProcess();
};

}  // namespace captivo
