#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace captivo::test {

// The bitmap subtitle library's functions, recorded; answers are set here.
struct FakeVobSub {
  std::vector<std::string> calls;
  std::vector<std::string> languages;  // GetLangName's answers by index
  bool due = false;                    // what GetFrame answers
  int32_t index = 0;                   // what GetCurrentIndex answers
  std::vector<uint8_t> pixels;         // the picture handed out
  int32_t rect[4] = {0, 0, 0, 0};
  std::vector<std::pair<int32_t, int32_t>> times;  // GetPictureTimes' pictures

  std::vector<std::string> Take();
  // A picture of one colour (blue, green, red, opacity) due from now on, as the library
  // hands it out.
  void DuePicture(int32_t pictureIndex, int width, int height, uint8_t b, uint8_t g, uint8_t r,
                  uint8_t alpha);
};

FakeVobSub& VobSub();

}  // namespace captivo::test
