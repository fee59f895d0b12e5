// The macro store's files: naming, order, limits, a broken store kept aside, hostile identifiers
// that must not reach outside the folder, and how stored events read for the device.
#include <gtest/gtest.h>
#include <json/json.h>

#include "macros/macro_fixture.h"
#include "profiles/file_helpers.h"

namespace brimvex::macros::test {
namespace {

TEST(MacroStore, NewNamesTakeTheSmallestFreeNumberIgnoringCase) {
  struct Case {
    std::vector<std::string> names;
    std::string expected;
  };
  const Case cases[] = {
      {{}, "macro_1"},
      {{"macro_1", "MACRO_2"}, "macro_3"},
      {{"macro_2"}, "macro_1"},
      {{"Macro_1", "x", "macro_3"}, "macro_2"},
  };
  for (const Case& c : cases) {
    StoreFixture f;
    for (const auto& n : c.names) ASSERT_TRUE(f.store.Append(n).ok);
    EXPECT_EQ(f.store.FreeDefaultName(), c.expected);
  }
}

TEST(MacroStore, EntriesKeepMacroNumberOrderThroughAppendRenameAndRemove) {
  StoreFixture f;
  for (const char* n : {"a", "b", "c"}) ASSERT_TRUE(f.store.Append(n).ok);
  const auto before = f.store.Entries();
  ASSERT_EQ(before.size(), 3u);
  EXPECT_TRUE(profiles::IsIdentifier(before[0].guid));
  EXPECT_LT(before[0].guid, before[1].guid);
  Json::Value events(Json::arrayValue);
  events.append(profiles::ParseJson(R"({"Type":10,"Button":4,"Action":"down","Delay":"5"})"));
  ASSERT_TRUE(f.store.Save(1, events));
  ASSERT_TRUE(f.store.Save(2, events));
  ASSERT_TRUE(f.store.Rename(2, "z"));
  ASSERT_TRUE(f.store.Remove(1));
  EXPECT_EQ(f.store.Names(), (std::vector<std::string>{"a", "z"}));
  EXPECT_EQ(f.store.Entries()[1].guid, before[2].guid);
  EXPECT_FALSE(std::filesystem::exists(f.Path(before[1].guid + ".mac")));
  EXPECT_EQ(f.store.Events(1), (std::vector<MacroEvent>{{5, true, 10, 4}}));
  EXPECT_EQ(f.store.Events(0), std::vector<MacroEvent>{}) << "never saved";
  // The macro file keeps the name of its last save; the styled writer orders the members.
  const std::string text = Slurp(f.Path(before[2].guid + ".mac"));
  EXPECT_LT(text.find("\"Events\""), text.find("\"Guid\""));
  EXPECT_LT(text.find("\"Guid\""), text.find("\"MacroName\" : \"c\""));
  EXPECT_LT(text.find("\"MacroName\""), text.find("\"Version\" : 64"));
}

TEST(MacroStore, HoldsAtMostFiftyMacros) {
  StoreFixture f;
  for (int k = 0; k < 50; ++k) ASSERT_TRUE(f.store.Append("m" + std::to_string(k)).ok);
  Put(f.Path("x.mac"), MacroJson(2));
  const auto files = f.Files();
  EXPECT_FALSE(f.store.Append("one more").ok);
  EXPECT_FALSE(f.store.Import(f.Path("x.mac").string()).ok);
  EXPECT_EQ(f.Files(), files);
}

TEST(MacroStore, AStoreThatDoesNotParseIsKeptAsideBeforeItIsReplaced) {
  StoreFixture f;
  Put(f.Path("macro.config"), "{\"MacroInfo\": [ {\"MacroName\": \"lost?\"");
  EXPECT_EQ(f.store.Names(), std::nullopt) << "unreadable, not empty: devices keep their bindings";
  ASSERT_TRUE(f.store.Append("fresh").ok);
  EXPECT_EQ(f.store.Names(), (std::vector<std::string>{"fresh"}));
  int kept = 0;
  for (const auto& [name, bytes] : f.Files())
    if (name.rfind("macro.config.broken-", 0) == 0) kept += bytes == "{\"MacroInfo\": [ {\"MacroName\": \"lost?\"" ? 1 : 0;
  EXPECT_EQ(kept, 1);
}

TEST(MacroStore, IdentifiersThatAreNotIdentifierShapedNameNoFile) {
  const std::string guids[] = {"../../outside", "/tmp/x", "", "2023_01_01_00_00_00_000/../x", "a\nb"};
  for (const std::string& bad : guids) {
    SCOPED_TRACE(bad);
    StoreFixture f;
    brimvex::test::TempDir other;
    std::filesystem::create_directories(f.Path("sub/deeper"));
    MacroStore nested{(f.dir.path() / "sub/deeper").string() + "/"};
    const std::string good = "2024_02_03_04_05_06_007";
    Put(f.Path("outside.mac"), MacroJson(3));
    Put(f.Path(good + ".mac"), MacroJson(2));
    Put(f.Path("sub/deeper/" + good + ".mac"), MacroJson(2));
    // The entries live in the nested folder, so "../../outside" would be f's outside.mac.
    Put(f.Path("sub/deeper/macro.config"), R"({"MacroInfo":[{"MacroName":"ok","Guid":")" + good +
                                               R"("},{"MacroName":"bad","Guid":)" + Json::valueToQuotedString(bad.c_str()) +
                                               R"(},{"MacroName":"after","Guid":")" + good + "\"}]}");
    const std::string outside = Slurp(f.Path("outside.mac"));
    ASSERT_EQ(nested.Entries().size(), 3u);
    EXPECT_FALSE(nested.Entries()[1].usable);
    EXPECT_EQ(nested.Events(1).size(), 0u) << "sent empty";
    EXPECT_EQ(nested.Events(2).size(), 2u) << "keeps its place: later numbers unchanged";
    EXPECT_FALSE(nested.Save(1, Json::Value(Json::arrayValue)));
    EXPECT_FALSE(nested.Export(1, (other.path() / "out.mac").string()));
    EXPECT_FALSE(std::filesystem::exists(other.path() / "out.mac"));
    ASSERT_TRUE(nested.Remove(1));
    EXPECT_EQ(nested.Names(), (std::vector<std::string>{"ok", "after"}));
    EXPECT_EQ(Slurp(f.Path("outside.mac")), outside);
    EXPECT_TRUE(std::filesystem::exists(f.Path("sub/deeper/" + good + ".mac")));
  }
}

TEST(MacroStore, StoredEventsReadAsTheDeviceSendsThem) {
  struct Case {
    const char* event;
    MacroEvent expected;
  };
  const Case cases[] = {
      {R"({"Type":4,"Button":30,"Action":"down","Delay":"10"})", {10, true, 4, 30}},
      {R"({"Type":10,"Button":4,"Action":"up","Delay":"70000"})", {65535, false, 10, 4}},
      {R"({"Type":10,"Button":4,"Action":"up","Delay":70000})", {65535, false, 10, 4}},
      {R"({"Type":10,"Button":4,"Action":"down","Delay":65536})", {65535, true, 10, 4}},
      {R"({"Type":10,"Button":4,"Action":"down","Delay":-5})", {0, true, 10, 4}},
      {R"({"Type":10,"Button":4,"Action":"down","Delay":"12ab"})", {12, true, 10, 4}},
      {R"({"Type":10,"Button":4,"Action":"down","Delay":"x"})", {0, true, 10, 4}},
      {R"({"Type":9,"Button":2,"Action":"DOWN","Delay":99999999999999999999})", {65535, false, 9, 2}},
      {R"({"Type":1,"Button":1,"Action":"down"})", {0, true, 1, 1}},
      {R"(null)", {0, false, 0, 0}},
      {R"("text")", {0, false, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.event);
    EXPECT_EQ(DeviceEvent(profiles::ParseJson(c.event)), c.expected);
  }
}

}  // namespace
}  // namespace brimvex::macros::test
