#pragma once

#include <string>
#include <vector>

namespace captivo {

// captivo-sub sync MOVIE SUBTITLE [--reference SECOND] [--save OUT]: solves the offset,
// rate and cut that lay SUBTITLE's lines on MOVIE's speech (or on SECOND's lines) and
// prints them; with --save, writes the subtitle so timed to OUT, SubRip or (".vtt")
// WebVTT, never over a file there. `arguments` are those after "sync". Gives the exit
// status: 0 solved (and saved), 1 not, 2 a usage error.
int SyncCommand(const std::vector<std::string>& arguments);

}  // namespace captivo
