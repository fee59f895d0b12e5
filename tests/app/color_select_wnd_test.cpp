// The colour picker dialog run modally: its class and title, the colour chosen with okbtn, the
// opener's colour kept on a cancel, and the DPI check.
#include "app/color_select_wnd.h"

#include <gtest/gtest.h>

#include "lighting/palette_store.h"
#include "platform/paths.h"
#include "platform/trace.h"
#include "platform/ui/controls.h"
#include "platform/ui/headless_frontend.h"
#include "platform/ui/window.h"
#include "profiles/file_helpers.h"
#include "test_support/temp_dir.h"

namespace brimvex::app {
namespace {

class ColorSelectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_home_ = platform::GetEnv("XDG_DATA_HOME");
    platform::SetEnv("XDG_DATA_HOME", home_.folder());
    const std::string res = platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/";
    ASSERT_TRUE(resources_.LoadResource(res + "skin/"));
    resources_.SetLanguageFolder(res + "lang/");
    ASSERT_TRUE(resources_.LoadLanguage("lan_en.xml"));
  }
  void TearDown() override { platform::SetEnv("XDG_DATA_HOME", old_home_); }
  test::TempDir home_;
  std::optional<std::string> old_home_;
  ui::HeadlessFrontend frontend_;
  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
};

TEST_F(ColorSelectTest, OkGivesThePreviewsColourAndACancelKeepsTheOpeners) {
  struct Case {
    const char* preset;  // chosen first, or null
    const char* press;
    int code;
  };
  const Case cases[] = {{"color_option_3", "okbtn", 1}, {"color_option_3", "laterbtn", 0}, {nullptr, "closebtn", 0},
                        {nullptr, nullptr, 0}};
  for (const Case& c : cases) {
    std::uint32_t preset = 0;
    frontend_.SetModalHandler([&](ui::Window& w) {
      EXPECT_EQ(w.ClassName(), "ColorSelectWnd");
      EXPECT_EQ(w.Title(), "PalletDialog");
      EXPECT_FALSE(w.FindControl("7color_layout")->IsVisible());  // resolution colours: no 7-colour
      if (c.preset != nullptr) {
        preset = w.FindControl(c.preset)->BkColor();
        w.Find<ui::Option>(c.preset)->Activate();
      }
      if (c.press != nullptr) w.FindControl(c.press)->Activate();
    });
    ColorSelectArgs args;
    args.color = 0xFF102030;
    const ColorSelectResult r = OpenColorSelect(frontend_, resources_, factory_, args);
    EXPECT_EQ(r.code, c.code) << (c.press ? c.press : "-");
    EXPECT_EQ(r.color, c.code == 1 ? preset : 0xFF102030u);
  }
  // The preset chosen is in the store of the application folder.
  const auto store = lighting::ReadPaletteStore(
      profiles::ReadJson(lighting::PaletteStorePath(profiles::GetApplicationFolder())));
  EXPECT_EQ(store.preset_index, 3);
}

TEST_F(ColorSelectTest, DpiOutsideTheListFallsBackTo96) {
  for (const int dpi : {120, 100}) {
    platform::TraceCapture traces;
    int applied = 0;
    frontend_.SetModalHandler([&](ui::Window& w) { applied = w.Dpi(); });
    ColorSelectArgs args;
    args.dpi = dpi;
    OpenColorSelect(frontend_, resources_, factory_, args);
    EXPECT_EQ(applied, dpi == 120 ? 120 : 96);
    EXPECT_EQ(traces.Contains("SET_WND DPI SET ERROR"), dpi != 120);
  }
}

}  // namespace
}  // namespace brimvex::app
