#include "vobsub_dump.h"

#include <cstdio>
#include <vector>

#include "escape_text.h"
#include "vobsub_set.h"

namespace captivo {

int DumpVobSub(const std::string& base) {
  vobsub::VobSubSet set;
  std::string out;
  auto errorLines = [&out](const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) out += "error\t" + EscapeText(problem) + '\n';
  };
  if (!set.Load(base)) {
    errorLines(set.Problems().Lines());
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 1;
  }
  out += "format\tvobsub\n";
  for (const auto& [index, language] : set.Languages()) {
    const std::string name = set.LanguageName(index);
    if (!name.empty() && name != "(Not detected)")
      out += "language\t" + std::to_string(index) + '\t' + EscapeText(name) + '\n';
  }
  std::vector<std::string> undecodable;
  vobsub::Bitmap bitmap;  // one block for every picture: big pictures are not mapped anew
  for (const auto& [index, language] : set.Languages()) {
    for (size_t i = 0; i < language.pictures.size(); ++i) {
      const vobsub::Picture& picture = language.pictures[i];
      std::string problem;
      if (!set.Decode(index, picture, bitmap, problem)) {
        undecodable.push_back(vobsub::DescribePicture(index, picture.start, picture.position) +
                              ": " + problem);
        continue;
      }
      const std::optional<int64_t> until = vobsub::DueUntil(language.pictures, i);
      out += "picture\t" + std::to_string(index) + '\t' + std::to_string(picture.start) + '\t' +
             (until ? std::to_string(*until) : "-") + '\t' + std::to_string(bitmap.left) + '\t' +
             std::to_string(bitmap.top) + '\t' + std::to_string(bitmap.right) + '\t' +
             std::to_string(bitmap.bottom) + '\n';
    }
  }
  errorLines(set.Problems().Lines());
  errorLines(undecodable);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace captivo
