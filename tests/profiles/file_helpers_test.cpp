#include "profiles/file_helpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/paths.h"
#include "platform/trace.h"
#include "test_support/temp_dir.h"

namespace brimvex::profiles {
namespace {

void WriteBytes(const std::filesystem::path& p, std::string_view bytes) {
  std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(ReadJson, EmptyOrBrokenFilesReadAsNull) {
  test::TempDir dir;
  WriteBytes(dir.path() / "open.json", "{");
  WriteBytes(dir.path() / "empty.json", "");
  WriteBytes(dir.path() / "deep.json", "{\"a\":" + std::string(5000, '[') + std::string(5000, ']') + "}");
  WriteBytes(dir.path() / "ok.json", "// kept\n{\"a\": [1, 2]}");
  platform::TraceCapture trace;
  EXPECT_TRUE(ReadJson((dir.path() / "open.json").string()).isNull());
  const auto empty = (dir.path() / "empty.json").string();
  EXPECT_TRUE(ReadJson(empty).isNull());
  EXPECT_TRUE(trace.Contains(empty));  // the path of an empty file is traced
  EXPECT_TRUE(ReadJson((dir.path() / "missing.json").string()).isNull());
  EXPECT_TRUE(ReadJson((dir.path() / "deep.json").string()).isNull()) << "nested past the reader's depth";
  EXPECT_EQ(ReadJson((dir.path() / "ok.json").string())["a"][1].asInt(), 2);
  EXPECT_TRUE(trace.Contains("readjsonFile 错误吗：："));
}

TEST(ReadTextFile, StopsAtTheFirstZeroByteAndGivesEmptyOnFailure) {
  test::TempDir dir;
  WriteBytes(dir.path() / "z", std::string_view("abc\0def", 7));
  EXPECT_EQ(ReadTextFile((dir.path() / "z").string()), "abc");
  EXPECT_EQ(ReadTextFile((dir.path() / "none").string()), "");
  EXPECT_EQ(ReadTextFile(dir.path().string()), "");  // a folder is not a file
}

TEST(WriteJson, WritesTheStyledTextAndOneMoreLineEnd) {
  test::TempDir dir;
  Json::Value v;
  v["b"] = 1;
  v["a"] = "x";
  const auto path = (dir.path() / "w.Json").string();
  ASSERT_TRUE(WriteJson(path, v));
  EXPECT_EQ(Slurp(path), "{\n   \"a\" : \"x\",\n   \"b\" : 1\n}\n\n");
}

TEST(WriteJson, AFailedWriteLeavesTheOldFileIntact) {
  test::TempDir dir;
  const auto folder = dir.path() / "device";
  std::filesystem::create_directory(folder);
  const auto path = (folder / "p.Json").string();
  Json::Value old;
  old["keep"] = true;
  ASSERT_TRUE(WriteJson(path, old));
  const std::string before = Slurp(path);
  // A folder without write permission: the temporary file cannot be made. Root ignores
  // permissions, so the write is also aimed through a path whose parent is a file.
  std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  platform::TraceCapture trace;
  Json::Value fresh;
  fresh["keep"] = false;
  const bool wrote = WriteJson(path, fresh);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  if (wrote) {
    GTEST_LOG_(INFO) << "running as root: permissions do not stop the write";
  } else {
    EXPECT_EQ(Slurp(path), before);
    EXPECT_TRUE(trace.Contains("WriteJson failed"));
  }
  EXPECT_FALSE(WriteJson((dir.path() / "device/p.Json/x.Json").string(), fresh));
  ASSERT_TRUE(WriteJson(path, old));
  EXPECT_EQ(Slurp(path), before);
}

TEST(TextHelpers, SplitNumberedNameHexWordFileTitle) {
  struct Case {
    std::string_view name;
    std::optional<std::pair<std::string, int>> expected;
  };
  const Case cases[] = {
      {"nounderscore", std::nullopt},
      {"key_", std::make_pair(std::string("key_"), 0)},
      {"color_option_12", std::make_pair(std::string("color_option_"), 12)},
      {"quelt_DPI_slider_3", std::make_pair(std::string("quelt_DPI_slider_"), 3)},
      {"light_7x", std::make_pair(std::string("light_"), 7)},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitNumberedName(c.name), c.expected) << c.name;

  EXPECT_EQ(HexWord(255), "000000FF");
  EXPECT_EQ(HexWord(0xDEADBEEF), "DEADBEEF");
  EXPECT_EQ(FileTitle("/home/u/.local/share/Brimvex/mouse/2024_01_02.Json"), "2024_01_02");
  EXPECT_EQ(FileTitle("XML\\DeviceXml\\mousedevice.xml"), "mousedevice");
  EXPECT_EQ(FileTitle("noext"), "noext");
}

TEST(TextHelpers, FromUtf8RepairsInvalidSequences) {
  EXPECT_EQ(FromUtf8("鼠标 ok"), "鼠标 ok");
  EXPECT_EQ(FromUtf8("a\xFF"
                     "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(FromUtf8("\xE9\xBC"), "\xEF\xBF\xBD\xEF\xBF\xBD");                  // truncated sequence
  EXPECT_EQ(FromUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");                  // overlong
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // surrogate
  EXPECT_EQ(ToUtf8("键盘"), "键盘");
}

TEST(Folders, FirstStartCreatesTheApplicationAndDeviceFolders) {
  test::TempDir dir;
  const auto saved = platform::GetEnv("XDG_DATA_HOME");
  platform::SetEnv("XDG_DATA_HOME", dir.path().string());
  const std::string app = GetApplicationFolder();
  const std::string mouse = GetDeviceFolder("mouse");
  platform::SetEnv("XDG_DATA_HOME", saved);
  EXPECT_EQ(app, dir.folder() + "Brimvex/");
  EXPECT_EQ(mouse, dir.folder() + "Brimvex/mouse/");
  EXPECT_TRUE(std::filesystem::is_directory(mouse));
  EXPECT_EQ(GetDefaultProfilePath("mouse"), GetProgramDataFolder() + "mouse.Json");
  EXPECT_EQ(GetProgramDataFolder().back(), '/');
}

TEST(FileDialogs, GoThroughTheCurrentChooser) {
  test::TempDir dir;
  WriteBytes(dir.path() / "m.mac", "x");
  platform::ScriptedFileChooser chooser;
  chooser.Answer((dir.path() / "m.mac").string());
  platform::SetCurrentFileChooser(&chooser);
  EXPECT_EQ(OpenFileDialog({{"Macro Files(*.mac)", "*.mac;"}}), (dir.path() / "m.mac").string());
  EXPECT_EQ(SaveFileDialog({{"Macro Files(*.mac)", "*.mac;"}}), std::nullopt);  // cancelled
  platform::SetCurrentFileChooser(nullptr);
}

}  // namespace
}  // namespace brimvex::profiles
