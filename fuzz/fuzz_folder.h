#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

// A folder of the fuzzer's own for the files it writes, made once.
inline const std::filesystem::path& FuzzFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "captivo-fuzz-XXXXXX").string();
    return std::filesystem::path(::mkdtemp(pattern.data()));
  }();
  return folder;
}
