#pragma once

// A window playing a movie, and subtitle files to time against it.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "fake_movix.h"
#include "window_fixture.h"

namespace captivo::test {

using Calls = std::vector<std::string>;

inline bool Called(const Calls& calls, const std::string& call) {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

// A window playing a movie of `frames` frames at `rate` thousandths of a frame a second.
struct Playing : WindowFixture {
  explicit Playing(int32_t rate = 25000, int32_t frames = 90000, const std::string& settings = {})
      : WindowFixture(settings) {
    Movix() = FakeMovix();
    Movix().frameRate = rate;
    Movix().duration = frames;
    OpenMovie("film.avi");
  }
  int Offset() const { return fmSynchronize->Offset(); }
};

// An SRT whose lines start at `starts` seconds, each shown for a second, "line N" each.
inline std::string Srt(std::initializer_list<int> starts) {
  std::string out;
  int index = 0;
  for (int start : starts) {
    ++index;
    char block[96];
    std::snprintf(block, sizeof block, "%d\n%02d:%02d:%02d,000 --> %02d:%02d:%02d,000\nline %d\n\n",
                  index, start / 3600, start / 60 % 60, start % 60, (start + 1) / 3600,
                  (start + 1) / 60 % 60, (start + 1) % 60, index);
    out += block;
  }
  return out;
}

}  // namespace captivo::test
