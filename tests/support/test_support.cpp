#include "test_support.h"

#include <stdlib.h>

#include <fstream>
#include <ostream>
#include <sstream>

namespace captivo::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "captivo-test-XXXXXX").string();
  path_ = ::mkdtemp(pattern.data());
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  const std::filesystem::path file = path_ / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
  return file.string();
}

std::string FileContents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
  return out << "{" << entry.start << ", " << entry.end << ", \"" << entry.text << "\"}";
}

std::vector<Entry> EntriesOf(const SubtitleStore& store) {
  std::vector<Entry> entries;
  for (size_t i = 0; i < store.Count(); ++i)
    entries.push_back({store.StartTime(i), store.EndTime(i), std::string(store.Text(i))});
  return entries;
}

std::ostream& operator<<(std::ostream& out, const ExactEntry& entry) {
  return out << entry.startMs << "-" << entry.endMs << " \"" << entry.text << "\"";
}

std::vector<ExactEntry> ExactEntriesOf(const SubtitleStore& store) {
  std::vector<ExactEntry> entries;
  for (size_t i = 0; i < store.Count(); ++i)
    entries.push_back({store.ExactStartMs(i), store.ExactEndMs(i), std::string(store.Text(i))});
  return entries;
}

std::string TestDataFile(const std::string& name) {
  const std::filesystem::path file =
      std::filesystem::path(CAPTIVO_TESTDATA_DIR) / "subtitles" / name;
  return std::filesystem::exists(file) ? file.string() : std::string();
}

std::filesystem::path TestDataFolder(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(CAPTIVO_TESTDATA_DIR) / name;
  return std::filesystem::is_directory(folder) ? folder : std::filesystem::path();
}

}  // namespace captivo::test
