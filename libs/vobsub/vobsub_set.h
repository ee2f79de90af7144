#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bitmap.h"
#include "index_file.h"
#include "problem_log.h"
#include "regular_file.h"

namespace vobsub {

// What is kept of a picture between loading and showing: where its bytes are and when it
// is shown. Its bytes are read again when it must be drawn.
struct Picture {
  int64_t position;            // where its packets start in the ".sub"
  int64_t limit;               // no packet of it is looked for from here on
  int64_t start;               // milliseconds: timestamp, delay and the picture's start delay
  std::optional<int64_t> end;  // milliseconds, when the picture has an end of its own
  int32_t id;                  // unique across every set loaded in this run
};

struct Language {
  std::string code;               // as its "id:" line gives it: "en"
  std::vector<Picture> pictures;  // by start time
};

// A VobSub set (".idx" and ".sub" of one base name) as it is read: per language, its
// pictures' places and times. Whatever does not check out is skipped, logged, and the
// rest kept.
class VobSubSet {
 public:
  // Reads "<base>.idx" and looks at every picture in "<base>.sub"; false (and an empty
  // set) when either file cannot be opened as a regular file.
  bool Load(const std::string& base);
  // Languages by the index of their "id:" line; only those with timestamps are here.
  const std::map<int32_t, Language>& Languages() const { return languages_; }
  // The language's English name from its code, or "(Not detected)" when it has no picture.
  std::string LanguageName(int32_t index) const;
  // Reads the picture's bytes again and decodes them; false, with `problem`, when they
  // do not check out.
  bool Decode(int32_t language, const Picture& picture, Bitmap& bitmap, std::string& problem);
  // What was skipped while loading.
  const ProblemLog& Problems() const { return problems_; }

 private:
  bool ReadLayout(int32_t language, int64_t position, int64_t limit, SubPictureLayout& layout,
                  std::string& problem, int64_t& work);

  RegularFile sub_;
  std::optional<Palette> palette_;
  std::map<int32_t, Language> languages_;
  ProblemLog problems_;
  std::vector<uint8_t> bytes_;  // the sub-picture being read
};

// Names a picture in a problem: "picture of language 0 at 1000 ms (file position 0x800)".
std::string DescribePicture(int32_t language, int64_t milliseconds, int64_t position);

// When picture `i` stops being due: its end, else the next picture's start; nullopt for
// the last picture without an end, which stays due.
std::optional<int64_t> DueUntil(const std::vector<Picture>& pictures, size_t i);

// The picture due at `milliseconds` (the last one started by then, while it lasts), or
// nullopt.
std::optional<size_t> DueAt(const std::vector<Picture>& pictures, int64_t milliseconds);

}  // namespace vobsub
