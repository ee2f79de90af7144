#pragma once

#include <optional>
#include <string>

namespace captivo {

// The base path (without extension) when `path` names a VobSub set as the program
// decides: ".idx", ".ifo" or ".sub" in any case, with an ".idx" and a ".sub" of its name
// beside it as regular files.
std::optional<std::string> VobSubBase(const std::string& path);

// Prints the set at `base`: its format, the languages the program would list, every
// picture of every language (decoded) and what was skipped. Gives the exit status: 0
// when the set was read, 1 when it could not be opened.
int DumpVobSub(const std::string& base);

}  // namespace captivo
