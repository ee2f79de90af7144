#include "text_encoding.h"

#include <unicode/ucsdet.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

namespace captivo {

namespace {

// Enough text for the detector's statistics; a 100 MB file costs no more than a small one.
constexpr size_t kSampleBytes = 256 * 1024;
// ICU's confidence runs from 0 to 100, and 10 is what it gives a guess with no evidence
// (UTF-16 for any 8-bit text). Any higher threshold only lost right answers on the pages of
// a charset-detection suite in 18 code pages (113 of 138 right at 11, 96 at 30), and no
// Western page was read wrong at any: a file's letters are short evidence.
constexpr int32_t kLeastConfidence = 11;

// ICU names an ISO page when no byte of 0x80-0x9F occurs; subtitle files are written
// with the Windows pages, which hold the same letters there and more (CP949 likewise
// holds EUC-KR), so the Windows page reads every such file at least as well.
constexpr std::pair<std::string_view, const char*> kWindowsPages[] = {
    {"ISO-8859-1", "windows-1252"}, {"ISO-8859-7", "windows-1253"},
    {"ISO-8859-8", "windows-1255"}, {"ISO-8859-8-I", "windows-1255"},
    {"ISO-8859-9", "windows-1254"}, {"EUC-KR", "windows-949"},
};

bool IsUnicodeName(std::string_view name) {
  return name.substr(0, 3) == "UTF" || name.substr(0, 3) == "utf";
}

// The byte count of the UTF-8 sequence starting at `bytes[i]`, or 0 when it is not one.
size_t Utf8SequenceAt(std::string_view bytes, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = byte(i);
  size_t length;
  char32_t least;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, least = 0x10000;
  } else {
    return 0;
  }
  if (bytes.size() - i < length) return 0;
  char32_t c = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    c = c << 6 | (byte(i + k) & 0x3F);
  }
  const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
  return c >= least && c <= 0x10FFFF && !surrogate ? length : 0;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    // Eight ASCII bytes at a time: most of a subtitle file, even in other scripts, is
    // digits, times and spaces.
    uint64_t eight;
    if (bytes.size() - i >= sizeof eight) {
      std::memcpy(&eight, bytes.data() + i, sizeof eight);
      if ((eight & 0x8080808080808080u) == 0) {
        i += sizeof eight;
        continue;
      }
    }
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const size_t length = Utf8SequenceAt(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string DetectLegacyEncoding(std::string_view bytes) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status),
                                                                      ucsdet_close);
  if (U_FAILURE(status)) return {};
  // Markup (<i>, <font ...>) is letters of no language: the detector passes over it.
  ucsdet_enableInputFilter(detector.get(), true);
  const auto sample = static_cast<int32_t>(std::min(bytes.size(), kSampleBytes));
  ucsdet_setText(detector.get(), bytes.data(), sample, &status);
  const UCharsetMatch* match = ucsdet_detect(detector.get(), &status);
  if (U_FAILURE(status) || !match) return {};
  const char* name = ucsdet_getName(match, &status);
  const int32_t confidence = ucsdet_getConfidence(match, &status);
  if (U_FAILURE(status) || !name || confidence < kLeastConfidence || IsUnicodeName(name)) return {};
  for (const auto& [iso, windows] : kWindowsPages)
    if (name == iso) return windows;
  return name;
}

bool IsLegacyEncoding(std::string_view name) {
  return !name.empty() && !IsUnicodeName(name);
}

std::string TextEncodingOf(std::string_view bytes) {
  return IsValidUtf8(bytes) ? kUtf8 : DetectLegacyEncoding(bytes);
}

}  // namespace captivo
