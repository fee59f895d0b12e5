// The profile list control: its operations as the page's buttons run them, what reaches the
// device folder, and the list file as the reference the drop-down mirrors.
#include "profiles/device_profile_ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/trace.h"
#include "platform/ui/controls.h"
#include "profiles/profile_list_fixture.h"

namespace brimvex::profiles {
namespace {

using testing::FixtureId;
using testing::Parse;
using testing::Slurp;
using testing::Text;
using testing::WriteBytes;
using Change = CDeviceProfileUI::Change;

class ProfileListTest : public testing::ProfileListFixture {};

TEST_F(ProfileListTest, FirstStartMakesOneProfileHoldingOnlyItsNames) {
  auto list = Make();
  const std::string id = FixtureId(0);
  EXPECT_EQ(Text(List()), Text(R"({"profilelist": [{"profilename": "profile1", "profileUUID": ")" + id +
                               R"(", "profileislink": 0, "profilelinkmame": ""}], "profileselect": 0})"));
  EXPECT_EQ(Text(ReadJson(FileOf(id))), Text(R"({"profilename": "profile1", "profileUUID": ")" + id + R"("})"));
  EXPECT_EQ(ComboTexts(*list), std::vector<std::string>{"profile1"});
  EXPECT_EQ(list->GetCurSel(), 0);
  EXPECT_EQ(list->GetCurrentId(), id);
  EXPECT_EQ(list->GetNameText(), "profile1");
  EXPECT_EQ(reported_, std::vector<std::string>{id});
  EXPECT_EQ(list->Count(), 1);
  EXPECT_EQ(list->PathOf(0), FileOf(id));
  EXPECT_EQ(list->PathOf(1), "");
}

TEST_F(ProfileListTest, AddTakesTheLowestFreeNumberAndStopsAtFifty) {
  struct Case {
    std::vector<std::string> names;
    std::string added;
  };
  const Case cases[] = {
      {{"profile1", "Profile3"}, "profile2"},
      {{"profile1", "profile2", "PROFILE3"}, "profile4"},
      {{"mine"}, "profile1"},
  };
  for (const auto& c : cases) {
    WriteList(c.names, 0);
    auto list = Make();
    ASSERT_EQ(list->Add(), Change::kDone);
    auto expected = c.names;
    expected.push_back(c.added);
    EXPECT_EQ(ListNames(), expected);
    EXPECT_EQ(ComboTexts(*list), expected);
    // The stored selection is the new profile; the drop-down and the device stay where they are.
    EXPECT_EQ(List()["profileselect"].asInt(), static_cast<int>(c.names.size()));
    EXPECT_EQ(list->GetCurSel(), 0);
    const std::string id = ListId(static_cast<int>(c.names.size()));
    Json::Value file = Parse(testing::kDefaultProfile);
    file["profilename"] = c.added;
    file["profileUUID"] = id;
    EXPECT_EQ(Text(ReadJson(FileOf(id))), Text(file));
  }
  std::vector<std::string> fifty;
  for (int i = 0; i < 50; ++i) fifty.push_back("p" + std::to_string(i));
  WriteList(fifty, 0);
  auto list = Make();
  const auto before = Snapshot();
  EXPECT_EQ(list->Add(), Change::kUnchanged);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(list->Copy(), Change::kDone);
  WriteBytes(dir_.path() / "Game.json", R"({"profilename": "x", "profileUUID": "y"})");
  EXPECT_EQ(list->Import((dir_.path() / "Game.json").string()).change, Change::kDone);
  EXPECT_EQ(list->Count(), 52);
}

TEST_F(ProfileListTest, CopyAndImportMakeUniqueNames) {
  WriteList({"A", "A copy"}, 0);
  auto list = Make();
  ASSERT_EQ(list->Copy(), Change::kDone);
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"A", "A copy", "A copy copy"}));
  // The copy is the source's file under the new name and identifier; the selection stays.
  Json::Value copied = ReadJson(FileOf(FixtureId(100)));
  copied["profilename"] = "A copy copy";
  copied["profileUUID"] = ListId(2);
  EXPECT_EQ(Text(ReadJson(FileOf(ListId(2)))), Text(copied));
  EXPECT_EQ(List()["profileselect"].asInt(), 0);

  const auto game = dir_.path() / "Game.json";
  WriteBytes(game,
             R"({"profilename": "inside", "profileUUID": "../../elsewhere", "Device": [{"Keep": 1}], "extra": 2})");
  std::vector<std::string> imported;
  for (int i = 0; i < 3; ++i) {
    const auto r = list->Import(game.string());
    ASSERT_EQ(r.change, Change::kDone);
    EXPECT_EQ(r.identifier, ListId(3 + i));
    imported.push_back(r.name);
    EXPECT_EQ(Text(ReadJson(FileOf(r.identifier))), Text(R"({"profilename": ")" + r.name + R"(", "profileUUID": ")" +
                                                         r.identifier + R"(", "Device": [{"Keep": 1}], "extra": 2})"));
  }
  EXPECT_EQ(imported, (std::vector<std::string>{"Game", "Game(1)", "Game(1)(2)"}));
  EXPECT_EQ(List()["profileselect"].asInt(), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "data/elsewhere.Json"));
}

TEST_F(ProfileListTest, RenameResults) {
  struct Case {
    std::string name;
    int result;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"  ", CDeviceProfileUI::kNameBlank, {"one", "two"}},
      {"\t", CDeviceProfileUI::kNameBlank, {"one", "two"}},
      {"TWO", CDeviceProfileUI::kNameUsed, {"one", "two"}},
      {"ONE", CDeviceProfileUI::kRenamed, {"ONE", "two"}},
      {" spaced ", CDeviceProfileUI::kRenamed, {" spaced ", "two"}},
      {"名字", CDeviceProfileUI::kRenamed, {"名字", "two"}},
  };
  for (const auto& c : cases) {
    WriteList({"one", "two"}, 0);
    auto list = Make();
    const auto before = Snapshot();
    EXPECT_EQ(list->Rename(c.name), c.result) << c.name;
    EXPECT_EQ(ListNames(), c.names) << c.name;
    EXPECT_EQ(ComboTexts(*list), c.names) << c.name;
    if (c.result == CDeviceProfileUI::kRenamed) {
      EXPECT_EQ(ReadJson(FileOf(FixtureId(100)))["profilename"].asString(), c.name);
      EXPECT_EQ(list->GetNameText(), c.name);
    } else {
      EXPECT_EQ(Snapshot(), before) << c.name;
    }
  }
}

TEST_F(ProfileListTest, DeleteMovesTheSelectionAndTellsTheDropDown) {
  struct Case {
    int selected;
    int stored;
  };
  for (const Case c : {Case{0, 0}, Case{1, 0}, Case{2, 1}}) {
    WriteList({"a", "b", "c"}, c.selected);
    auto list = Make();
    ui::Window window("MainWnd", nullptr, nullptr);
    auto* raw = list.get();
    window.AttachRoot(std::move(list));
    std::vector<std::pair<std::string, std::uint64_t>> seen;
    ui::FunctionNotifier notifier([&](ui::Notification& n) { seen.emplace_back(n.sender->Name(), n.wparam); });
    window.AddNotifier(&notifier);
    const std::string removed = raw->GetCurrentId();
    ASSERT_EQ(raw->Delete(), Change::kDone);
    EXPECT_FALSE(std::filesystem::exists(FileOf(removed)));
    EXPECT_EQ(List()["profileselect"].asInt(), c.stored);
    EXPECT_EQ(raw->GetCurSel(), c.stored);
    EXPECT_EQ(raw->GetCurrentId(), ListId(c.stored));
    EXPECT_EQ(raw->Count(), 2);
    // "itemselect" from the drop-down starts the switch to the new selection.
    const std::vector<std::pair<std::string, std::uint64_t>> expected = {
        {"device_profile_combo", static_cast<std::uint64_t>(c.stored)}};
    EXPECT_EQ(seen, expected);
    window.RemoveNotifier(&notifier);
  }
}

TEST_F(ProfileListTest, DeletingAnotherProfileKeepsTheSelectionAndTheLastOneStays) {
  WriteList({"a", "b", "c"}, 2);
  auto list = Make();
  ASSERT_EQ(list->DeleteAt(0), Change::kDone);
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(List()["profileselect"].asInt(), 1);
  EXPECT_EQ(list->GetCurSel(), 1);
  EXPECT_EQ(list->GetCurrentId(), FixtureId(102));
  ASSERT_EQ(list->Delete(), Change::kDone);
  const auto before = Snapshot();
  EXPECT_EQ(list->Delete(), Change::kUnchanged);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(ListNames(), std::vector<std::string>{"b"});
}

TEST_F(ProfileListTest, ResetKeepsNamesAndTheHeadsetsCustomEqualisers) {
  for (const int type : {1, 7}) {
    WriteList({"mine"}, 0);
    const std::string id = FixtureId(100);
    WriteBytes(FileOf(id), R"({"profilename": "mine", "profileUUID": ")" + id +
                               R"(", "own": 1, "Device": [{"LightInfo": {"SelectItem": 9},
                               "CustomEQNameInfo": [{"Name": "my eq"}], "CustomEQHzValueInfo": [[{"value": 4}]]}]})");
    auto list = Make(type);
    ASSERT_EQ(list->Reset(), Change::kDone);
    Json::Value expected = Parse(testing::kDefaultProfile);
    expected["profilename"] = "mine";
    expected["profileUUID"] = id;
    if (type == 7) {
      expected["Device"][0]["CustomEQNameInfo"] = Parse(R"([{"Name": "my eq"}])");
      expected["Device"][0]["CustomEQHzValueInfo"] = Parse(R"([[{"value": 4}]])");
    }
    EXPECT_EQ(Text(ReadJson(FileOf(id))), Text(expected)) << type;
  }
  // Without a default profile nothing is reset.
  std::filesystem::remove(default_path_);
  auto list = Make();
  const auto before = Snapshot();
  EXPECT_EQ(list->Reset(), Change::kFailed);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(ProfileListTest, StoredSelectionIsClampedIntoTheList) {
  struct Case {
    std::string stored;
    int selected;
    bool traced;
  };
  const Case cases[] = {{"7", 2, true},    {"-1", 0, true}, {"\"x\"", 0, true}, {"1.5", 0, true},
                        {"null", 0, true}, {"1", 1, false}, {"2.0", 2, false}};
  for (const auto& c : cases) {
    WriteList({"a", "b", "c"}, 0);
    std::string text = Slurp(ListPath());
    Json::Value doc = Parse(text);
    doc["profileselect"] = Parse("[" + c.stored + "]")[0];
    ASSERT_TRUE(WriteJson(ListPath(), doc));
    platform::TraceCapture trace;
    auto list = Make();
    EXPECT_EQ(list->GetCurSel(), c.selected) << c.stored;
    EXPECT_EQ(List()["profileselect"].asInt(), c.selected) << c.stored;
    EXPECT_EQ(List()["profileselect"].isInt(), true) << c.stored;
    EXPECT_EQ(list->GetCurrentId(), FixtureId(100 + c.selected)) << c.stored;
    EXPECT_EQ(trace.Contains("profileselect"), c.traced) << c.stored;
  }
}

TEST_F(ProfileListTest, TabsFollowTheDeviceType) {
  struct Case {
    int type;
    std::vector<std::string> visible;
  };
  const Case cases[] = {
      {1, {"deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab"}},
      {2, {"deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab", "cursor_Op_tab"}},
      {3, {"deng_Op_tab"}},
      {4, {"deng_Op_tab", "system_Op_tab"}},
      {7, {"deng_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"}},
  };
  for (const auto& c : cases) {
    auto list = Make(c.type);
    std::vector<std::string> visible;
    for (const auto name : CDeviceProfileUI::kTabNames)
      if (list->FindControl(name)->IsVisible()) visible.emplace_back(name);
    EXPECT_EQ(visible, c.visible) << c.type;
  }
  auto list = Make();
  const auto selected = [&] {
    std::vector<bool> s;
    for (const auto name : CDeviceProfileUI::kTabNames)
      s.push_back(dynamic_cast<ui::Option*>(list->FindControl(name))->IsSelected());
    return s;
  };
  list->SelectTab(3);
  EXPECT_EQ(selected(), (std::vector<bool>{false, false, true, false, false, false, false, false}));
  list->SelectTab(1);
  list->SelectTab(0);
  list->SelectTab(9);
  EXPECT_EQ(selected(), (std::vector<bool>{true, false, false, false, false, false, false, false}));
  list->ShowMenu(!list->IsMenuShown());
  EXPECT_TRUE(list->IsMenuShown());
}

TEST_F(ProfileListTest, ExportWritesTheSelectedProfileWhole) {
  WriteList({"a", "b"}, 1);
  auto list = Make();
  const auto out = dir_.path() / "out.json";
  ASSERT_EQ(list->Export(out.string()), Change::kDone);
  EXPECT_EQ(Slurp(out), Slurp(FileOf(FixtureId(101))));
  // A profile whose file is not a profile is not exported; the target stays as it was.
  const std::string exported = Slurp(out);
  const std::string list_text = Slurp(ListPath());
  EXPECT_EQ(list->Export(folder_ + "../deep/ProfileList.ini"), Change::kFailed);
  EXPECT_EQ(Slurp(ListPath()), list_text);
  WriteBytes(FileOf(FixtureId(101)), "{broken");
  EXPECT_EQ(list->Export(out.string()), Change::kFailed);
  EXPECT_EQ(Slurp(out), exported);
}

TEST_F(ProfileListTest, UnusableListIsKeptAsideBeforeTheNewOne) {
  struct Case {
    std::string bytes;
    bool kept;
  };
  const Case cases[] = {
      {"{broken", true},
      {R"({"profilelist": {"profilename": "a"}, "profileselect": 0})", true},
      {"[1, 2]", true},
      {"", false},
      {R"({"profilelist": [], "profileselect": 0})", false},
  };
  for (const auto& c : cases) {
    test::TempDir fresh;
    folder_ = fresh.folder();
    WriteBytes(ListPath(), c.bytes);
    platform::TraceCapture trace;
    auto list = Make();
    std::vector<std::string> aside;
    for (const auto& e : std::filesystem::directory_iterator(fresh.path()))
      if (e.path().filename().string().starts_with("ProfileList.ini.broken-")) aside.push_back(e.path().string());
    ASSERT_EQ(aside.size(), c.kept ? 1u : 0u) << c.bytes;
    if (c.kept) {
      EXPECT_EQ(Slurp(aside[0]), c.bytes);
      EXPECT_TRUE(trace.Contains("kept aside"));
    }
    EXPECT_EQ(ListNames(), std::vector<std::string>{"profile1"}) << c.bytes;
  }
}

TEST_F(ProfileListTest, NewProfilesStepPastFilesThatExist) {
  // The clock stands at ..._000: the first profile takes it, _001 exists, so Add takes _002.
  WriteBytes(FileOf(FixtureId(1)), R"({"profilename": "left over", "profileUUID": ")" + FixtureId(1) + R"("})");
  auto list = Make();
  ASSERT_EQ(list->Add(), Change::kDone);
  EXPECT_EQ(ListId(0), FixtureId(0));
  EXPECT_EQ(ListId(1), FixtureId(2));
  EXPECT_EQ(ReadJson(FileOf(FixtureId(1)))["profilename"].asString(), "left over");
}

// A switch selects first and stores after the device's writes; what another page changed in
// between is not overwritten.
TEST_F(ProfileListTest, ASelectionStoredAfterwardsIsStoredOnlyWhileItsEntryStands) {
  struct Case {
    const char* what;
    std::function<void(CDeviceProfileUI& other)> between;
    bool stored;
    std::vector<std::string> names;
    int select;
  };
  const Case cases[] = {
      {"nothing between", [](CDeviceProfileUI&) {}, true, {"a", "b", "c"}, 2},
      {"renamed between", [](CDeviceProfileUI& o) { EXPECT_EQ(o.Rename("z"), CDeviceProfileUI::kRenamed); }, true,
       {"z", "b", "c"}, 2},
      {"an entry before it deleted", [](CDeviceProfileUI& o) { EXPECT_EQ(o.DeleteAt(1), Change::kDone); }, false,
       {"a", "c"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteList({"a", "b", "c"});
    auto list = Make();
    auto other = Make();
    reported_.clear();
    ASSERT_TRUE(list->SelectWithoutStoring(2, false));
    EXPECT_EQ(reported_, std::vector<std::string>{FixtureId(102)});
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_EQ(List()["profileselect"].asInt(), 0) << "not stored yet";
    c.between(*other);
    EXPECT_EQ(list->StoreSelection(), c.stored);
    EXPECT_EQ(ListNames(), c.names);
    EXPECT_EQ(List()["profileselect"].asInt(), c.select);
    EXPECT_FALSE(list->StoreSelection()) << "stored once";
  }
}

TEST_F(ProfileListTest, PagesOfOneKindSeeEachOthersChanges) {
  auto a = Make();
  auto b = Make();
  ASSERT_EQ(a->Add(), Change::kDone);
  ASSERT_EQ(b->Add(), Change::kDone);
  // b's drop-down had one item: its Add appended to the list as it is on disk.
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"profile1", "profile2", "profile3"}));
  EXPECT_EQ(ComboTexts(*b), ListNames());
  ASSERT_EQ(a->Rename("first"), CDeviceProfileUI::kRenamed);
  EXPECT_EQ(a->Copy(), Change::kDone);
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"first", "profile2", "profile3", "first copy"}));
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(std::filesystem::exists(FileOf(ListId(i)))) << i;
}

TEST_F(ProfileListTest, LoadMendsBrokenEntries) {
  const std::string shared = FixtureId(100);
  WriteBytes(FileOf(shared), R"({"profilename": "x", "profileUUID": ")" + shared + R"(", "Device": [{"Mine": 1}]})");
  WriteBytes(ListPath(), R"({"profilelist": [
      {"profilename": "x", "profileUUID": ")" +
                             shared + R"("},
      5,
      {"profileUUID": ")" + FixtureId(101) +
                             R"("},
      {"profilename": "twin", "profileUUID": ")" +
                             shared + R"("}], "profileselect": 0})");
  platform::TraceCapture trace;
  auto list = Make();
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"x", "profile1", "profile2", "twin"}));
  std::vector<std::string> ids;
  for (int i = 0; i < 4; ++i) ids.push_back(ListId(i));
  EXPECT_EQ(ids[0], shared);
  EXPECT_EQ(ids[2], FixtureId(101));
  EXPECT_NE(ids[3], shared);
  EXPECT_TRUE(trace.Contains("repeated"));
  // The twin has a copy of the shared file of its own, and a new entry a file from the default.
  EXPECT_EQ(ReadJson(FileOf(ids[3]))["Device"][0]["Mine"].asInt(), 1);
  EXPECT_EQ(ReadJson(FileOf(ids[3]))["profilename"].asString(), "twin");
  EXPECT_EQ(ReadJson(FileOf(ids[1]))["Device"][0]["LightInfo"]["SelectItem"].asInt(), 3);
  ASSERT_TRUE(list->Select(3, false));
  ASSERT_EQ(list->Delete(), Change::kDone);
  EXPECT_TRUE(std::filesystem::exists(FileOf(shared)));
}

}  // namespace
}  // namespace brimvex::profiles
