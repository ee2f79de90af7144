#pragma once

#include <filesystem>

namespace captivo {

// The folder that holds the running executable.
std::filesystem::path ExecutableFolder();

// The user's folder of a kind, for this program: $<variable>/captivo when the variable
// is set to an absolute path, else ~/<fallback>/captivo ("XDG_CACHE_HOME", ".cache").
std::filesystem::path UserFolder(const char* variable, const char* fallback);

}  // namespace captivo
