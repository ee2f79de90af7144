#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace captivo::test {

// The movie library's functions, recorded: each call is kept as its name and arguments,
// and the getters answer the values set here.
struct FakeMovix {
  std::vector<std::string> calls;
  int playResult = 0;  // what PlayFile returns: non-zero for a file that cannot play
  int32_t frameRate = 25000;
  int32_t duration = 0;
  int32_t width = 0, height = 0;
  int32_t position = 0;
  void* panel = nullptr;
  void* fullScreenWindow = nullptr;  // what GetFullScreenWindow answers

  // Calls recorded since the last Take, and forgets them.
  std::vector<std::string> Take();
};

FakeMovix& Movix();

}  // namespace captivo::test
