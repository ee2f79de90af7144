#include "exclusive_change.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <set>

#include "remembered_timing.h"
#include "settings.h"
#include "test_processes.h"
#include "test_support.h"

namespace captivo {
namespace {

using std::chrono::milliseconds;

// Another process in the middle of a change of `path`: it holds the lock until released.
class LockHolder {
 public:
  explicit LockHolder(const std::filesystem::path& path) {
    int held[2], release[2];
    if (::pipe(held) != 0 || ::pipe(release) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(held[0]);
      ::close(release[1]);
      // Says so once it holds the lock, then holds it until the parent releases it or is
      // gone; a child that cannot take it ends, which the parent reads as its pipe's end.
      ChangeExclusively(path, milliseconds(0), [&] {
        char c = 'y';
        return ::write(held[1], &c, 1) == 1 && ::read(release[0], &c, 1) >= 0;
      });
      ::_exit(0);
    }
    ::close(held[1]);
    ::close(release[0]);
    release_ = release[1];
    char answer = 'n';
    holding_ = ::read(held[0], &answer, 1) == 1 && answer == 'y';
    ::close(held[0]);
  }
  ~LockHolder() { Release(); }
  bool Holding() const { return holding_; }
  void Release() {
    if (release_ >= 0) ::close(release_);
    release_ = -1;
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool holding_ = false;
};

// The names in `folder`.
std::set<std::string> Names(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

constexpr milliseconds kShortWait{20};

// A write of each file the program changes, waiting `patience` for other writers: true when
// it is made. `padding`, added to the file, makes its rewrite larger than 1 KiB.
struct Writer {
  const char* file;
  const char* contents;
  std::string padding;
  std::function<bool(const std::filesystem::path&, milliseconds)> write;
};

const Writer kWriters[] = {
    {"timing", "captivo timing 1\nold.mkv\t1\told.srt\t0\t2\t25\t0\n",
     std::string(2000, 'p') + "\t1\tpad.srt\t0\t2\t25\t0\n",
     [](const std::filesystem::path& path, milliseconds patience) {
       return TimingMemory(path, patience)
           .Remember(
               {"new.mkv", 1, "new.srt", 0, 2, 25, 0, std::nullopt, std::nullopt, std::nullopt});
     }},
    {"set.ini", "[Setting]\nOnTop=1\n", "; " + std::string(2000, 'p') + "\n",
     [](const std::filesystem::path& path, milliseconds patience) {
       try {
         Settings settings;
         settings.onTop = false;
         settings.lastProcess = 7;
         settings.volume = 50;
         WriteSettingsFile(path, ReadSettingsFile(path), settings, patience);
       } catch (const SettingsWriteError&) {
         return false;
       }
       return true;
     }},
};

TEST(ExclusiveChange, AChangeWaitsForAHeldLockOnlyAsLongAsItMay) {
  for (const Writer& writer : kWriters) {
    test::TempDir dir;
    const std::filesystem::path path = dir.Write(writer.file, writer.contents);
    LockHolder holder(path);
    ASSERT_TRUE(holder.Holding()) << writer.file;
    bool ran = false;
    EXPECT_FALSE(ChangeExclusively(path, kShortWait, [&] { return ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_FALSE(writer.write(path, kShortWait)) << writer.file;
    EXPECT_EQ(test::FileContents(path), writer.contents) << writer.file;
    holder.Release();
    EXPECT_TRUE(writer.write(path, kShortWait)) << writer.file;
    EXPECT_NE(test::FileContents(path), writer.contents) << writer.file;
  }
}

TEST(ExclusiveChange, AWriterKilledBeforeItsRenameLeavesWhatTheNextWriteRemoves) {
  for (const Writer& writer : kWriters) {
    test::TempDir dir;
    const std::string name = writer.file, contents = writer.contents + writer.padding;
    const std::filesystem::path path = dir.Write(name, contents);
    // Names that are not those of the program's temporary files of this file: kept.
    const std::string decoys[] = {name + ".backup", name + ".writing-abcde",
                                  name + ".writing-abcdefg", name + ".writing-abc_ef",
                                  "other.writing-abcdef"};
    for (const std::string& decoy : decoys) dir.Write(decoy, "kept");
    std::filesystem::create_directory(dir.Path() / (name + ".writing-folder"));
    std::set<std::string> kept(std::begin(decoys), std::end(decoys));
    kept.insert({name, name + ".lock", name + ".writing-folder"});

    // The child's files may not grow beyond 1 KiB: its rewrite, larger, ends it with
    // SIGXFSZ after the temporary file is made and before its rename.
    const pid_t child = ::fork();
    if (child == 0) {
      const rlimit noCore{0, 0}, small{1024, 1024};
      ::setrlimit(RLIMIT_CORE, &noCore);
      ::setrlimit(RLIMIT_FSIZE, &small);
      writer.write(path, kShortWait);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << name;
    EXPECT_EQ(test::FileContents(path), contents) << name;
    std::vector<std::string> left;
    for (const std::string& found : Names(dir.Path()))
      if (!kept.contains(found)) left.push_back(found);
    ASSERT_EQ(left.size(), 1u) << name;
    EXPECT_EQ(left[0].rfind(name + ".writing-", 0), 0u);
    EXPECT_EQ(std::filesystem::file_size(dir.Path() / left[0]), 1024u);

    // The killed writer's lock went with it: the next write is made, and removes what it left.
    EXPECT_TRUE(writer.write(path, kShortWait)) << name;
    EXPECT_EQ(Names(dir.Path()), kept) << name;
    EXPECT_NE(test::FileContents(path), contents) << name;
  }
}

TEST(ExclusiveChange, ALockNameTakenByWhatIsNotAFileFailsTheChange) {
  test::TempDir dir;
  const auto path = dir.Path() / "timing";
  const auto lock = dir.Path() / "timing.lock";
  auto fails = [&] {
    bool ran = false;
    return !ChangeExclusively(path, kShortWait, [&] { return ran = true; }) && !ran;
  };
  std::filesystem::create_directory(lock);
  EXPECT_TRUE(fails());
  std::filesystem::remove(lock);
  ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0);
  EXPECT_EQ(test::RunInChild([&] { return fails() ? 0 : 1; }), 0);  // never blocks
  std::filesystem::remove(lock);
  dir.Write("elsewhere", "");
  std::filesystem::create_symlink(dir.Path() / "elsewhere", lock);
  EXPECT_TRUE(fails());
  EXPECT_EQ(test::FileContents(dir.Path() / "elsewhere"), "");
}

}  // namespace
}  // namespace captivo
