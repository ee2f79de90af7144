#pragma once

#include <filesystem>

namespace captivo {

// The folder that holds the running executable.
std::filesystem::path ExecutableFolder();

// True for a folder where installed programs live: /usr (with /usr/local) and /opt, and
// any folder below them. The program never writes there, not even when run by root.
bool IsSystemFolder(const std::filesystem::path& folder);

// The user's folder of a kind, for this program: $<variable>/captivo when the variable
// is set to an absolute path, else ~/<fallback>/captivo ("XDG_CACHE_HOME", ".cache").
std::filesystem::path UserFolder(const char* variable, const char* fallback);

}  // namespace captivo
