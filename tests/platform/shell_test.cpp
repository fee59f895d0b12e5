// The Linux shell adapter: argument lists reach the program whole (no shell splits them),
// children are reaped, and a program that is not there is a clear failure.
#include "platform/shell.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support/temp_dir.h"

namespace brimvex::platform {
namespace {

TEST(SystemShell, StartsArgumentListsWithoutAShellAndReapsTheChildren) {
  test::TempDir dir;
  SystemShell shell;
  // Spaces, ';', '$' and '*' mean nothing to it: each argument is one name.
  const std::string odd = (dir.path() / "a b;c $HOME *").string();
  const std::string plain = (dir.path() / "plain").string();
  std::string error;
  ASSERT_TRUE(shell.Start({"touch", odd, plain}, &error)) << error;
  ASSERT_TRUE(shell.Start({"true"}, &error)) << error;
  ASSERT_TRUE(shell.WaitUntilNoneRunning(Millis(20000)));
  EXPECT_EQ(shell.Running(), 0);
  EXPECT_TRUE(std::filesystem::exists(odd));
  EXPECT_TRUE(std::filesystem::exists(plain));
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 2u);

  EXPECT_FALSE(shell.Start({"brimvex-no-such-program"}, &error));
  EXPECT_NE(error.find("brimvex-no-such-program"), std::string::npos) << error;
  EXPECT_FALSE(shell.Start({}, &error));
  EXPECT_EQ(shell.Running(), 0);
}

TEST(SystemShell, FindsProgramsOnThePath) {
  EXPECT_FALSE(FindProgram("sh").empty());
  EXPECT_TRUE(FindProgram("brimvex-no-such-program").empty());
  EXPECT_TRUE(FindProgram("").empty());
  EXPECT_EQ(FindProgram("/bin/sh"), "/bin/sh");
}

}  // namespace
}  // namespace brimvex::platform
