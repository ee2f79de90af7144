#pragma once

#include <string>

namespace captivo {

// Prints the set at `base`: its format, the languages the program would list, every
// picture of every language (decoded) and what was skipped. Gives the exit status: 0
// when the set was read, 1 when it could not be opened.
int DumpVobSub(const std::string& base);

}  // namespace captivo
