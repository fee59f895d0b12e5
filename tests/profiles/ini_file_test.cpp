// main.ini and other profile files: names without regard to case, values trimmed, every other
// line kept as it was, atomic saves, unreadable files told apart from missing ones.
#include "profiles/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "test_support/temp_dir.h"

namespace brimvex::profiles {
namespace {

TEST(IniFile, ReadsValuesWithoutRegardToCase) {
  const IniFile ini(
      "; written by hand\r\n"
      "[Other]\r\n"
      "FLAGS=9\r\n"
      "[skinimage]\r\n"
      "  flags =  1 \r\n"
      "Image=\"common/a b.png\"\r\n"
      "noequals\r\n"
      "[SKINIMAGE]\r\n"
      "FLAGS=7\r\n");
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  };
  const Case cases[] = {
      {"SKINIMAGE", "FLAGS", "1"},             // first section of that name wins
      {"SkinImage", "image", "common/a b.png"},  // quotes removed
      {"OTHER", "flags", "9"},
      {"SKINIMAGE", "noequals", std::nullopt},
      {"SKINIMAGE", "COLOR", std::nullopt},
      {"MISSING", "FLAGS", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ini.Get(c.section, c.key), c.value) << c.section << "/" << c.key;
}

TEST(IniFile, SetChangesOnlyItsLine) {
  struct Case {
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
  };
  const Case cases[] = {
      // Existing key: the key keeps its spelling, the comment and the other section stay.
      {"; c\r\n[skinimage]\r\nFlags = 1\r\nIMAGE=x\r\n\r\n[Other]\r\nA=1\r\n", "SKINIMAGE", "FLAGS", "0",
       "; c\r\n[skinimage]\r\nFlags=0\r\nIMAGE=x\r\n\r\n[Other]\r\nA=1\r\n"},
      // New key: at the end of its section, before the blank line that precedes the next one.
      {"[SKINIMAGE]\nFLAGS=1\n\n[Other]\nA=1\n", "skinimage", "COLOR", "#FF3366CC",
       "[SKINIMAGE]\nFLAGS=1\nCOLOR=#FF3366CC\n\n[Other]\nA=1\n"},
      // New section at the end, also after a last line without its line end.
      {"[Other]\nA=1", "SKINIMAGE", "FLAGS", "2", "[Other]\nA=1\n[SKINIMAGE]\nFLAGS=2\n"},
      {"", "SKINIMAGE", "FLAGS", "0", "[SKINIMAGE]\nFLAGS=0\n"},
  };
  for (const Case& c : cases) {
    IniFile ini(c.before);
    ini.Set(c.section, c.key, c.value);
    EXPECT_EQ(ini.Text(), c.after) << c.before;
    EXPECT_EQ(ini.Get(c.section, c.key), c.value);
  }
}

TEST(IniFile, LoadAndSave) {
  test::TempDir dir;
  const std::string path = dir.folder() + "main.ini";
  auto missing = IniFile::Load(path);
  ASSERT_TRUE(missing.has_value());
  EXPECT_EQ(missing->Text(), "");
  missing->Set("SKINIMAGE", "FLAGS", "1");
  ASSERT_TRUE(missing->Save(path));
  auto again = IniFile::Load(path);
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(again->Get("skinimage", "flags"), "1");
  // A folder in the file's place cannot be read or replaced; nothing is lost.
  const std::string folder = dir.folder() + "folder.ini";
  std::filesystem::create_directory(folder);
  EXPECT_FALSE(IniFile::Load(folder).has_value());
  EXPECT_FALSE(IniFile().Save(folder));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  if (geteuid() != 0) {
    ::chmod(path.c_str(), 0);
    EXPECT_FALSE(IniFile::Load(path).has_value());
  }
}

}  // namespace
}  // namespace brimvex::profiles
