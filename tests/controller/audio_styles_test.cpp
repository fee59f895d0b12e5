// "AudioFile.json": a missing, broken or Device-less user file gets the default (a broken one is
// kept aside first), one without "AudioLightInfo" leaves the styles as constructed, hostile
// values are kept to their range, and saving replaces only "Device".
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/audio_style_file.h"
#include "profiles/file_helpers.h"
#include "test_support/temp_dir.h"

namespace brimvex::app {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

std::vector<fs::path> KeptAside(const fs::path& folder) {
  std::vector<fs::path> found;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename().string().starts_with("AudioFile.json.broken-")) found.push_back(e.path());
  return found;
}

class AudioStyleFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_.user_path = (dir_.path() / "AudioFile.json").string();
    file_.default_path = (dir_.path() / "default.json").string();
    lighting::AudioStyleSet defaults;
    defaults.selected = 2;
    for (int i = 0; i < 4; ++i)
      defaults.styles[static_cast<std::size_t>(i)] = {std::string(lighting::kDefaultAudioStyleNames[static_cast<std::size_t>(i)]), i, i + 1, i + 2};
    Json::Value doc(Json::objectValue);
    lighting::WriteAudioStyles(defaults, doc["Device"]);
    ASSERT_TRUE(profiles::WriteJson(file_.default_path, doc));
    defaults_ = defaults;
  }
  test::TempDir dir_;
  AudioStyleFile file_;
  lighting::AudioStyleSet defaults_;
};

TEST_F(AudioStyleFileTest, AMissingBrokenOrDevicelessFileGetsTheDefaultAndABrokenOneIsKeptAside) {
  struct Case {
    const char* what;
    const char* user;  // nullptr: no file
    bool kept_aside;
  };
  const Case cases[] = {
      {"missing", nullptr, false},
      {"empty", "", false},
      {"cannot be parsed", "{\"Device\": {\"AudioLightInfo\": ", true},
      {"not an object", "[1, 2]", true},
      {"Device null", "{\"Device\": null, \"Mine\": 1}", true},
  };
  for (const Case& c : cases) {
    for (const auto& p : KeptAside(dir_.path())) fs::remove(p);
    fs::remove(file_.user_path);
    if (c.user != nullptr) Write(file_.user_path, c.user);
    const Json::Value device = LoadAudioStyleDevice(file_);
    EXPECT_EQ(lighting::ReadAudioStyles(device), defaults_) << c.what;
    EXPECT_EQ(Read(file_.user_path), Read(file_.default_path)) << c.what;
    const auto aside = KeptAside(dir_.path());
    ASSERT_EQ(aside.size(), c.kept_aside ? 1u : 0u) << c.what;
    if (c.kept_aside) {
      EXPECT_EQ(Read(aside[0]), c.user) << c.what;
    }
  }
}

TEST_F(AudioStyleFileTest, WithoutAudioLightInfoTheSetStaysAsConstructedAndValuesKeepTheirRange) {
  const std::string without = "{\"Device\": {\"Other\": 1}}";
  Write(file_.user_path, without);
  EXPECT_EQ(lighting::ReadAudioStyles(LoadAudioStyleDevice(file_)), lighting::AudioStyleSet{});
  EXPECT_EQ(Read(file_.user_path), without);  // used as it is, not replaced

  Write(file_.user_path,
        R"({"Device": {"AudioLightInfo": {"nAudioStyle": 7, "nStyleName1": 5, "nStyleName2": "mine",
            "nStyleR0": 12, "nStyleG0": -3, "nStyleB0": "4", "nStyleR1": 9, "nStyleG1": 0, "nStyleB1": 1}}})");
  const lighting::AudioStyleSet set = lighting::ReadAudioStyles(LoadAudioStyleDevice(file_));
  EXPECT_EQ(set.selected, 3);
  EXPECT_EQ(set.styles[0], (lighting::AudioStyle{"", 9, 0, 0}));
  EXPECT_EQ(set.styles[1], (lighting::AudioStyle{"mine", 9, 0, 1}));
  EXPECT_TRUE(KeptAside(dir_.path()).empty());
}

TEST_F(AudioStyleFileTest, SavingReplacesDeviceAndResetCopiesTheDefaultBack) {
  Write(file_.user_path, R"({"Device": {"Other": 1}, "Mine": "kept"})");
  Json::Value device = LoadAudioStyleDevice(file_);
  lighting::AudioStyleSet set;
  set.selected = 1;
  set.styles[1] = {"loud", 9, 1, 0};
  ASSERT_TRUE(SaveAudioStyles(file_, set, device));
  const Json::Value saved = profiles::ReadJson(file_.user_path);
  EXPECT_EQ(saved["Mine"].asString(), "kept");
  EXPECT_EQ(saved["Device"]["Other"].asInt(), 1);
  EXPECT_EQ(saved["Device"]["AudioLightInfo"]["nAudioStyle"].asInt(), 1);
  EXPECT_EQ(saved["Device"]["AudioLightInfo"]["nStyleName2"].asString(), "loud");
  EXPECT_EQ(lighting::ReadAudioStyles(LoadAudioStyleDevice(file_)), set);

  EXPECT_EQ(lighting::ReadAudioStyles(ResetAudioStyleFile(file_)), defaults_);
  EXPECT_EQ(Read(file_.user_path), Read(file_.default_path));
}

}  // namespace
}  // namespace brimvex::app
