#include "fake_vobsub.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "vobsub.h"

namespace captivo::test {

FakeVobSub& VobSub() {
  static FakeVobSub vobsub;
  return vobsub;
}

std::vector<std::string> FakeVobSub::Take() {
  std::vector<std::string> taken;
  taken.swap(calls);
  return taken;
}

void FakeVobSub::DuePicture(int32_t pictureIndex, int width, int height, uint8_t b, uint8_t g,
                            uint8_t r, uint8_t alpha) {
  due = true;
  index = pictureIndex;
  pixels.clear();
  for (int i = 0; i < width * height; ++i) pixels.insert(pixels.end(), {b, g, r, alpha});
  const int32_t at[4] = {30, 400, 30 + width, 400 + height};
  std::copy(at, at + 4, rect);
}

}  // namespace captivo::test

using captivo::test::VobSub;

extern "C" {

void LoadVobSubFile(const char* basePath) {
  VobSub().calls.push_back(std::string("LoadVobSubFile ") + basePath);
}
int32_t GetLangNum(void) {
  VobSub().calls.push_back("GetLangNum");
  return static_cast<int32_t>(VobSub().languages.size()) - 1;
}
void GetLangName(int32_t index, char* name) {
  VobSub().calls.push_back("GetLangName " + std::to_string(index));
  std::strncpy(name, VobSub().languages.at(static_cast<size_t>(index)).c_str(), 255);
  name[255] = '\0';
}
void SetCurrentLang(int32_t index) {
  VobSub().calls.push_back("SetCurrentLang " + std::to_string(index));
}
uint8_t GetFrame(int32_t milliseconds) {
  VobSub().calls.push_back("GetFrame " + std::to_string(milliseconds));
  return VobSub().due;
}
int32_t GetCurrentIndex(void) {
  VobSub().calls.push_back("GetCurrentIndex");
  return VobSub().index;
}
void GetDataPointer(uint8_t** pixels, int32_t* rect) {
  VobSub().calls.push_back("GetDataPointer");
  *pixels = VobSub().pixels.data();
  std::memcpy(rect, VobSub().rect, sizeof VobSub().rect);
}
int32_t GetPictureTimes(int32_t* starts, int32_t* ends, int32_t capacity) {
  const auto& times = VobSub().times;
  for (size_t i = 0; i < times.size() && int64_t(i) < capacity; ++i)
    std::tie(starts[i], ends[i]) = times[i];
  return int32_t(times.size());
}

}  // extern "C"
