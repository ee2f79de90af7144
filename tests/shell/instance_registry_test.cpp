#include "instance_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "test_processes.h"
#include "test_support.h"

namespace captivo {
namespace {

TEST(InstanceRegistry, SeesOnlyLiveInstancesOfOthers) {
  test::TempDir dir;
  const auto folder = dir.Path() / "running";
  InstanceRegistry self(folder);
  ASSERT_TRUE(self.Register());
  EXPECT_FALSE(self.AnotherInstanceRuns());  // our own registration does not count
  {
    test::ChildProcess other(test::HoldRegistration(folder.string()), /*waitForLine=*/true);
    EXPECT_TRUE(self.AnotherInstanceRuns());
  }
  // The other instance is gone (killed, not closed): its lock went with it.
  EXPECT_FALSE(self.AnotherInstanceRuns());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

TEST(InstanceRegistry, RefusesAFolderOthersCanWrite) {
  test::TempDir dir;
  const auto folder = dir.Path() / "open";
  std::filesystem::create_directories(folder);
  std::filesystem::permissions(folder, std::filesystem::perms::all);
  InstanceRegistry registry(folder);
  EXPECT_FALSE(registry.Register());
}

TEST(InstanceRegistry, AFifoNamedLikeAnEntryNeverBlocks) {
  test::TempDir dir;
  const auto folder = dir.Path() / "running";
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  ASSERT_EQ(::mkfifo((folder / "99999").c_str(), 0600), 0);
  const InstanceRegistry observer(folder);
  EXPECT_EQ(test::RunInChild([&] { return observer.AnotherInstanceRuns() ? 1 : 0; }), 0);
}

TEST(InstanceRegistry, LooksOnlyInAFolderThatIsPrivateAndOurs) {
  test::TempDir dir;
  const auto folder = dir.Path() / "running";
  test::ChildProcess other(test::HoldRegistration(folder.string()), /*waitForLine=*/true);
  const InstanceRegistry observer(folder);
  ASSERT_TRUE(observer.AnotherInstanceRuns());
  // Made open to others (as anyone could have made it first under /tmp): not used.
  std::filesystem::permissions(folder, std::filesystem::perms::all);
  EXPECT_FALSE(observer.AnotherInstanceRuns());
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  EXPECT_TRUE(observer.AnotherInstanceRuns());
  if (::geteuid() == 0) {  // only root can give the folder to another user
    ASSERT_EQ(::chown(folder.c_str(), 12345, 12345), 0);
    EXPECT_FALSE(observer.AnotherInstanceRuns());
    InstanceRegistry self(folder);
    EXPECT_FALSE(self.Register());
  }
}

TEST(EndStaleInstance, EndsOnlyAnotherProcessOfThisProgram) {
  test::TempDir dir;
  const InstanceRegistry registry(dir.Path() / "running");
  // An instance of this program registered elsewhere is not a main window of ours.
  test::ChildProcess instance(test::HoldRegistration((dir.Path() / "other").string()), true);
  // Waiting for its line makes sure the stranger runs another program already.
  test::ChildProcess stranger({"/bin/sh", "-c", "echo ready; exec sleep 30"}, true);
  EXPECT_FALSE(registry.EndStaleInstance(stranger.Pid()));  // a reused id: another program
  EXPECT_FALSE(registry.EndStaleInstance(::getpid()));
  EXPECT_FALSE(registry.EndStaleInstance(0));
  EXPECT_FALSE(registry.EndStaleInstance(-1));
  EXPECT_FALSE(registry.EndStaleInstance(1));  // not ours to end
  EXPECT_TRUE(registry.EndStaleInstance(instance.Pid()));
  EXPECT_TRUE(instance.WaitForEnd());
  EXPECT_TRUE(stranger.Alive());
}

TEST(EndStaleInstance, NeverEndsARegisteredInstance) {
  // The id recorded by an instance that closed now belongs to a live, registered one.
  test::TempDir dir;
  const auto folder = dir.Path() / "running";
  test::ChildProcess instance(test::HoldRegistration(folder.string()), true);
  const InstanceRegistry registry(folder);
  EXPECT_FALSE(registry.EndStaleInstance(instance.Pid()));
  EXPECT_TRUE(instance.Alive());
}

}  // namespace
}  // namespace captivo
