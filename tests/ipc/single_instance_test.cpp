#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "test_support/temp_dir.h"

namespace brimvex::platform {
namespace {

// Runs `body` in a child process (no threads are running here) and returns its exit code.
template <typename Body>
int InChild(Body body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(SingleInstanceLock, HeldWhileItLivesAgainstThisAndOtherProcesses) {
  test::TempDir root;
  const std::string dir = root.folder() + "brimvex/";
  const auto other_process_gets_it = [&] {
    return InChild([&] {
      SingleInstanceLock::Status status = SingleInstanceLock::Status::kFailed;
      auto lock = SingleInstanceLock::Acquire("Brimvex", dir, &status);
      if (lock) return 0;
      return status == SingleInstanceLock::Status::kHeldElsewhere ? 1 : 2;
    });
  };
  auto lock = SingleInstanceLock::Acquire("Brimvex", dir);
  ASSERT_TRUE(lock);
  EXPECT_EQ(lock->path(), dir + "Brimvex.lock");
  SingleInstanceLock::Status status = SingleInstanceLock::Status::kAcquired;
  EXPECT_FALSE(SingleInstanceLock::Acquire("Brimvex", dir, &status));
  EXPECT_EQ(status, SingleInstanceLock::Status::kHeldElsewhere);
  EXPECT_EQ(other_process_gets_it(), 1);
  EXPECT_TRUE(SingleInstanceLock::Acquire("VudiRuvu", dir));  // other names are independent

  lock.reset();
  EXPECT_FALSE(std::filesystem::exists(dir + "Brimvex.lock"));
  EXPECT_EQ(other_process_gets_it(), 0);
  EXPECT_TRUE(SingleInstanceLock::Acquire("Brimvex", dir));
}

TEST(SingleInstanceLock, AHolderThatDiesWithoutCleaningUpReleasesIt) {
  test::TempDir root;
  const std::string dir = root.folder() + "brimvex/";
  const int code = InChild([&] {
    auto lock = SingleInstanceLock::Acquire("Brimvex", dir);
    if (!lock) return 1;
    ::_exit(0);  // crash-like: no destructor runs, the lock file stays
  });
  ASSERT_EQ(code, 0);
  EXPECT_TRUE(std::filesystem::exists(dir + "Brimvex.lock"));
  EXPECT_TRUE(SingleInstanceLock::Acquire("Brimvex", dir));
}

}  // namespace
}  // namespace brimvex::platform
