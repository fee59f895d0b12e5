// A child process works a profile list (add, copy, rename, select, import, reset, section saves,
// delete) and is killed with SIGKILL at a random moment, 200 times. After every kill the list
// parses, every entry's file parses with its own identifier, nothing was kept aside, and every
// profile the child did not delete is still there.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "profiles/profile_folder_check.h"
#include "test_support/child_process.h"
#include "test_support/temp_dir.h"

namespace brimvex::profiles {
namespace {

using testing::Slurp;
using testing::WriteBytes;

TEST(ProfileCrash, KilledAtRandomMomentsLosesNothing) {
  test::TempDir dir;
  const std::string folder = dir.folder() + "keyboard/";
  std::filesystem::create_directories(folder);
  const std::string resources =
      std::getenv("BRIMVEX_RESOURCES") != nullptr ? std::getenv("BRIMVEX_RESOURCES") : "resources";
  const std::string default_path = resources + "/DefaultData/keyboard.Json";
  const std::string import_path = dir.folder() + "Game.json";
  WriteBytes(import_path, Slurp(default_path));
  const std::string log = dir.folder() + "deleted.log";
  std::mt19937 random(20260102);
  std::set<std::string> before;
  for (int round = 0; round < 200; ++round) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = test::SpawnChild(
        {PROFILE_CHURN_PATH, folder, default_path, import_path, log, std::to_string(random())}, {}, ready[1], 2);
    ::close(ready[1]);
    ASSERT_GT(child, 0);
    char byte = 0;
    // The child has loaded its list once it has written its byte.
    ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "round " << round;
    ::close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
    ::kill(child, SIGKILL);
    ASSERT_EQ(test::WaitChild(child), -SIGKILL) << "round " << round;

    const std::set<std::string> now = testing::CheckedIdentifiers(folder, "round " + std::to_string(round));
    std::set<std::string> deleted;
    std::istringstream lines(Slurp(log));
    for (std::string line; std::getline(lines, line);) deleted.insert(line);
    std::filesystem::remove(log);
    for (const auto& id : before) {
      EXPECT_TRUE(deleted.contains(id) || now.contains(id)) << "round " << round << ": " << id << " went";
    }
    if (::testing::Test::HasFailure()) return;
    before = now;
  }
}

}  // namespace
}  // namespace brimvex::profiles
