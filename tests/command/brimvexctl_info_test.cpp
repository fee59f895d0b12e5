#include <gtest/gtest.h>

#include <string>

#include "test_support/run_brimvexctl.h"
#include "test_support/temp_dir.h"

namespace brimvex {
namespace {

TEST(BrimvexctlInfo, PrintsTheDecodedBlocksOrUnreachable) {
  test::TempDir runtime;
  auto ctl = [&](std::vector<std::string> args) { return test::RunBrimvexctl(runtime, std::move(args)); };
  const test::CtlRun mouse = ctl({"info", "mouse", "--emulate", "--wireless"});
  EXPECT_EQ(mouse.exit_code, 0) << mouse.err;
  EXPECT_NE(mouse.out.find("key count: 11"), std::string::npos) << mouse.out;
  EXPECT_NE(mouse.out.find("wireless: 1"), std::string::npos) << mouse.out;
  EXPECT_NE(mouse.out.find("battery: 100 %"), std::string::npos) << mouse.out;

  const test::CtlRun off = ctl({"info", "mouse", "--emulate", "--wireless", "--powered-off"});
  EXPECT_EQ(off.exit_code, 3);
  EXPECT_EQ(off.out, "unreachable\n");

  EXPECT_EQ(ctl({"info", "keyboard", "--emulate"}).exit_code, 0);
  EXPECT_EQ(ctl({"info", "pad", "--emulate", "--wireless"}).exit_code, 2);  // no receiver
  EXPECT_EQ(ctl({"info", "toaster", "--emulate"}).exit_code, 2);
}

}  // namespace
}  // namespace brimvex
