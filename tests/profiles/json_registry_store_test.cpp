// The JSON settings store: values survive a new store, names match without regard to case, a
// broken file is kept aside and read as empty, a failed write changes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "profiles/file_helpers.h"
#include "profiles/json_registry_store.h"
#include "test_support/temp_dir.h"

namespace brimvex::profiles {
namespace {

namespace fs = std::filesystem;
constexpr const char* kKey = "SOFTWARE\\Brimvex";

void Put(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

TEST(JsonRegistryStore, ValuesSurviveANewStoreAndIgnoreCase) {
  test::TempDir dir;
  const std::string path = (dir.path() / "Brimvex" / "registry.json").string();
  {
    JsonRegistryStore store(path);
    EXPECT_FALSE(store.WriteValue(kKey, "LANGUAGE", std::uint32_t{1}));  // no key yet
    ASSERT_TRUE(store.CreateKey(kKey));
    EXPECT_TRUE(store.WriteValue(kKey, "LANGUAGE", std::uint32_t{0xFFFFFFFF}));
    EXPECT_TRUE(store.WriteValue("software\\brimvex", "DisplayVersion", std::string("1.0.2.5")));
  }
  JsonRegistryStore again(path);
  EXPECT_TRUE(again.KeyExists("Software\\BRIMVEX"));
  EXPECT_EQ(again.ReadValue(kKey, "language"), platform::RegistryValue(std::uint32_t{0xFFFFFFFF}));
  EXPECT_EQ(again.ReadValue(kKey, "displayversion"), platform::RegistryValue(std::string("1.0.2.5")));
  const Json::Value root = ReadJson(path);
  EXPECT_EQ(root.getMemberNames(), std::vector<std::string>{kKey});
}

TEST(JsonRegistryStore, ValuesOfOtherTypesReadAsMissing) {
  test::TempDir dir;
  const fs::path path = dir.path() / "registry.json";
  Put(path, R"({"SOFTWARE\\Brimvex": {"a": -1, "b": 1.5, "c": [1], "d": 4294967296, "e": 7, "f": true},
               "other": 3})");
  JsonRegistryStore store(path.string());
  for (const char* name : {"a", "b", "c", "d", "f"}) EXPECT_FALSE(store.ReadValue(kKey, name)) << name;
  EXPECT_EQ(store.ReadValue(kKey, "e"), platform::RegistryValue(std::uint32_t{7}));
  EXPECT_FALSE(store.KeyExists("other"));
}

TEST(JsonRegistryStore, AnUnparsableFileIsKeptAsideAndReadAsEmpty) {
  test::TempDir dir;
  const fs::path path = dir.path() / "registry.json";
  Put(path, "{ not json");
  JsonRegistryStore store(path.string());
  EXPECT_FALSE(store.KeyExists(kKey));
  ASSERT_TRUE(store.CreateKey(kKey));
  ASSERT_TRUE(store.WriteValue(kKey, "LANGUAGE", std::uint32_t{1}));
  int broken = 0;
  for (const auto& e : fs::directory_iterator(dir.path())) {
    if (!e.path().filename().string().starts_with("registry.json.broken-")) continue;
    ++broken;
    EXPECT_EQ(ReadTextFile(e.path().string()), "{ not json");
  }
  EXPECT_EQ(broken, 1);
  EXPECT_EQ(JsonRegistryStore(path.string()).ReadValue(kKey, "LANGUAGE"), platform::RegistryValue(std::uint32_t{1}));
}

TEST(JsonRegistryStore, AFailedWriteChangesNothing) {
  test::TempDir dir;
  Put(dir.path() / "blocker", "a file where the folder should be");
  JsonRegistryStore store((dir.path() / "blocker" / "registry.json").string());
  EXPECT_FALSE(store.CreateKey(kKey));
  EXPECT_FALSE(store.KeyExists(kKey));
}

}  // namespace
}  // namespace brimvex::profiles
