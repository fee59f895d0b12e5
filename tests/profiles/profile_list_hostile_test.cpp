// Hand-edited lists and hostile import files: no file outside the device folder is read,
// written or removed, and a refused import leaves everything as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/trace.h"
#include "profiles/device_profile_ui.h"
#include "profiles/profile_import.h"
#include "profiles/profile_list_fixture.h"

namespace brimvex::profiles {
namespace {

using testing::FixtureId;
using testing::Slurp;
using testing::WriteBytes;
using Change = CDeviceProfileUI::Change;

const char* const kHostile[] = {"../../victim", "/tmp/x", "a/b", "..", ""};

class HostileListTest : public testing::ProfileListFixture {
 protected:
  // Files a hostile identifier would name, each with bytes that must survive.
  void PlantVictims() {
    std::filesystem::create_directories(folder_ + "a");
    std::filesystem::create_directories(folder_ + "tmp");
    for (const auto& path : VictimPaths()) WriteBytes(path, "victim " + path);
  }
  std::vector<std::string> VictimPaths() const {
    // What each hostile identifier would name if it were taken as it stands.
    return {dir_.folder() + "victim.Json", folder_ + "tmp/x.Json", folder_ + "a/b.Json", folder_ + "...Json",
            folder_ + ".Json"};
  }
  std::map<std::string, std::string> Victims() const {
    std::map<std::string, std::string> v;
    for (const auto& path : VictimPaths()) v[path] = std::filesystem::exists(path) ? Slurp(path) : "<gone>";
    return v;
  }
  // The list with the hostile identifier on entry 0 (selected) beside a good entry.
  void WriteHostileList(const std::string& hostile) {
    WriteList({"bad", "good"}, 0);
    Json::Value list = List();
    list["profilelist"][0]["profileUUID"] = hostile;
    ASSERT_TRUE(WriteJson(ListPath(), list));
  }
};

TEST_F(HostileListTest, LoadGivesARefusedIdentifierANewProfile) {
  for (const std::string hostile : kHostile) {
    PlantVictims();
    const auto victims = Victims();
    WriteHostileList(hostile);
    platform::TraceCapture trace;
    auto list = Make();
    EXPECT_TRUE(trace.Contains("refused")) << hostile;
    const std::string fresh = ListId(0);
    EXPECT_NE(fresh, hostile);
    EXPECT_TRUE(IsIdentifier(fresh));
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"bad", "good"}));
    EXPECT_EQ(ReadJson(FileOf(fresh))["profileUUID"].asString(), fresh);
    EXPECT_EQ(ReadJson(FileOf(fresh))["Device"][0]["LightInfo"]["SelectItem"].asInt(), 3);
    EXPECT_EQ(list->GetCurrentId(), fresh);
    EXPECT_EQ(Victims(), victims) << hostile;
  }
}

TEST_F(HostileListTest, AnIdentifierEditedInWhileRunningTouchesNoFile) {
  struct Op {
    const char* name;
    std::function<void(CDeviceProfileUI&)> run;
  };
  const auto out = dir_.folder() + "export.json";
  const Op ops[] = {
      {"PathOf", [](CDeviceProfileUI& l) { EXPECT_EQ(l.PathOf(0), ""); }},
      {"Rename", [](CDeviceProfileUI& l) { EXPECT_EQ(l.Rename("renamed"), CDeviceProfileUI::kRenamed); }},
      {"Reset", [](CDeviceProfileUI& l) { EXPECT_EQ(l.Reset(), Change::kFailed); }},
      {"Export", [&](CDeviceProfileUI& l) { EXPECT_EQ(l.Export(out), Change::kFailed); }},
      {"Copy", [](CDeviceProfileUI& l) { EXPECT_EQ(l.Copy(), Change::kDone); }},
      {"Delete", [](CDeviceProfileUI& l) { EXPECT_EQ(l.Delete(), Change::kDone); }},
  };
  for (const std::string hostile : kHostile) {
    for (const auto& op : ops) {
      PlantVictims();
      const auto victims = Victims();
      WriteList({"bad", "good"}, 0);
      auto list = Make();
      WriteHostileList(hostile);  // edited after Load
      op.run(*list);
      EXPECT_EQ(Victims(), victims) << op.name << " " << hostile;
      EXPECT_FALSE(std::filesystem::exists(out)) << op.name;
      if (std::string(op.name) == "Delete") {
        // Only the list part: the entry goes, no file does.
        EXPECT_EQ(ListNames(), std::vector<std::string>{"good"});
        EXPECT_TRUE(std::filesystem::exists(FileOf(FixtureId(100)))) << hostile;
      }
      if (std::string(op.name) == "Copy") {
        EXPECT_EQ(ListNames(), (std::vector<std::string>{"bad", "good", "bad copy"}));
        EXPECT_EQ(ReadJson(FileOf(ListId(2)))["profileUUID"].asString(), ListId(2));
      }
    }
  }
}

TEST_F(HostileListTest, RefusedImportsLeaveListAndFolderAsTheyWere) {
  const auto big = dir_.path() / "big.json";
  {
    std::string text = R"({"profilename": "a", "profileUUID": "b", "pad": ")";
    text.append(kMaxImportBytes, 'x');
    WriteBytes(big, text + "\"}");
  }
  const auto fifo = dir_.path() / "fifo.json";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string path;  // a file of that text, unless the path is given
    std::string text;
    const char* refusal;
  };
  const std::string d = dir_.folder();
  const Case cases[] = {
      {fifo.string(), "", kImportNotAFile},
      {"/dev/zero", "", kImportNotAFile},
      {d + "data", "", kImportNotAFile},
      {d + "missing.json", "", kImportNotAFile},
      {big.string(), "", kImportTooLarge},
      {"", "not json", kImportNotAProfile},
      {"", "", kImportNotAProfile},
      {"", "[1]", kImportNotAProfile},
      {"", R"({"profilename": "a"})", kImportNotAProfile},
      {"", R"({"profilename": 1, "profileUUID": "b"})", kImportNotAProfile},
      {"", R"({"profilename": "a", "profileUUID": ["b"]})", kImportNotAProfile},
      {"", R"({"profilename": "a", "profileUUID": "b", "Device": 5})", kImportBadSettings},
      {"", R"({"profilename": "a", "profileUUID": "b", "Device": {"0": {}}})", kImportBadSettings},
      {"", R"({"profilename": "a", "profileUUID": "b", "Device": [5]})", kImportBadSettings},
  };
  WriteList({"one"}, 0);
  auto list = Make();
  int n = 0;
  for (const auto& c : cases) {
    std::string path = c.path;
    if (path.empty()) {
      path = d + "import" + std::to_string(n++) + ".json";
      WriteBytes(path, c.text);
    }
    const auto before = Snapshot();
    const auto r = list->Import(path);
    EXPECT_EQ(r.change, Change::kUnchanged) << path << " " << c.text;
    EXPECT_EQ(r.refusal_key, c.refusal) << path << " " << c.text;
    EXPECT_EQ(Snapshot(), before) << path << " " << c.text;
  }
  EXPECT_EQ(ListNames(), std::vector<std::string>{"one"});
  // A usable profile without "Device", or with a null section, is taken.
  WriteBytes(d + "ok.json", R"({"profilename": "a", "profileUUID": "b", "Device": [null]})");
  EXPECT_EQ(list->Import(d + "ok.json").change, Change::kDone);
}

}  // namespace
}  // namespace brimvex::profiles
