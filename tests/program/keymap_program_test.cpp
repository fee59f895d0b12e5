// The real program under Xvfb on the emulated keyboard, driven by brimvexctl keymap: a set
// reaches the emulated keyboard's memory and the profile, the program reads it back, and a
// refused write exits 1 naming the result with the memory unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "profiles/file_helpers.h"
#include "program/program_under_xvfb.h"

namespace brimvex::test {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// The identifier of the selected keyboard profile ("INDEX * IDENTIFIER NAME").
std::string SelectedProfile(const CtlRun& list) {
  for (const std::string& line : Lines(list.out)) {
    std::vector<std::string> words;
    std::istringstream fields(line);
    for (std::string w; std::getline(fields, w, '\t');) words.push_back(w);
    if (words.size() == 4 && words[1] == "*") return words[2];
  }
  return {};
}

TEST(ProgramKeymap, ASetReachesTheKeyboardAndTheProfileAndARefusalChangesNothing) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start());
  // The keyboard is read once it has been found and synchronised.
  CtlRun run;
  for (int i = 0; i < 400 && (run = program.Ctl({"keymap", "keyboard"})).exit_code != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(run.exit_code, 0) << run.err;

  const CtlRun before = program.Ctl({"keymap", "keyboard", "--emulate"});
  ASSERT_EQ(before.exit_code, 0) << before.err;
  std::vector<std::string> expected = Lines(before.out);
  ASSERT_EQ(expected.size(), 126u);
  EXPECT_EQ(expected[64], "64\tA\t0x200004\tA");

  run = program.Ctl({"keymap", "keyboard", "set", "64", "0x200005"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "64\tA\t0x200005\tB\n");
  expected[64] = "64\tA\t0x200005\tB";
  const CtlRun after = program.Ctl({"keymap", "keyboard", "--emulate"});
  EXPECT_EQ(Lines(after.out), expected) << "only that key changed";
  EXPECT_EQ(Lines(program.Ctl({"keymap", "keyboard"}).out).at(64), "64\tA\t0x200005\tB");
  const std::string id = SelectedProfile(program.Ctl({"profile", "list"}));
  ASSERT_FALSE(id.empty());
  const Json::Value profile = profiles::ReadJson(program.KeyboardFolder() + id + ".Json");
  EXPECT_EQ(profile["Device"][0]["KeyList"][64]["Assignment"].asInt64(), 2097157);

  ASSERT_EQ(program.Ctl({"emu", "fault", "keyboard", "status-fe", "0", "100"}).exit_code, 0);
  run = program.Ctl({"keymap", "keyboard", "set", "64", "0x200006"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("RESULT_DEVICE_FE"), std::string::npos) << run.err;
  ASSERT_EQ(program.Ctl({"emu", "fault", "keyboard", "clear"}).exit_code, 0);
  EXPECT_EQ(program.Ctl({"keymap", "keyboard", "--emulate"}).out, after.out) << "memory unchanged";
}

}  // namespace
}  // namespace brimvex::test
