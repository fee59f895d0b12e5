#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct CtlRun {
  std::string out;
  int exit_code = -1;
};

CtlRun Ctl(const std::string& args) {
  CtlRun r;
  FILE* p = popen((std::string(BRIMVEXCTL_PATH) + " " + args + " 2>&1").c_str(), "r");
  if (p == nullptr) return r;
  std::array<char, 256> buf{};
  while (fgets(buf.data(), buf.size(), p) != nullptr) r.out += buf.data();
  const int status = pclose(p);
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

TEST(BrimvexctlInfo, PrintsTheDecodedBlocksOrUnreachable) {
  const CtlRun mouse = Ctl("info mouse --emulate --wireless");
  EXPECT_EQ(mouse.exit_code, 0) << mouse.out;
  EXPECT_NE(mouse.out.find("key count: 11"), std::string::npos) << mouse.out;
  EXPECT_NE(mouse.out.find("wireless: 1"), std::string::npos) << mouse.out;
  EXPECT_NE(mouse.out.find("battery: 100 %"), std::string::npos) << mouse.out;

  const CtlRun off = Ctl("info mouse --emulate --wireless --powered-off");
  EXPECT_EQ(off.exit_code, 3);
  EXPECT_EQ(off.out, "unreachable\n");

  EXPECT_EQ(Ctl("info keyboard --emulate").exit_code, 0);
  EXPECT_EQ(Ctl("info pad --emulate --wireless").exit_code, 2);  // no receiver
  EXPECT_EQ(Ctl("info toaster --emulate").exit_code, 2);
}

}  // namespace
