#pragma once

// The bitmap subtitle library: reads a VobSub set (".idx" and ".sub" of one base name),
// keeps the chosen language, tells which picture is due at a time and hands out its pixels.
#include <cstdint>

extern "C" {

// Opens the set at `basePath` (the path without extension), replacing any set before.
void LoadVobSubFile(const char* basePath);
// The highest language index worth asking about; negative when there is none.
int32_t GetLangNum(void);
// The language's name into `name` (256 bytes); empty or "(Not detected)" for an index
// without a language.
void GetLangName(int32_t index, char* name);
void SetCurrentLang(int32_t index);
// Non-zero when a picture of the current language is due at `milliseconds`.
uint8_t GetFrame(int32_t milliseconds);
// Identifies the picture the last GetFrame found: the same picture gives the same value.
int32_t GetCurrentIndex(void);
// The current picture: `pixels` receives (right - left) x (bottom - top) pixels of four
// bytes (blue, green, red, opacity), rows from the top, no gaps; valid until the next
// GetFrame. `rect` receives left, top, right, bottom.
void GetDataPointer(uint8_t** pixels, int32_t* rect);
// The times of the current language's pictures in milliseconds, in the order they show:
// the first `capacity` starts and ends into `starts` and `ends` (a picture without an end
// of its own ends where the next one starts; the last such ends at its start). Returns
// how many pictures there are.
int32_t GetPictureTimes(int32_t* starts, int32_t* ends, int32_t capacity);

}  // extern "C"
