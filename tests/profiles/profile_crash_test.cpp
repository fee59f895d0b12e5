// A child process works a profile list (add, copy, rename, select, import, reset, section saves,
// delete) and is killed with SIGKILL at a random moment, 200 times. After every kill the list
// parses, every entry's file parses with its own identifier, nothing was kept aside, and every
// profile the child did not delete is still there.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "profiles/file_helpers.h"
#include "profiles/profile_list_file.h"
#include "profiles/profile_test_util.h"
#include "test_support/temp_dir.h"

extern char** environ;

namespace brimvex::profiles {
namespace {

using testing::Slurp;
using testing::WriteBytes;

struct Child {
  pid_t pid = -1;
  int ready = -1;  // read end of the child's stdout
};

Child Spawn(const std::vector<std::string>& args) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  Child child;
  if (posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) child.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  child.ready = fds[0];
  return child;
}

// The identifiers of the list, after checking the list and every entry's file.
std::set<std::string> CheckedIdentifiers(const std::string& folder, int round) {
  std::set<std::string> ids;
  const ProfileListRead read = ReadProfileList(folder + std::string(kProfileListFileName));
  EXPECT_TRUE(read.usable) << "round " << round << ": " << Slurp(folder + "ProfileList.ini");
  for (int i = 0; i < EntryCount(read.document); ++i) {
    const std::string id = EntryIdentifier(read.document, i);
    const Json::Value file = ReadJson(ProfileFilePath(folder, id));
    EXPECT_TRUE(file.isObject()) << "round " << round << ": " << id;
    EXPECT_EQ(file["profileUUID"].asString(), id) << "round " << round;
    ids.insert(id);
  }
  for (const auto& e : std::filesystem::directory_iterator(folder))
    EXPECT_EQ(e.path().filename().string().find(".broken-"), std::string::npos)
        << "round " << round << ": " << e.path();
  return ids;
}

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
    Child child = Spawn({PROFILE_CHURN_PATH, folder, default_path, import_path, log, std::to_string(random())});
    ASSERT_GT(child.pid, 0);
    char byte = 0;
    // The child has loaded its list once it has written its byte.
    ASSERT_EQ(::read(child.ready, &byte, 1), 1) << "round " << round;
    ::close(child.ready);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
    ::kill(child.pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child.pid, &status, 0), child.pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << " exit " << WEXITSTATUS(status);

    const std::set<std::string> now = CheckedIdentifiers(folder, round);
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
