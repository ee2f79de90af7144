#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace captivo {

// Where the converted copy of a UTF-16 subtitle file may go, in order: the executable's
// folder, unless it is a system folder, then the user's cache folder.
std::vector<std::filesystem::path> TempSubtitleFolders(
    const std::filesystem::path& executableFolder, const std::filesystem::path& cacheFolder);
// The same for this process: its executable's folder, and $XDG_CACHE_HOME/captivo.
std::vector<std::filesystem::path> TempSubtitleFolders();

// Converts the UTF-16 text that follows the byte-order mark in `source` (positioned just
// after it) to UTF-8 in "tmpsub" in the first folder where it can be created, and gives
// that file's path. The text is read in blocks of 2048 bytes; a surrogate pair split
// between blocks stays whole, an unpaired half becomes U+FFFD and a trailing odd byte is
// dropped. The file is written beside and then renamed over "tmpsub", so a symbolic link
// of that name is replaced, never followed. FileError "Cannot create file %s" when no
// folder takes it.
std::string ConvertUtf16File(int source, const std::string& sourcePath, bool bigEndian,
                             const std::vector<std::filesystem::path>& folders);

}  // namespace captivo
