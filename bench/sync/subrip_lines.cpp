#include "subrip_lines.h"

#include <iconv.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace captivo::bench {

namespace {

std::string ToUtf8(const std::string& bytes, const std::string& codePage) {
  iconv_t converter = iconv_open("UTF-8", codePage.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error("no code page " + codePage);
  std::string out(bytes.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size(), outLeft = out.size();
  char* outPtr = out.data();
  const size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) throw std::runtime_error("not " + codePage);
  out.resize(out.size() - outLeft);
  return out;
}

std::string Time(int64_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld,%03lld",
                static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
  return text;
}

}  // namespace

std::vector<TimedLine> ReadSubRipLines(const std::string& path, const std::string& codePage) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  std::stringstream bytes;
  bytes << file.rdbuf();
  std::string text = ToUtf8(bytes.str(), codePage);
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  static const std::regex timing(
      R"((\d+):(\d+):(\d+)[,.](\d+)\s*-->\s*(\d+):(\d+):(\d+)[,.](\d+))");
  std::vector<TimedLine> lines;
  std::istringstream stream(text);
  std::string line;
  bool inText = false;
  while (std::getline(stream, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::smatch m;
    if (std::regex_search(line, m, timing)) {
      auto ms = [&](int first) {
        return ((std::stoll(m[first]) * 60 + std::stoll(m[first + 1])) * 60 +
                std::stoll(m[first + 2])) *
                   1000 +
               std::stoll(m[first + 3]);
      };
      lines.push_back({ms(1), ms(5), {}});
      inText = true;
    } else if (line.find_first_not_of(" \t") == std::string::npos) {
      inText = false;
    } else if (inText) {
      std::string& body = lines.back().text;
      body += (body.empty() ? "" : "\n") + line;
    }
  }
  return lines;
}

std::string SubRipText(const std::vector<TimedLine>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i)
    out += std::to_string(i + 1) + "\n" + Time(lines[i].startMs) + " --> " + Time(lines[i].endMs) +
           "\n" + lines[i].text + "\n\n";
  return out;
}

}  // namespace captivo::bench
