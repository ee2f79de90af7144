#include "vobsub_set.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "language_names.h"
#include "program_stream.h"

namespace vobsub {

namespace {

// How far past its position a picture's packets are looked for: a sub-picture holds at
// most 64 KiB, in 2 KiB packs that other languages' packs may come between.
constexpr int64_t kScanLimit = 256 * 1024;
// What loading may spend on the ".sub", in bytes scanned (see ReadSubPicture), as a
// multiple of its size: a real set needs about once for its pictures and a little for
// each language whose packs lie between theirs; more means the file is mostly junk.
constexpr int64_t kWorkPerByte = 4;
constexpr int64_t kWorkAtLeast = 16 << 20;

int32_t nextId = 0;

}  // namespace

bool VobSubSet::Load(const std::string& base) {
  languages_.clear();
  problems_.Clear();
  palette_.reset();
  RegularFile idx;
  for (const auto& [file, extension] : {std::pair(&idx, ".idx"), std::pair(&sub_, ".sub")})
    if (!file->Open(base + extension)) {
      sub_.Close();
      problems_.Add("cannot open " + base + extension + " as a regular file");
      return false;
    }
  IndexFile index = ReadIndex(idx, problems_);
  palette_ = index.palette;
  const std::vector<IndexEntry>& entries = index.entries;

  // Entries by language and file position, so that every place is read once however
  // often the index names it, and each picture's packets end where its language's next
  // picture starts.
  std::vector<uint32_t> order(entries.size());
  std::iota(order.begin(), order.end(), 0u);
  auto place = [&](uint32_t i) { return std::pair(entries[i].language, entries[i].filePosition); };
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return place(a) < place(b); });
  std::map<int32_t, size_t> counts;  // so that no language's list grows past its need
  for (const IndexEntry& entry : entries) ++counts[entry.language];
  for (const auto& [language, count] : counts) {
    languages_[language].code = index.codes[language];
    languages_[language].pictures.reserve(count);
  }
  const int64_t budget = kWorkPerByte * sub_.Size() + kWorkAtLeast;
  int64_t work = 0;
  for (size_t first = 0, next; first < order.size(); first = next) {
    if (work > budget) {
      problems_.AddLast(std::to_string(order.size() - first) +
                        " pictures not looked for: the .sub holds too much that is no picture");
      break;
    }
    const IndexEntry& entry = entries[order[first]];
    for (next = first + 1; next < order.size() && place(order[next]) == place(order[first]);)
      ++next;
    int64_t limit = std::min(sub_.Size(), entry.filePosition + kScanLimit);
    if (next < order.size() && entries[order[next]].language == entry.language)
      limit = std::min(limit, entries[order[next]].filePosition);
    SubPictureLayout layout;
    std::string problem;
    const bool readable =
        ReadLayout(entry.language, entry.filePosition, limit, layout, problem, work);
    Language& language = languages_[entry.language];
    for (size_t k = first; k < next; ++k) {
      const IndexEntry& same = entries[order[k]];
      if (!readable) {
        problems_.Add(DescribePicture(same.language, same.milliseconds, same.filePosition) + ": " +
                      problem);
        continue;
      }
      const std::optional<int64_t> end =
          layout.stopDelay < 0 ? std::nullopt : std::optional(same.milliseconds + layout.stopDelay);
      language.pictures.push_back(
          {same.filePosition, limit, same.milliseconds + layout.startDelay, end, nextId++});
    }
  }
  for (auto& [index, language] : languages_)
    std::stable_sort(language.pictures.begin(), language.pictures.end(),
                     [](const Picture& a, const Picture& b) { return a.start < b.start; });
  sub_.Forget();
  return true;
}

bool VobSubSet::ReadLayout(int32_t language, int64_t position, int64_t limit,
                           SubPictureLayout& layout, std::string& problem, int64_t& work) {
  return ReadSubPicture(sub_, position, limit, language, bytes_, problem, work) &&
         ParseSubPicture(bytes_, layout, problem);
}

bool VobSubSet::Decode(int32_t language, const Picture& picture, Bitmap& bitmap,
                       std::string& problem) {
  sub_.Forget();  // the file may have changed since it was loaded
  SubPictureLayout layout;
  int64_t work = 0;  // one picture's search is bounded by its limit
  return ReadLayout(language, picture.position, picture.limit, layout, problem, work) &&
         DecodeBitmap(bytes_, layout, palette_, bitmap, problem);
}

std::string VobSubSet::LanguageName(int32_t index) const {
  const auto found = languages_.find(index);
  if (found == languages_.end() || found->second.pictures.empty()) return "(Not detected)";
  return captivo::LanguageName(found->second.code);
}

std::string DescribePicture(int32_t language, int64_t milliseconds, int64_t position) {
  char hex[32];
  std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(position));
  return "picture of language " + std::to_string(language) + " at " + std::to_string(milliseconds) +
         " ms (file position 0x" + hex + ")";
}

std::optional<int64_t> DueUntil(const std::vector<Picture>& pictures, size_t i) {
  if (pictures[i].end) return pictures[i].end;
  if (i + 1 < pictures.size()) return pictures[i + 1].start;
  return std::nullopt;
}

std::optional<size_t> DueAt(const std::vector<Picture>& pictures, int64_t milliseconds) {
  const auto after =
      std::upper_bound(pictures.begin(), pictures.end(), milliseconds,
                       [](int64_t time, const Picture& picture) { return time < picture.start; });
  if (after == pictures.begin()) return std::nullopt;
  const size_t i = static_cast<size_t>(after - pictures.begin()) - 1;
  const std::optional<int64_t> until = DueUntil(pictures, i);
  if (until && milliseconds >= *until) return std::nullopt;
  return i;
}

}  // namespace vobsub
