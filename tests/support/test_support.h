#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "message_sink.h"
#include "subtitle_store.h"

namespace captivo::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& Path() const { return path_; }
  // Writes `bytes` to a file of that name in the folder (making the folders in the name)
  // and gives its path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// Every byte of the file, or nothing when it cannot be read.
std::string FileContents(const std::filesystem::path& path);

struct RecordedMessage {
  std::string title, text;
  MessageIcon icon;
  bool operator==(const RecordedMessage&) const = default;
};

class RecordingSink : public MessageSink {
 public:
  std::vector<RecordedMessage> messages;
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
    messages.push_back({title, text, icon});
  }
};

struct Entry {
  int32_t start, end;
  std::string text;
  bool operator==(const Entry&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Entry& entry);

std::vector<Entry> EntriesOf(const SubtitleStore& store);

// An entry at its exact times, in milliseconds.
struct ExactEntry {
  int64_t startMs, endMs;
  std::string text;
  bool operator==(const ExactEntry&) const = default;
};
std::ostream& operator<<(std::ostream& out, const ExactEntry& entry);

std::vector<ExactEntry> ExactEntriesOf(const SubtitleStore& store);

std::string TestDataFile(const std::string& name);  // empty when the shared data is missing
// A folder of the shared test data, such as "hostile/text"; empty when it is missing.
std::filesystem::path TestDataFolder(const std::string& name);

}  // namespace captivo::test
