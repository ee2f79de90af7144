#pragma once

#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

// A folder of the fuzzer's own for the files it writes, made once and removed with what it
// holds when the fuzzer exits.
inline const std::filesystem::path& FuzzFolder() {
  struct Folder {
    std::filesystem::path path;
    Folder() {
      std::string pattern =
          (std::filesystem::temp_directory_path() / "captivo-fuzz-XXXXXX").string();
      const char* made = ::mkdtemp(pattern.data());
      if (!made) {
        ::perror("captivo fuzzer: no folder of its own");
        ::abort();
      }
      path = made;
    }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Folder folder;
  return folder.path;
}
