#include "line_reader.h"

#include "text_rules.h"

namespace captivo {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

LineReader::LineReader(std::string_view bytes) : rest_(bytes) {
  if (rest_.starts_with(kUtf8Mark)) rest_.remove_prefix(kUtf8Mark.size());
}

bool LineReader::ReadLine(std::string_view& line) {
  if (AtEnd()) return false;
  const char* begin = rest_.data();
  const char* end = begin + rest_.size();
  const char* p = begin;
  while (p < end && *p != '\r' && *p != '\n' && *p != kCtrlZ) ++p;
  line = std::string_view(begin, static_cast<size_t>(p - begin));
  if (p < end && *p == kCtrlZ) {  // the end of the file: nothing after it is read
    rest_ = {};
    return true;
  }
  if (p < end) {
    const bool carriageReturn = *p++ == '\r';
    if (carriageReturn && p < end && *p == '\n') ++p;  // CR LF is one line end
  }
  rest_ = std::string_view(p, static_cast<size_t>(end - p));
  return true;
}

bool LineReader::ReadNonEmptyLine(std::string_view& line) {
  while (ReadLine(line)) {
    line = Trim(line);
    if (!line.empty()) return true;
  }
  return false;
}

}  // namespace captivo
