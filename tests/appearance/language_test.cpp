// The interface language: the first start follows the desktop's locale, the stored identifier
// finds its entry wherever it sits in the list, the font face follows the language index, and
// choosing the current language changes and writes nothing.
#include <gtest/gtest.h>

#include <fstream>

#include "appearance/font_table.h"
#include "appearance/language_list.h"
#include "appearance/language_switcher.h"
#include "test_support/env_scope.h"
#include "test_support/memory_registry_store.h"
#include "platform/paths.h"
#include "platform/trace.h"
#include "test_support/temp_dir.h"

namespace brimvex::appearance {
namespace {

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

class LanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resources_.SetLanguageFolder(Resources() + "lang/");
    list_ = ReadLanguageList(Resources() + "DefaultData/Language.config");
  }
  ui::ResourceManager resources_;
  test::MemoryRegistryStore store_;
  std::vector<LanguageEntry> list_;
};

TEST_F(LanguageTest, ShippedListHasChineseFirstAndEnglishSecond) {
  ASSERT_EQ(list_.size(), 2u);
  EXPECT_EQ(list_[0].name, "Chinese");
  EXPECT_EQ(list_[0].file, "lan_cn.xml");
  EXPECT_EQ(list_[0].id, kChineseId);
  EXPECT_EQ(list_[1].name, "English");
  EXPECT_EQ(list_[1].file, "lan_en.xml");
  EXPECT_EQ(list_[1].id, kEnglishId);
}

TEST_F(LanguageTest, FirstStartFollowsTheLocaleAndStoresTheChoice) {
  struct Case {
    std::optional<std::string> lc_all, lc_messages, lang;
    int index;
    const char* face;
    const char* hint;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, "C", 1, kLatinFace, "No device found. Please connect a device."},
      {std::nullopt, std::nullopt, "en_GB.UTF-8", 1, kLatinFace, "No device found. Please connect a device."},
      {std::nullopt, std::nullopt, "zh_CN.UTF-8", 0, kChineseFace, "未检测到设备，请连接设备"},
      {std::nullopt, std::nullopt, std::nullopt, 1, kLatinFace, "No device found. Please connect a device."},
      // LC_ALL before LC_MESSAGES before LANG; an empty one does not count.
      {"zh_TW.UTF-8", "en_US.UTF-8", "en_US.UTF-8", 0, kChineseFace, "未检测到设备，请连接设备"},
      {"", "zh_CN.UTF-8", "C", 0, kChineseFace, "未检测到设备，请连接设备"},
  };
  for (const Case& c : cases) {
    test::EnvScope locale(test::Locale(c.lc_all, c.lc_messages, c.lang));
    test::MemoryRegistryStore store;
    ui::ResourceManager resources;
    resources.SetLanguageFolder(Resources() + "lang/");
    LanguageSwitcher language(resources, &store, list_);
    platform::TraceCapture traces;
    const int index = language.SavedIndex();
    EXPECT_EQ(index, c.index) << c.lang.value_or("unset");
    ASSERT_TRUE(language.Apply(index));
    EXPECT_EQ(resources.DefaultFont().face, c.face);
    EXPECT_EQ(resources.Text("No_device_Link"), c.hint);
    // Stored, so the next start keeps it whatever the locale says then.
    const auto stored = store.ReadValue(kLanguageKey, kLanguageValue);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(std::get<std::uint32_t>(*stored), list_[static_cast<std::size_t>(c.index)].id);
    EXPECT_TRUE(traces.Contains("写成功！"));
  }
}

TEST_F(LanguageTest, StoredIdentifierWinsAndAStringFallsBackToTheLocale) {
  test::EnvScope locale(test::Locale(std::nullopt, std::nullopt, "zh_CN.UTF-8"));
  store_.CreateKey(kLanguageKey);
  struct Case {
    platform::RegistryValue stored;
    int index;
  };
  const Case cases[] = {
      {std::uint32_t{1033}, 1},
      {std::uint32_t{520}, 0},
      {std::uint32_t{7777}, 0},       // an identifier no entry has: the first entry
      {std::string("1033"), 0},       // not a number: as if nothing were stored
  };
  for (const Case& c : cases) {
    store_.WriteValue(kLanguageKey, kLanguageValue, c.stored);
    LanguageSwitcher language(resources_, &store_, list_);
    EXPECT_EQ(language.SavedIndex(), c.index);
  }
}

TEST_F(LanguageTest, ReorderedListFindsTheSameLanguage) {
  store_.CreateKey(kLanguageKey);
  store_.WriteValue(kLanguageKey, kLanguageValue, std::uint32_t{1033});
  test::TempDir dir;
  const std::string path = dir.folder() + "Language.config";
  std::ofstream(path) << R"({"Language": [
      {"Language_name": "Thai", "Language_file": "lan_th.xml", "Language_ID": 1054, "Language_text": "t"},
      {"Language_name": "English", "Language_file": "lan_en.xml", "Language_ID": 1033, "Language_text": "e"},
      {"Language_name": "Chinese", "Language_file": "lan_cn.xml", "Language_ID": 520, "Language_text": "c"}]})";
  LanguageSwitcher language(resources_, &store_, ReadLanguageList(path));
  EXPECT_EQ(language.SavedIndex(), 1);
}

TEST_F(LanguageTest, FaceFollowsTheIndexAndTheCurrentLanguageWritesNothing) {
  // Sixteen entries; only the index decides the face.
  std::vector<LanguageEntry> sixteen;
  for (std::uint32_t i = 0; i < 16; ++i) sixteen.push_back({i % 2 == 0 ? "Chinese" : "English",
                                                           i % 2 == 0 ? "lan_cn.xml" : "lan_en.xml", 100 + i, "k"});
  LanguageSwitcher language(resources_, &store_, sixteen);
  ASSERT_TRUE(language.Apply(0));
  EXPECT_EQ(resources_.DefaultFont().face, kChineseFace);
  struct Step {
    int next;
    const char* face;  // nullptr: the table stays as it was
  };
  for (const Step s : {Step{5, kLatinFace}, Step{7, nullptr}, Step{15, kThaiFace}, Step{2, kTraditionalChineseFace}}) {
    // A marker row shows whether the table was rebuilt.
    resources_.AddFont(ui::FontSpec{99, "marker", 9});
    const std::string before = resources_.DefaultFont().face;
    ASSERT_TRUE(language.Apply(s.next));
    EXPECT_EQ(language.Current(), s.next);
    EXPECT_EQ(resources_.DefaultFont().face, s.face != nullptr ? s.face : before) << s.next;
    EXPECT_EQ(resources_.Font(99).face, s.face != nullptr ? resources_.DefaultFont().face : "marker") << s.next;
  }
  // The table itself: every row in the current face.
  EXPECT_EQ(resources_.Fonts().size(), FontTableRows().size() - 1);
  EXPECT_EQ(resources_.Font(3).size, 30);
  EXPECT_TRUE(resources_.Font(1).underline);
  EXPECT_TRUE(resources_.Font(50).bold);
  EXPECT_EQ(resources_.Font(50).face, kTraditionalChineseFace);

  const int writes = store_.writes;
  platform::TraceCapture traces;
  EXPECT_FALSE(language.Apply(2));
  EXPECT_EQ(store_.writes, writes);
  EXPECT_FALSE(traces.Contains("写成功！"));
}

TEST_F(LanguageTest, NamesAndIndexesFindEntries) {
  struct Case {
    const char* words;
    std::optional<int> index;
  };
  for (const Case c : {Case{"English", 1}, Case{"english", 1}, Case{"CHINESE", 0}, Case{"1", 1}, Case{"0", 0},
                       Case{"2", std::nullopt}, Case{"-1", std::nullopt}, Case{"Klingon", std::nullopt},
                       Case{"", std::nullopt}})
    EXPECT_EQ(FindLanguage(list_, c.words), c.index) << c.words;
}

TEST_F(LanguageTest, BrokenListsReadAsEmptyOrKeepPositions) {
  test::TempDir dir;
  struct Case {
    const char* text;
    std::size_t entries;
  };
  for (const Case c : {Case{"", 0}, Case{"{broken", 0}, Case{"[1, 2]", 0}, Case{R"({"Language": 5})", 0},
                       Case{R"({"Language": [7, {"Language_name": 3, "Language_ID": "x"}, {}]})", 3}}) {
    const std::string path = dir.folder() + "Language.config";
    std::ofstream(path, std::ios::trunc) << c.text;
    const auto list = ReadLanguageList(path);
    EXPECT_EQ(list.size(), c.entries) << c.text;
    for (const auto& e : list) EXPECT_EQ(e.id, 0u);
  }
}

}  // namespace
}  // namespace brimvex::appearance
