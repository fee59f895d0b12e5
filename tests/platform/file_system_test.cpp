#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/file_dialog.h"
#include "test_support/temp_dir.h"

namespace brimvex::platform {
namespace {

std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(WriteFileAtomically, ReplacesContentAndLeavesNoTemporaryFile) {
  test::TempDir dir;
  const auto path = dir.path() / "a.Json";
  ASSERT_TRUE(WriteFileAtomically(path.string(), "old"));
  ASSERT_TRUE(WriteFileAtomically(path.string(), "new content"));
  EXPECT_EQ(Slurp(path), "new content");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(WriteFileAtomically, FailureKeepsTheOldFile) {
  test::TempDir dir;
  const auto path = dir.path() / "a.Json";
  ASSERT_TRUE(WriteFileAtomically(path.string(), "old"));
  std::string error;
  // A target that is a folder cannot be replaced by a file.
  std::filesystem::create_directory(dir.path() / "folder");
  EXPECT_FALSE(WriteFileAtomically((dir.path() / "folder").string(), "x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(WriteFileAtomically((dir.path() / "missing/a.Json").string(), "x", &error));
  EXPECT_EQ(Slurp(path), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(ScriptedFileChooser, AppliesTheExistenceChecksOfTheDialog) {
  test::TempDir dir;
  const auto existing = dir.path() / "p.json";
  std::ofstream(existing) << "{}";
  ScriptedFileChooser chooser;
  chooser.Answer(existing.string());
  chooser.Answer((dir.path() / "missing.json").string());
  chooser.Answer((dir.path() / "new.json").string());
  chooser.Answer((dir.path() / "nofolder/new.json").string());
  chooser.Answer(std::nullopt);
  const FileFilter filter{{"Profile Files(*.json)", "*.json;"}};
  EXPECT_EQ(chooser.Choose(FileChooser::Mode::kOpen, filter), existing.string());
  EXPECT_EQ(chooser.Choose(FileChooser::Mode::kOpen, filter), std::nullopt);
  EXPECT_EQ(chooser.Choose(FileChooser::Mode::kSave, filter), (dir.path() / "new.json").string());
  EXPECT_EQ(chooser.Choose(FileChooser::Mode::kSave, filter), std::nullopt);
  EXPECT_EQ(chooser.Choose(FileChooser::Mode::kSave, filter), std::nullopt);
  EXPECT_EQ(chooser.ShownFilters().size(), 5u);
}

}  // namespace
}  // namespace brimvex::platform
