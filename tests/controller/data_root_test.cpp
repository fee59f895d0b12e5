// The emulated products keep their files apart: with the emulated data root every per-device
// folder lies under Brimvex/emulated/, and a run over the emulated set writes nothing outside it.
#include <gtest/gtest.h>

#include <filesystem>

#include "discovery/controller_fixture.h"
#include "profiles/file_helpers.h"
#include "test_support/temp_dir.h"

namespace brimvex::app::test {
namespace {

class DataRootTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    saved_ = platform::GetEnv("XDG_DATA_HOME");
    platform::SetEnv("XDG_DATA_HOME", home_.path().string());
  }
  void TearDown() override {
    ControllerFixture::TearDown();
    profiles::SetEmulatedDeviceData(false);
    platform::SetEnv("XDG_DATA_HOME", saved_);
  }
  brimvex::test::TempDir home_;
  std::optional<std::string> saved_;
};

TEST_F(DataRootTest, OneFunctionDecidesWherePerDeviceFilesLive) {
  const std::string app = home_.folder() + "Brimvex/";
  EXPECT_EQ(profiles::GetDeviceDataRoot(), app);
  EXPECT_EQ(profiles::GetDeviceFolder("mouse"), app + "mouse/");
  profiles::SetEmulatedDeviceData(true);
  EXPECT_EQ(profiles::GetDeviceDataRoot(), app + "emulated/");
  EXPECT_EQ(profiles::GetDeviceFolder("mouse"), app + "emulated/mouse/");
  EXPECT_TRUE(std::filesystem::is_directory(app + "emulated/mouse/"));
  // Program-wide files stay where they were.
  EXPECT_EQ(profiles::GetApplicationFolder(), app);
}

TEST_F(DataRootTest, TheEmulatedSetWritesNothingOutsideItsFolder) {
  profiles::SetEmulatedDeviceData(true);
  StartConnected({Product::kKeyboard, Product::kMouse, Product::kMousePad, Product::kHeadset});
  Advance(Millis(6000));  // frames, power reads, the first settled seconds
  wnd_->Exit();
  wnd_.reset();
  const std::filesystem::path emulated = home_.path() / "Brimvex" / "emulated";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home_.path())) {
    if (entry.is_directory()) continue;
    // Program-wide files (the audio styles) belong to the application folder in every run.
    if (entry.path() == home_.path() / "Brimvex" / "AudioFile.json") continue;
    const auto relative = entry.path().lexically_relative(emulated);
    EXPECT_FALSE(relative.empty() || *relative.begin() == "..") << entry.path();
  }
}

}  // namespace
}  // namespace brimvex::app::test
