// The real program under Xvfb on the emulated set, driven by brimvexctl profile: imports,
// selections, exports and deletions, and SIGKILL of the program while requests are under way.
// After each kill the keyboard's folder holds a list that parses, a file for every entry with its
// own identifier, nothing kept aside, and every profile that was not deleted.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "profiles/profile_folder_check.h"
#include "program/program_under_xvfb.h"
#include "test_support/child_process.h"
#include "test_support/run_brimvexctl.h"
#include "test_support/temp_dir.h"

namespace brimvex::test {
namespace {

// name -> identifier of `profile list`'s lines.
std::map<std::string, std::string> Listed(const CtlRun& run) {
  std::map<std::string, std::string> profiles;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> words;
    std::istringstream fields(line);
    for (std::string w; std::getline(fields, w, '\t');) words.push_back(w);
    if (words.size() == 4) profiles[words[3]] = words[2];
  }
  return profiles;
}

// The answer's first words, whichever stream it went to (a failed device write after the
// change answers on stderr).
bool Says(const CtlRun& run, const std::string& start) { return (run.out + run.err).starts_with(start); }

TEST(ProgramProfiles, RequestsWorkAndAKillInAStormLosesNothing) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start());
  const std::string game = program.Home().folder() + "Game.json";
  const std::string out = program.Home().folder() + "out.json";

  // One of each, as a user would.
  CtlRun run = program.Ctl({"profile", "export", "profile1", out});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  std::filesystem::copy_file(out, game);
  run = program.Ctl({"profile", "import", game});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("imported\t")) << run.out;
  run = program.Ctl({"profile", "select", "game"});
  EXPECT_TRUE(Says(run, "selected\t1\tGame\n")) << run.out << run.err;
  run = program.Ctl({"profile", "delete", "GAME"});
  EXPECT_TRUE(Says(run, "deleted\tGame\n")) << run.out << run.err;

  std::mt19937 random(20261210);
  std::set<std::string> deleted;
  std::set<std::string> before = profiles::testing::CheckedIdentifiers(program.KeyboardFolder(), "start");
  for (int life = 0; life < 4; ++life) {
    if (life > 0) {
      ASSERT_TRUE(program.Start()) << "life " << life;
    }
    for (int op = 0; op < 6; ++op) {
      const auto listed = Listed(program.Ctl({"profile", "list"}));
      ASSERT_FALSE(listed.empty());
      auto pick = listed.begin();
      std::advance(pick, static_cast<long>(random() % listed.size()));
      switch (random() % 3) {
        case 0:
          EXPECT_EQ(program.Ctl({"profile", "import", game}).exit_code, 0);
          break;
        case 1:
          program.Ctl({"profile", "select", pick->first});
          break;
        default:
          if (listed.size() > 1 && Says(program.Ctl({"profile", "delete", pick->first}), "deleted\t"))
            deleted.insert(pick->second);
          break;
      }
    }
    // Requests under way when the program dies; they delete nothing.
    std::vector<pid_t> under_way;
    for (int i = 0; i < 3; ++i) under_way.push_back(program.CtlUnderWay({"profile", "import", game}));
    under_way.push_back(program.CtlUnderWay({"profile", "select", "profile1"}));
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    program.Kill();
    for (const pid_t p : under_way) WaitChild(p);

    const std::string when = "life " + std::to_string(life);
    const std::set<std::string> now = profiles::testing::CheckedIdentifiers(program.KeyboardFolder(), when);
    for (const auto& id : before) EXPECT_TRUE(deleted.contains(id) || now.contains(id)) << when << ": " << id;
    if (::testing::Test::HasFailure()) return;
    before = now;
  }
}

}  // namespace
}  // namespace brimvex::test
