// `brimvex --emulate` under Xvfb: started on an empty $XDG_DATA_HOME it keeps every per-device
// file it writes there under Brimvex/emulated/ (the start, profile requests, light and game
// messages and the orderly end leave nothing beside it but the program-wide files); `devices` lists the four products, also after a
// copy-data frame past its buffer's limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "program/program_under_xvfb.h"

namespace brimvex::test {
namespace {

TEST(ProgramData, AnEmulatedRunWritesOnlyUnderItsOwnFolder) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start());
  // The keyboard takes a profile once its first read is done.
  ASSERT_TRUE(program.WaitFor({"profile", "select", "profile1"}));
  const std::string game = program.Home().folder() + "Game.json";
  const std::vector<std::vector<std::string>> requests = {
      {"profile", "export", "profile1", game},
      {"profile", "import", game},
      {"profile", "select", "Game"},
      {"profile", "--device", "mouse", "import", game},
      {"light-control", "off"},
      {"light-control", "on"},
      {"game", "start", "--mode", "3"},
      {"profile", "delete", "Game"},
  };
  for (const auto& words : requests) {
    const CtlRun run = program.Ctl(words);
    EXPECT_EQ(run.exit_code, 0) << words[0] << " " << words.back() << ": " << run.err;
  }
  EXPECT_EQ(program.Stop(), 0);

  // Beside the emulated folder only the program's own files, shared with the real devices.
  const std::set<std::string> program_wide = {"AudioFile.json", "color_option_info.config", "main.ini",
                                              "updatetime.config"};
  namespace fs = std::filesystem;
  const fs::path home = program.DataHome();
  const fs::path app = home / "Brimvex";
  const fs::path emulated = app / "emulated";
  std::size_t inside = 0;
  for (const auto& entry : fs::recursive_directory_iterator(home)) {
    if (entry.is_directory()) continue;
    const fs::path relative = entry.path().lexically_relative(emulated);
    const bool below = !relative.empty() && *relative.begin() != "..";
    const bool shared = entry.path().parent_path() == app && program_wide.contains(entry.path().filename().string());
    EXPECT_TRUE(below || shared) << entry.path();
    inside += below ? 1 : 0;
  }
  EXPECT_GT(inside, 0u) << "the run kept its profiles somewhere else";
}

TEST(ProgramPeers, DevicesListsTheFourProductsAndAnOverlongCopyDataChangesNothing) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start());
  const std::string list = "5e1d:4a10 2 mouse\n05ac:024e 1 keyboard\n5e1d:4b04 3 pad\n0c76:1630 7 headset\n";
  CtlRun run = program.Ctl({"devices", "--timeout", "10000"});  // a loaded machine may take past the 2 s default
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, list);
  const std::string payload = program.Home().folder() + "audio.bin";
  {
    std::ofstream out(payload, std::ios::binary);
    out << std::string(2001, '\x7f');
  }
  run = program.Ctl({"send", "WM_COPYDATA", "1", "1", "--payload-file", payload});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  run = program.Ctl({"devices", "--timeout", "10000"});  // a loaded machine may take past the 2 s default
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, list);
  EXPECT_EQ(program.Stop(), 0);
}

}  // namespace
}  // namespace brimvex::test
