// The real program under Xvfb on the emulated set, driven by brimvexctl macro: an imported,
// bound macro's events land in the keyboard's macro memory and `macro show` gives them back;
// hostile files are refused with their reason, a store entry whose "Guid" climbs out of the
// folder names no file, and the store, every macro file, the profiles and a file outside the
// folder stay as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "profiles/file_helpers.h"
#include "program/program_under_xvfb.h"

namespace brimvex::test {
namespace {

// Every file of a folder by name, with its bytes.
std::map<std::string, std::string> Files(const std::string& folder) {
  std::map<std::string, std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.is_regular_file()) out[e.path().filename().string()] = profiles::ReadTextFile(e.path().string());
  return out;
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string Events(int n, const std::string& event) {
  std::string s = "{\"Events\":[";
  for (int k = 0; k < n; ++k) s += (k ? "," : "") + event;
  return s + "]}";
}

TEST(ProgramMacro, ABoundMacroReachesTheKeyboardAndHostileInputChangesNothing) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start());
  TempDir in;
  const std::string combo = in.folder() + "Combo.mac";
  Write(combo, R"({"Events":[{"Type":10,"Button":4,"Action":"down","Delay":"30"},)"
               R"({"Type":9,"Button":2,"Action":"up","Delay":300}]})");

  CtlRun run = program.Ctl({"macro", "import", combo});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "imported Combo as macro 0 (2 events)\n");
  // The keyboard takes the binding once its page has read it and its profile is in place.
  for (int i = 0; i < 400 && (run = program.Ctl({"macro", "bind", "10", "Combo", "--repeat", "2"})).exit_code != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "bound key 10 to macro 0; macro block 30 bytes\n");
  const std::string events = "30\tdown\t10\t4\n300\tup\t9\t2\n";
  run = program.Ctl({"emu", "block", "keyboard", "macros"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "valid total=30 entries=1\nentry 0 events=2\n" + events);
  run = program.Ctl({"macro", "show", "Combo"});
  EXPECT_EQ(run.out, "macro Combo events=2\n" + events);

  // A store entry whose "Guid" climbs out of the folder, beside a file it would reach.
  const std::string folder = program.KeyboardFolder();
  const std::string victim = folder + "../../x.mac";
  Write(victim, Events(1, R"({"Type":10,"Button":5,"Action":"down","Delay":"1"})"));
  Json::Value store = profiles::ReadJson(folder + "macro.config");
  Json::Value entry;
  entry["MacroName"] = "Climber";
  entry["Guid"] = "../../x";
  store["MacroInfo"].append(entry);
  ASSERT_TRUE(profiles::WriteJson(folder + "macro.config", store));

  const std::string fifo = in.folder() + "pipe.mac";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Write(in.folder() + "big.mac", std::string(256 * 1024 + 1, ' '));
  const char* key = R"({"Type":10,"Button":4,"Action":"down","Delay":"1"})";
  struct Case {
    std::string file;
    std::string text;  // "" for a file made above
    std::string reason;
  };
  const Case hostile[] = {
      {"pipe.mac", "", "not a regular file"},
      {"big.mac", "", "256 KiB"},
      {"noevents.mac", R"({"Guid":"2026_12_11_10_00_00_000"})", "\"Events\""},
      {"many.mac", Events(251, key), "too many events"},
      {"type.mac", Events(1, R"({"Type":6,"Button":4,"Action":"down","Delay":"1"})"), "\"Type\""},
      {"button.mac", Events(1, R"({"Type":10,"Button":256,"Action":"down","Delay":"1"})"), "\"Button\""},
      {"action.mac", Events(1, R"({"Type":10,"Button":4,"Action":"press","Delay":"1"})"), "\"Action\""},
      {"delay.mac", Events(1, R"({"Type":10,"Button":4,"Action":"down","Delay":"65536"})"), "\"Delay\""},
      {"guid.mac", R"({"Events":[],"Guid":"../../x"})", "\"Guid\""},
  };
  const auto before = Files(folder);
  const std::string victim_before = profiles::ReadTextFile(victim);
  for (const Case& c : hostile) {
    SCOPED_TRACE(c.file);
    if (!c.text.empty()) Write(in.folder() + c.file, c.text);
    run = program.Ctl({"macro", "import", in.folder() + c.file});
    EXPECT_EQ(run.exit_code, 3);
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
  }
  // The climbing entry keeps its place and names no file; nothing outside the folder changed.
  run = program.Ctl({"macro", "list"});
  EXPECT_NE(run.out.find("1\t-\tClimber\t0\n"), std::string::npos) << run.out;
  EXPECT_EQ(Files(folder), before) << "the store, every macro file and the profiles as they were";
  EXPECT_EQ(profiles::ReadTextFile(victim), victim_before);
}

}  // namespace
}  // namespace brimvex::test
