// The light editor over its shipped layout: showing a record puts every field into its control
// and applies the rules without a single notification, and its getters read the controls back.
#include "lighting/light_control_ui.h"

#include <gtest/gtest.h>

#include "lighting/audio_record_ui.h"
#include "platform/headless_event_loop.h"
#include "platform/trace.h"
#include "platform/paths.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/window.h"

namespace brimvex::lighting {
namespace {

class Count final : public ui::Notifier {
 public:
  void Notify(ui::Notification&) override { ++seen; }
  int seen = 0;
};

// The editor over its shipped layout in a window, with a count of the notifications it raises.
class ShownLightControlUI : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources.LoadResource(platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/skin/"));
    factory.Register("CAudioRecordUI", [] { return std::make_unique<CAudioRecordUI>(); });
    ui::DialogBuilder builder(resources, factory);
    auto built = builder.Create(kLightControlLayout);
    ASSERT_TRUE(built) << built.error;
    auto editor = std::make_unique<CLightControlUI>();
    e = editor.get();
    e->Add(std::move(built.root));
    window.AttachRoot(std::move(editor));
    window.AddNotifier(&count);
  }
  void TearDown() override { window.RemoveNotifier(&count); }

  ui::ResourceManager resources;
  ui::ControlFactory factory;
  platform::HeadlessEventLoop loop;
  ui::Window window{"Test", &resources, &loop};
  Count count;
  CLightControlUI* e = nullptr;
};

TEST_F(ShownLightControlUI, ShowingARecordRaisesNoNotificationAndTheGettersReadItBack) {

  e->SetDeviceType(1);
  std::vector<std::string> names(31, "light_mode_static");
  std::vector<bool> visible(31, true);
  visible[20] = false;
  e->FillModeList(names, visible, 4, 4);
  e->SetSameModeAllowed(true);
  profiles::LightInfo info;
  info.mode = 6;
  info.brightness = 3;
  info.speed = 1;
  info.direction = 0;
  info.multi_color = 1;
  info.red = 1, info.green = 2, info.blue = 3;
  info.zzcc_mode = 2;
  e->ShowLightInfo(info);
  EXPECT_EQ(count.seen, 0);
  EXPECT_EQ(e->GetMode(), 6);
  EXPECT_EQ(e->GetBrightness(), 3);
  EXPECT_EQ(e->GetSpeed(), 1);
  EXPECT_EQ(e->GetDirection(), 0);
  EXPECT_TRUE(e->Get7Color());
  EXPECT_EQ(e->GetColorText(1), "2");
  EXPECT_EQ(e->GetPaletteColor(), 0xFF010203u);
  EXPECT_EQ(e->GetZzcc(), 2);
  EXPECT_EQ(window.FindControl("deng_colordp_btn")->BkColor(), 0xFF010203u);
  EXPECT_TRUE(window.FindControl("deng_same_mode")->IsVisible());   // mode 6, two devices
  EXPECT_FALSE(window.FindControl("deng_speed_layout")->IsEnabled());  // mode 6 has no speed
  // A hidden entry still holds its index.
  info.mode = 20;
  e->ShowLightInfo(info);
  EXPECT_EQ(e->GetMode(), 20);
  EXPECT_FALSE(window.FindControl("deng_light_layout")->IsEnabled());
  EXPECT_FALSE(window.FindControl("deng_same_mode")->IsVisible());
  // Past the list: no selection.
  info.mode = 40;
  e->ShowLightInfo(info);
  EXPECT_EQ(e->GetMode(), -1);
  EXPECT_EQ(count.seen, 0);
}

TEST_F(ShownLightControlUI, TheAudioRecordShowsItsTargetColourAndReadsBackWithoutNotifications) {
  const auto checked = [&](const char* name) { return window.Find<ui::CheckBox>(name)->IsChecked(); };

  // Foreground target: its colour everywhere, 7-colour from byte 7.
  ASSERT_TRUE(e->ShowAudioLightInfo({4, 1, 2, 3, 10, 20, 30, 1, 1}));
  EXPECT_TRUE(checked("audio_FgColor_check"));
  EXPECT_FALSE(checked("audio_BkColor_check"));
  EXPECT_TRUE(checked("deng_7audiocolor_check"));
  EXPECT_EQ(e->GetAudioColorText(0) + " " + e->GetAudioColorText(1) + " " + e->GetAudioColorText(2), "10 20 30");
  EXPECT_EQ(e->GetAudioColorText(3), "");
  EXPECT_EQ(e->GetAudioPaletteColor(), 0xFF0A141Eu);
  EXPECT_EQ(window.FindControl("deng_audiocolordp_btn")->BkColor(), 0xFF0A141Eu);
  EXPECT_EQ(e->GetAudioPresetColor(5), 0xFF0000FFu);
  EXPECT_EQ(e->GetAudioPresetColor(8), 0u);
  EXPECT_EQ(e->GetAudioLightInfo(false), (profiles::AudioLightInfo{4, 1, 2, 3, 10, 20, 30, 1, 1}));
  // The shown colour goes into the target when asked for.
  window.FindControl("deng_audiocolordp_btn")->SetBkColor(0xFF405060);
  EXPECT_EQ(e->GetAudioLightInfo(true), (profiles::AudioLightInfo{4, 1, 2, 3, 0x40, 0x50, 0x60, 1, 1}));
  // Background target in audio mode 3: the background's colour, the colour groups locked.
  ASSERT_TRUE(e->ShowAudioLightInfo({3, 1, 2, 3, 10, 20, 30, 0, 0}));
  EXPECT_FALSE(checked("audio_FgColor_check"));
  EXPECT_TRUE(checked("audio_BkColor_check"));
  EXPECT_EQ(e->GetAudioColorText(0) + " " + e->GetAudioColorText(2), "1 3");
  EXPECT_FALSE(window.FindControl("light_audiocolor_layout")->IsEnabled());
  EXPECT_FALSE(window.FindControl("audiocolorpallet_layout")->IsEnabled());
  EXPECT_EQ(e->GetAudioLightInfo(false)->audio_mode, 3);
  EXPECT_EQ(count.seen, 0);
}

TEST(LightControlUI, AnEditorWithoutTheAudioControlsTracesAndKeepsToNeutralValues) {
  platform::TraceCapture traces;
  CLightControlUI bare;
  EXPECT_FALSE(bare.ShowAudioLightInfo({1, 1, 2, 3, 4, 5, 6, 0, 1}));
  EXPECT_TRUE(traces.Contains(" SetAudioLightInfo control is NULL"));
  EXPECT_EQ(bare.GetAudioLightInfo(true), std::nullopt);
  EXPECT_TRUE(traces.Contains("GetAudioLightInfo control is NULL"));
  EXPECT_EQ(bare.GetAudioPaletteColor(), 0xFF000000u);
  EXPECT_EQ(bare.GetAudioPresetColor(0), 0u);
  EXPECT_EQ(bare.GetAudioColorText(0), "");
}

TEST(LightControlUI, TypedColours) {
  struct Case {
    const char* text;
    int value;
    bool rewrite;
  };
  const Case cases[] = {{"300", 255, true}, {"", 0, true},   {"-5", 0, true},  {"42", 42, false},
                        {"7x", 7, true},    {"0", 0, false}, {"99999999999", 255, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const TypedColor t = ReadTypedColor(c.text);
    EXPECT_EQ(t.value, c.value);
    EXPECT_EQ(t.rewrite, c.rewrite);
  }
}

}  // namespace
}  // namespace brimvex::lighting
