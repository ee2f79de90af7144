#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "file_access.h"

namespace captivo {

// Where the converted copy of a UTF-16 subtitle file may go, in order: the executable's
// folder, unless it is a system folder, then the user's cache folder.
std::vector<std::filesystem::path> TempSubtitleFolders(
    const std::filesystem::path& executableFolder, const std::filesystem::path& cacheFolder);
// The same for this process: its executable's folder, and $XDG_CACHE_HOME/captivo.
std::vector<std::filesystem::path> TempSubtitleFolders();

// Converts the UTF-16 text that follows the byte-order mark in `source` (positioned just
// after it) to UTF-8 in a file of its own, "tmpsub" and a unique ending, in the first
// folder where one can be created; the file goes when the result goes. The text is read
// in blocks of 2048 bytes; a surrogate pair split between blocks stays whole, an unpaired
// half becomes U+FFFD and a trailing odd byte is dropped. The file is created afresh
// (mode 0600, never an existing file or link), so loads running at once, in this program
// or in several, never read each other's text. FileError "Cannot create file %s" when no
// folder takes it.
TemporaryFile ConvertUtf16File(int source, const std::string& sourcePath, bool bigEndian,
                               const std::vector<std::filesystem::path>& folders);

}  // namespace captivo
