#include "line_reader.h"

#include <cstring>

#include "file_access.h"
#include "text_rules.h"

namespace captivo {

namespace {

constexpr size_t kBlockSize = 64 * 1024;
constexpr char kCtrlZ = 26;

const char* FindLineEnd(const char* p, const char* end) {
  for (; p < end; ++p)
    if (*p == '\r' || *p == '\n') return p;
  return end;
}

}  // namespace

LineReader::LineReader(const std::string& path) : path_(path), file_(OpenRegularFile(path)) {
  buffer_.resize(kBlockSize);
}

bool LineReader::Fill() {
  pos_ = end_ = 0;
  if (exhausted_) return false;
  const size_t n = ReadFully(file_.Get(), buffer_.data(), buffer_.size(), path_);
  end_ = n;
  if (!started_) {
    started_ = true;
    if (end_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
  }
  if (const void* z = std::memchr(buffer_.data() + pos_, kCtrlZ, end_ - pos_)) {
    end_ = static_cast<size_t>(static_cast<const char*>(z) - buffer_.data());
    exhausted_ = true;
  }
  if (n < buffer_.size()) exhausted_ = true;  // ReadFully stops short only at the end
  return pos_ < end_ || !exhausted_;
}

// Consumes the LF of a CR LF pair; false when the file has ended.
bool LineReader::SkipLineFeedAfterCr() {
  while (pos_ == end_)
    if (!Fill()) return false;
  if (afterCr_) {
    afterCr_ = false;
    if (buffer_[pos_] == '\n' && ++pos_ == end_) return SkipLineFeedAfterCr();
  }
  return true;
}

bool LineReader::AtEnd() {
  return !SkipLineFeedAfterCr();
}

bool LineReader::ReadNonEmptyLine(std::string_view& line) {
  while (ReadLine(line)) {
    line = Trim(line);
    if (!line.empty()) return true;
  }
  return false;
}

bool LineReader::TakeNonEmptyLine(std::string& line) {
  std::string_view found;
  if (!ReadNonEmptyLine(found)) return false;
  if (!carried_) {
    line.assign(found);
    return true;
  }
  // The line crossed blocks and is held whole in carry_: its storage changes hands
  // instead of being copied, and the caller's earlier storage is kept for the next one.
  const size_t offset = static_cast<size_t>(found.data() - carry_.data());
  carry_.resize(offset + found.size());
  carry_.erase(0, offset);
  line.swap(carry_);
  return true;
}

bool LineReader::ReadLine(std::string_view& line) {
  if (!SkipLineFeedAfterCr()) return false;
  carry_.clear();
  carried_ = false;
  for (;;) {
    const char* begin = buffer_.data() + pos_;
    const char* stop = buffer_.data() + end_;
    const char* found = FindLineEnd(begin, stop);
    if (found != stop) {
      pos_ = static_cast<size_t>(found - buffer_.data()) + 1;
      afterCr_ = *found == '\r';
      if (!carried_) {
        line = std::string_view(begin, static_cast<size_t>(found - begin));
      } else {
        carry_.append(begin, found);
        line = carry_;
      }
      return true;
    }
    carry_.append(begin, stop);
    carried_ = true;
    pos_ = end_;
    while (pos_ == end_) {
      if (!Fill()) {
        line = carry_;
        return true;
      }
    }
  }
}

}  // namespace captivo
