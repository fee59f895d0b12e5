// The shipped skin builds with the real builder, holds the controls the program looks up, and
// its language files cover every key the layouts use.
#include <gtest/gtest.h>

#include <filesystem>
#include <pugixml.hpp>
#include <set>

#include "app/control_classes.h"
#include "platform/paths.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/list_controls.h"

namespace brimvex::ui {
namespace {

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources_.LoadResource(Resources() + "skin/")) << resources_.LastError();
    resources_.SetLanguageFolder(Resources() + "lang/");
    // The program's own classes (the device pages use them); those needing a context are left out.
    app::RegisterControlClasses(factory_);
  }
  ResourceManager resources_;
  ControlFactory factory_;
};

std::vector<std::string> LayoutFiles() {
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(Resources() + "skin/")) {
    if (e.path().extension() == ".xml" && e.path().filename() != "res.xml") files.push_back(e.path().string());
  }
  return files;
}

TEST_F(SkinTest, EveryLayoutFileBuilds) {
  const auto files = LayoutFiles();
  ASSERT_GE(files.size(), 4u);
  DialogBuilder builder(resources_, factory_);
  for (const auto& f : files) {
    const auto r = builder.Create(f);
    EXPECT_TRUE(r) << r.error;
  }
}

TEST_F(SkinTest, ResourceListMapsTheWindowKeys) {
  for (const char* key : {"XML_MAIN", "XML_MSG"}) {
    ASSERT_TRUE(resources_.Resources().contains(key)) << key;
    EXPECT_TRUE(std::filesystem::exists(resources_.ResolveFile(key))) << key;
  }
}

struct Expected {
  const char* key;
  std::vector<const char*> names;
};

TEST_F(SkinTest, LayoutsHoldTheControlsTheProgramLooksUp) {
  const std::vector<Expected> cases = {
      {"XML_MAIN",
       {"root", "closebtn", "maxbtn", "restorebtn", "minbtn", "skinbtn", "gamemodebtn", "cloudbtn", "smarteyesbtn",
        "setbtn", "device_select_layout", "device_switch", "device_power_switch", "No_device_Link",
        "control_light_status", "device_select_prev", "device_select_next", "logo_btn", "setting_progress"}},
      {"XML_MSG", {"MessageTitle", "MessageText", "confirm_btn", "cancel_btn", "closebtn"}},
      {"menu.xml", {"exit", "about_menu", "setwnd_menu"}},
      {"XML_ABOUT", {"about_version", "closebtn"}},
  };
  DialogBuilder builder(resources_, factory_);
  for (const auto& c : cases) {
    Window w(c.key, &resources_, nullptr);
    std::string error;
    ASSERT_TRUE(builder.BuildWindow(w, c.key, &error)) << error;
    for (const char* name : c.names) EXPECT_NE(w.FindControl(name), nullptr) << c.key << ": " << name;
  }
}

TEST_F(SkinTest, WindowsHaveTheirSizes) {
  DialogBuilder builder(resources_, factory_);
  for (const char* key : {"XML_MAIN", "XML_ABOUT"}) {
    Window w(key, &resources_, nullptr);
    ASSERT_TRUE(builder.BuildWindow(w, key, nullptr));
    EXPECT_EQ(w.Attributes().width, 800) << key;
    EXPECT_EQ(w.Attributes().height, 572) << key;
  }
  Window main("MainWnd", &resources_, nullptr);
  ASSERT_TRUE(builder.BuildWindow(main, "XML_MAIN", nullptr));
  EXPECT_EQ(main.Title(), "Brimvex");
  // The page area starts on its empty page, which carries the hint.
  auto* pages = main.Find<TabLayout>("device_switch");
  ASSERT_NE(pages, nullptr);
  EXPECT_EQ(pages->CurrentSel(), 0);
  EXPECT_NE(Window::FindSubControlByName(pages->ChildAt(0), "No_device_Link"), nullptr);
  EXPECT_NE(main.Find<Container>("device_select_layout"), nullptr);
  EXPECT_NE(main.Find<Progress>("setting_progress"), nullptr);
}

TEST_F(SkinTest, MenuItemsAreMenuElements) {
  DialogBuilder builder(resources_, factory_);
  auto r = builder.Create("menu.xml");
  ASSERT_TRUE(r) << r.error;
  for (const char* name : {"exit", "about_menu", "setwnd_menu"})
    EXPECT_NE(dynamic_cast<MenuElement*>(r.root->FindControl(name)), nullptr) << name;
}

TEST_F(SkinTest, LanguageSwitchRetranslatesBuiltWindows) {
  DialogBuilder builder(resources_, factory_);
  Window w("MainWnd", &resources_, nullptr);
  ASSERT_TRUE(resources_.LoadLanguage("lan_cn.xml")) << resources_.LastError();
  ASSERT_TRUE(builder.BuildWindow(w, "XML_MAIN", nullptr));
  Control* hint = w.FindControl("No_device_Link_text");
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->Text(), "未检测到设备，请连接设备");
  ASSERT_TRUE(resources_.LoadLanguage("lan_en.xml"));
  resources_.ReloadText();
  EXPECT_EQ(hint->Text(), "No device found. Please connect a device.");
  EXPECT_EQ(w.FindControl("minbtn")->ToolTip(), "Minimise");
}

TEST_F(SkinTest, EveryImageTheLayoutsNameExists) {
  for (const auto& f : LayoutFiles()) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(f.c_str()));
    for (const auto& n : doc.select_nodes("//*")) {
      for (const auto& a : n.node().attributes()) {
        if (!std::string_view(a.name()).ends_with("image")) continue;
        EXPECT_TRUE(std::filesystem::exists(Resources() + "skin/" + a.value())) << f << ": " << a.value();
      }
    }
  }
}

}  // namespace
}  // namespace brimvex::ui

#include "platform/ui/layout_engine.h"

namespace brimvex::ui {
namespace {

TEST_F(SkinTest, MainWindowLayoutAtBothDpis) {
  DialogBuilder builder(resources_, factory_);
  Window w("MainWnd", &resources_, nullptr);
  ASSERT_TRUE(builder.BuildWindow(w, "XML_MAIN", nullptr));
  struct Case {
    int dpi;
    Rect close;
    Rect strip_prev;
  };
  for (const Case c : {Case{96, {760, 0, 40, 40}, {0, 0, 32, 96}}, Case{144, {1140, 0, 60, 60}, {0, 0, 48, 144}}}) {
    LayoutMap map;
    ComputeLayout(*w.Root(), Rect{0, 0, 800 * c.dpi / 96, 572 * c.dpi / 96}, c.dpi, map);
    const Rect close = map.at(w.FindControl("closebtn"));
    EXPECT_EQ(std::tie(close.x, close.y, close.width, close.height),
              std::tie(c.close.x, c.close.y, c.close.width, c.close.height))
        << c.dpi;
    const Rect prev = map.at(w.FindControl("device_select_prev"));
    EXPECT_EQ(std::tie(prev.x, prev.width, prev.height),
              std::tie(c.strip_prev.x, c.strip_prev.width, c.strip_prev.height))
        << c.dpi;
    // Hidden title-bar buttons take no space.
    EXPECT_EQ(map.at(w.FindControl("maxbtn")).width, 0);
  }
}

}  // namespace
}  // namespace brimvex::ui
