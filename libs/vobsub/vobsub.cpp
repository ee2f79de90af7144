// The library's functions, as the program calls them.
#include "vobsub.h"

#include <cstring>

#include "subtitle_set.h"

namespace {
vobsub::SubtitleSet& set() {
  static vobsub::SubtitleSet subtitles;
  return subtitles;
}
}  // namespace

extern "C" {

void LoadVobSubFile(const char* basePath) {
  set().Load(basePath ? basePath : "");
}
int32_t GetLangNum(void) {
  return set().HighestLanguage();
}
void GetLangName(int32_t index, char* name) {
  const std::string text = set().LanguageName(index);
  std::strncpy(name, text.c_str(), 255);
  name[255] = '\0';
}
void SetCurrentLang(int32_t index) {
  set().SelectLanguage(index);
}
uint8_t GetFrame(int32_t milliseconds) {
  return set().Find(milliseconds) ? 1 : 0;
}
int32_t GetCurrentIndex(void) {
  return set().CurrentId();
}
void GetDataPointer(uint8_t** pixels, int32_t* rect) {
  set().CurrentPixels(pixels, rect);
}
int32_t GetPictureTimes(int32_t* starts, int32_t* ends, int32_t capacity) {
  return set().PictureTimes(starts, ends, capacity);
}

}  // extern "C"
