#include "instance_registry.h"

#include <gtest/gtest.h>

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

TEST(EndStaleInstance, EndsOnlyAnotherProcessOfThisProgram) {
  test::TempDir dir;
  test::ChildProcess instance(test::HoldRegistration((dir.Path() / "r").string()), true);
  // Waiting for its line makes sure the stranger runs another program already.
  test::ChildProcess stranger({"/bin/sh", "-c", "echo ready; exec sleep 30"}, true);
  EXPECT_FALSE(EndStaleInstance(stranger.Pid()));  // a reused id: another program
  EXPECT_FALSE(EndStaleInstance(::getpid()));
  EXPECT_FALSE(EndStaleInstance(0));
  EXPECT_FALSE(EndStaleInstance(-1));
  EXPECT_FALSE(EndStaleInstance(1));  // not ours to end
  EXPECT_TRUE(EndStaleInstance(instance.Pid()));
  EXPECT_TRUE(instance.WaitForEnd());
  EXPECT_TRUE(stranger.Alive());
}

}  // namespace
}  // namespace captivo
