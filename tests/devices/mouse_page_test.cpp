// The mouse page as shipped: the mouse's buttons where they sit, each named, its lights, the
// stage controls and what they show of the profile, and the last enabled stage kept on.
#include <gtest/gtest.h>

#include "devices/device_key_button.h"
#include "devices/key_set_control_ui.h"
#include "devices/mouse_rig.h"
#include "lighting/light_control_ui.h"
#include "macros/macro_control_ui.h"
#include "macros/shoot_control_ui.h"
#include "platform/ui/container.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_controls.h"

namespace brimvex::devices::test {
namespace {

using profiles::StageRecord;

template <typename T>
T* Find(MouseRig& m, const std::string& name) {
  return dynamic_cast<T*>(m.device().FindControl(name));
}
std::string N(const char* prefix, int n) { return prefix + std::to_string(n); }

TEST(MousePage, ButtonsSitApartOnThePictureEachNamed) {
  MouseRig m;
  ASSERT_TRUE(m.page_built);
  const ui::Container* panel = m.device().SelectPanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->Name(), "mouse_device_key_light");
  const char* names[] = {"left", "right", "wheel", "forward", "back", "dpi_up",
                         "dpi_down", "dpi_cycle", "gm", "shift", "fire"};
  for (int a = 0; a < kMousePageKeys; ++a) {
    const CDeviceKeyButtonUI* key = m.device().KeyButton(a);
    ASSERT_NE(key, nullptr) << a;
    EXPECT_EQ(key->TextKey(), std::string("mouse_pic_") + names[a]);
    const ui::Rect& p = key->FloatPos();
    EXPECT_LE(p.x + p.width, panel->FixedWidth()) << a;
    EXPECT_LE(p.y + p.height, panel->FixedHeight()) << a;
    for (int b = a + 1; b < kMousePageKeys; ++b) {
      const ui::Rect& q = m.device().KeyButton(b)->FloatPos();
      EXPECT_TRUE(p.x + p.width <= q.x || q.x + q.width <= p.x || p.y + p.height <= q.y || q.y + q.height <= p.y)
          << a << " and " << b;
    }
  }
  // Left of right, the wheel between them; forward above back on the side.
  auto pos = [&](int k) { return m.device().KeyButton(k)->FloatPos(); };
  EXPECT_LT(pos(0).x, pos(2).x);
  EXPECT_LT(pos(2).x, pos(1).x);
  EXPECT_LT(pos(3).y, pos(4).y);
  for (int l = 0; l < kMouseLights; ++l) EXPECT_NE(m.device().LightButton(l), nullptr) << l;
  auto* editor = Find<CKeySetControlUI>(m, "KeySetControlItem");
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->DeviceKind(), kDeviceMouse);
}

// The function tabs' types show the page's editors in the keyboard's order.
TEST(MousePage, FunctionSwitchTypesShowTheirEditors) {
  MouseRig m;
  ASSERT_TRUE(m.page_built);
  auto* outer = Find<ui::TabLayout>(m, "device_function_switch");
  auto* inner = Find<ui::TabLayout>(m, "device_key_function_switch");
  ASSERT_NE(outer, nullptr);
  ASSERT_NE(inner, nullptr);
  struct Case {
    int type;
    const char* shown;
  };
  const Case cases[] = {{1, "LightControlItem"}, {2, "KeySetControlItem"}, {3, "MacroControlItem"},
                        {4, "mouse_system_page"}, {7, "ShootControlItem"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    m.device().ShowFunctionSwitch(c.type);
    ui::Control* page = outer->ChildAt(static_cast<std::size_t>(outer->CurrentSel()));
    if (page == inner) page = inner->ChildAt(static_cast<std::size_t>(inner->CurrentSel()));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Name(), c.shown);
  }
  EXPECT_NE(Find<lighting::CLightControlUI>(m, "LightControlItem"), nullptr);
  EXPECT_NE(Find<macros::CMacroControlUI>(m, "MacroControlItem"), nullptr);
  EXPECT_NE(Find<macros::CShootControlUI>(m, "ShootControlItem"), nullptr);
  EXPECT_FALSE(Find<ui::Control>(m, "device_tishi_info")->IsVisible());
}

TEST(MousePage, RefreshShowsTheProfile) {
  MouseRig m;
  ASSERT_TRUE(m.Open());
  ASSERT_EQ(m.Sync(), hid::RESULT_OK);
  ASSERT_TRUE(m.device().StoreStages({{1, 0, 48, 48, 0x12, 0x34, 0x56}, {0, 0, 49, 49, 0, 0, 0}, {1, 0, 0, 0, 0, 0, 0}}));
  ASSERT_TRUE(m.device().StoreActiveStage(0));
  auto p = m.device().PointerOptions();
  p.report_rate_index = 2;
  ASSERT_TRUE(m.device().StorePointerOptions(p));
  m.device().RefreshPage();
  EXPECT_EQ(Find<ui::Slider>(m, "DPI_slider_0")->Value(), 48);
  EXPECT_EQ(Find<ui::Slider>(m, "DPI_slider_0")->MaxValue(), 120);
  EXPECT_EQ(Find<ui::Control>(m, "DPI_edit_0")->Text(), "2450");
  EXPECT_EQ(Find<ui::Control>(m, "DPI_edit_1")->Text(), "2650");
  EXPECT_EQ(m.device().GetStageColor(0), 0xFF123456u);
  EXPECT_FALSE(Find<ui::Control>(m, "DPI_layout_1")->IsEnabled());
  EXPECT_TRUE(Find<ui::Option>(m, "DPI_select_check_0")->IsSelected());
  EXPECT_FALSE(Find<ui::Option>(m, "DPI_enable_check_0")->IsEnabled()) << "the active stage stays on";
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Find<ui::Option>(m, N("polling_rate_option_", i))->IsSelected(), i == 2) << i;
  Find<ui::Control>(m, "DPI_edit_2")->SetText("6000");
  EXPECT_EQ(m.device().GetStageValueFromEdit(2), 65);
}

TEST(MousePage, TheLastEnabledStageCannotBeTurnedOff) {
  MouseRig m;
  ASSERT_TRUE(m.page_built);
  for (int n = 0; n < 5; ++n) m.device().SetStageEnabled(n, n == 2 || n == 4);
  m.device().SetStageEnabled(2, false);
  EXPECT_FALSE(Find<ui::Option>(m, "DPI_enable_check_2")->IsSelected());
  EXPECT_FALSE(Find<ui::Control>(m, "DPI_layout_2")->IsEnabled());
  EXPECT_TRUE(Find<ui::Option>(m, "DPI_enable_check_4")->IsSelected());
  EXPECT_FALSE(Find<ui::Option>(m, "DPI_enable_check_4")->IsEnabled());
  m.device().SetStageEnabled(1, true);
  for (int n = 0; n < 5; ++n) EXPECT_TRUE(Find<ui::Option>(m, N("DPI_enable_check_", n))->IsEnabled()) << n;
}

TEST(MousePage, SettingsPagesAndReportRateChoices) {
  MouseRig m;
  ASSERT_TRUE(m.page_built);
  auto* pages = Find<ui::TabLayout>(m, "mouse_device_seting_layout");
  ASSERT_NE(pages, nullptr);
  struct Case {
    int asked, shown;
  };
  for (const Case c : {Case{1, 1}, Case{2, 2}, Case{7, 0}, Case{-1, 0}}) {
    m.device().SelectSettingsPage(c.asked);
    EXPECT_EQ(pages->CurrentSel(), c.shown) << c.asked;
    EXPECT_TRUE(Find<ui::Option>(m, N("mouse_device_seting_option_", c.shown))->IsSelected()) << c.asked;
  }
  m.device().SetReportRate(9);
  EXPECT_TRUE(Find<ui::Option>(m, "polling_rate_option_0")->IsSelected());
  m.device().SetReportRate(4);
  EXPECT_TRUE(Find<ui::Option>(m, "polling_rate_option_4")->IsSelected());
  EXPECT_FALSE(Find<ui::Option>(m, "polling_rate_option_0")->IsSelected());
}

}  // namespace
}  // namespace brimvex::devices::test
