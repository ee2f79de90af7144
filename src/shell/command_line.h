#pragma once

#include <optional>

namespace captivo {

// "captivo --help" and "captivo --version" print their answer on standard output and end
// the program with status 0, before any window; every other command line is left to the
// program (a FILE opens as if dropped). The exit status when the program must end now.
std::optional<int> AnswerInformationRequest(int argc, char** argv);

}  // namespace captivo
