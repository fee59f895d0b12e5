// The light editor's audio controls on the main window over an emulated keyboard: each edit
// changes the keyboard's audio record, shows it and saves it in the profile; audio mode 3 locks
// the colour groups; the record's background reaches the keyboard's live frame in mode 29.
#include <functional>

#include "app/audio_capture_protocol.h"
#include "devices/usb_device.h"
#include "lighting/audio_record_ui.h"
#include "discovery/controller_fixture.h"
#include "lighting/light_control_ui.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/headless_frontend.h"
#include "profiles/file_helpers.h"

namespace brimvex::app::test {
namespace {

using profiles::AudioLightInfo;

class AudioEditorTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    StartConnected({Product::kKeyboard});
    selector().ShowEntry(selector().IndexOfRow(kKeyboardRow), true, true);
    loop().RunPending();
  }
  devices::COmbrixUSBDevice& Keyboard() { return *DeviceOfRow(kKeyboardRow); }
  template <typename T = ui::Control>
  T* Ctl(const char* name) {
    auto* editor = dynamic_cast<lighting::CLightControlUI*>(Keyboard().LightEditor());
    T* c = editor != nullptr ? dynamic_cast<T*>(editor->FindControl(name)) : nullptr;
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  void Type(const char* edit, const char* text) {
    auto* e = Ctl<ui::Edit>(edit);
    e->UserFocus(true);
    e->UserSetText(text);
    e->UserFocus(false);
    loop().RunPending();
  }
  void Press(const char* name) {
    Ctl(name)->Activate();
    loop().RunPending();
  }
  AudioLightInfo Held() { return devices::AudioLightInfoOf(Keyboard().GetAudioLightState()); }
  std::string Shown() {
    return Ctl("deng_audioedit_R")->Text() + " " + Ctl("deng_audioedit_G")->Text() + " " +
           Ctl("deng_audioedit_B")->Text();
  }
};

TEST_F(AudioEditorTest, EachControlChangesTheRecordShowsItAndSavesIt) {
  // The keyboard's default: mode 0, background 0 0 255, foreground 255 0 0, 7-colour, foreground.
  ASSERT_EQ(Held(), (AudioLightInfo{0, 0, 0, 255, 255, 0, 0, 1, 1}));
  EXPECT_EQ(Shown(), "255 0 0");
  EXPECT_TRUE(Ctl<ui::CheckBox>("audio_FgColor_check")->IsChecked());
  struct Row {
    const char* what;
    std::function<void()> act;
    AudioLightInfo after;
    const char* shown;
  };
  const Row rows[] = {
      {"typed 300 into blue", [&] { Type("deng_audioedit_B", "300"); }, {0, 0, 0, 255, 255, 0, 255, 0, 1}, "255 0 255"},
      {"7-colour on", [&] { Press("deng_7audiocolor_check"); }, {0, 0, 0, 255, 255, 0, 255, 1, 1}, "255 0 255"},
      {"background as target", [&] { Press("audio_BkColor_check"); }, {0, 0, 0, 255, 255, 0, 255, 1, 0}, "0 0 255"},
      {"preset on the background", [&] { Press("audiocolor_option_3"); }, {0, 0, 255, 0, 255, 0, 255, 1, 0}, "0 255 0"},
      {"typed on the background", [&] { Type("deng_audioedit_R", "17"); }, {0, 17, 255, 0, 255, 0, 255, 1, 0}, "17 255 0"},
      {"emptied", [&] { Type("deng_audioedit_G", ""); }, {0, 17, 0, 0, 255, 0, 255, 1, 0}, "17 0 0"},
      {"background cleared", [&] { Press("Close_bkColor_btn"); }, {0, 0, 0, 0, 255, 0, 255, 1, 0}, "0 0 0"},
      {"foreground as target", [&] { Press("audio_FgColor_check"); }, {0, 0, 0, 0, 255, 0, 255, 1, 1}, "255 0 255"},
      {"preset on the foreground", [&] { Press("audiocolor_option_5"); }, {0, 0, 0, 0, 0, 0, 255, 0, 1}, "0 0 255"},
      {"palette",
       [&] {
         Ctl<ui::ColorPalette>("deng_audioColor_Pallet")->UserPickColor(0xFF123456);
         loop().RunPending();
       },
       {0, 0, 0, 0, 0x12, 0x34, 0x56, 0, 1},
       "18 52 86"},
      {"audio mode 5",
       [&] {
         Ctl<ui::Combo>("light_combo_audiomodeSelect")->SelectItem(5);
         loop().RunPending();
       },
       {5, 0, 0, 0, 0x12, 0x34, 0x56, 0, 1},
       "18 52 86"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.act();
    // The device takes its record back from the profile, which reads every target as the
    // foreground; the editor keeps the one chosen.
    AudioLightInfo held = row.after;
    held.color_type = 1;
    EXPECT_EQ(Held(), held);
    EXPECT_EQ(Shown(), row.shown);
    EXPECT_EQ(Ctl<ui::CheckBox>("audio_FgColor_check")->IsChecked(), row.after.color_type == 1);
    EXPECT_EQ(Ctl<ui::CheckBox>("audio_BkColor_check")->IsChecked(), row.after.color_type == 0);
  }
  // The profile file holds the last record.
  const Json::Value saved = profiles::ReadJson(Keyboard().GetProfilePath())["Device"][0]["AudioLightInfo"];
  EXPECT_EQ(saved["AudioMode"].asInt(), 5);
  EXPECT_EQ(saved["FgColorR"].asInt(), 0x12);
  EXPECT_EQ(saved["FgColorB"].asInt(), 0x56);
  EXPECT_EQ(saved["BkColorG"].asInt(), 0);
}

TEST_F(AudioEditorTest, AudioModeThreeLocksTheColourGroups) {
  auto* modes = Ctl<ui::Combo>("light_combo_audiomodeSelect");
  for (const int mode : {3, 2, 3, 6}) {
    SCOPED_TRACE(mode);
    modes->SelectItem(mode);
    loop().RunPending();
    EXPECT_EQ(Held().audio_mode, mode);
    EXPECT_EQ(Ctl("light_audiocolor_layout")->IsEnabled(), mode != 3);
    EXPECT_EQ(Ctl("audiocolorpallet_layout")->IsEnabled(), mode != 3);
  }
}

TEST_F(AudioEditorTest, TheBackgroundReachesTheKeyboardsLiveFrameInModeTwentyNine) {
  ASSERT_TRUE(Ctl<ui::Combo>("light_combo_modeSelect")->SelectItem(29));
  loop().RunPending();
  Ctl<ui::Slider>("deng_light_slider")->UserSetValue(4);
  loop().RunPending();
  EXPECT_EQ(Ctl<ui::TabLayout>("light_color_tablayout")->CurrentSel(), 1);
  EXPECT_TRUE(Ctl("light_combo_AudiomodeSelectLayout")->IsVisible());
  Press("audio_BkColor_check");
  Type("deng_audioedit_R", "0");
  Type("deng_audioedit_G", "200");
  Type("deng_audioedit_B", "0");
  // Without sound every light shows the background; the frame timer streams it.
  ASSERT_TRUE(WaitFor([&] {
    const auto frame = Keyboard().FrameSnapshot();
    return !frame.empty() && frame[0].r == 0 && frame[0].g == 200 && frame[0].b == 0;
  }));
  const std::uint8_t alpha = Keyboard().FrameSnapshot()[0].a;
  loop().RunPending();
  Advance(Millis(100));  // the change is streamed at the next frame time
  const auto live = emu_.Find("keyboard")->Memory(emulator::Area::kLiveFrame);
  EXPECT_EQ(live[0], 0);
  EXPECT_EQ(live[1], 200 * alpha / 256);
  EXPECT_EQ(live[2], 0);
  EXPECT_GT(live[1], 0);
}

TEST_F(AudioEditorTest, TheKeyboardsBarsHoldEachFrameAndRepaintOnlyWhileShown) {
  auto* bars = Ctl<lighting::CAudioRecordUI>(lighting::kAudioBarsName);
  ASSERT_NE(bars, nullptr);
  const auto frame = [&](std::int32_t value) {
    std::string payload(kSpectrumBytes, '\0');
    PutInt32(payload, 40, value);
    wnd_->HandlePeerMessage({std::string(kCopyDataName), 77, kCopyDataSpectrum, payload});
    loop().RunPending();
  };
  // Another light mode: the audio page is not shown, the values are kept all the same.
  frame(8192);
  EXPECT_EQ(bars->Values()[40], 8192);
  EXPECT_EQ(bars->RepaintCount(), 0);
  Keyboard().ShowFunctionSwitch(1);  // the light tab
  ASSERT_TRUE(Ctl<ui::Combo>("light_combo_modeSelect")->SelectItem(29));
  loop().RunPending();
  ASSERT_TRUE(bars->Showing());
  frame(4000);
  EXPECT_EQ(bars->Values()[40], 4000);
  EXPECT_EQ(bars->RepaintCount(), 1);
}

TEST_F(AudioEditorTest, TheStyleWindowEditsACopyAndItsOkSendsAndSavesTheSet) {
  const lighting::AudioStyleSet before = wnd_->Audio()->Styles();
  int opened = 0;
  bool ok = true;
  frontend_.SetModalHandler([&](ui::Window& w) {
    if (w.ClassName() != "MusicWnd") return;
    ++opened;
    auto& host = *static_cast<ui::HeadlessWindowHost*>(w.Host());
    EXPECT_EQ(std::make_tuple(host.Width(), host.Height(), host.CenterCount()), std::make_tuple(369, 276, 1));
    EXPECT_TRUE(host.Style().modal);
    EXPECT_EQ(host.Style().owner, &wnd_->Window());
    // One at a time: the button again does not open a second.
    Click("music_setting_btn");
    EXPECT_EQ(w.Find<ui::Slider>("audio_r_slider")->Value(), before.styles[0].r);
    w.Find<ui::Option>("audio_select_tab3")->Activate();
    EXPECT_EQ(w.Find<ui::Slider>("audio_g_slider")->Value(), before.styles[2].g);
    w.Find<ui::Slider>("audio_g_slider")->UserSetValue(0);
    w.Find<ui::Slider>("audio_b_slider")->UserMoveValue(7);
    auto* name = w.Find<ui::Edit>("audio_edit_name3");
    name->UserFocus(true);
    name->UserSetText("");
    name->UserFocus(false);
    EXPECT_EQ(name->Text(), "第三组");
    w.Find<ui::Edit>("audio_edit_name1")->UserSetText("Loud");
    w.FindControl(ok ? "okbtn" : "closebtn")->Activate();
  });
  // Closed: nothing changes, nothing is sent.
  ok = false;
  const std::size_t sent = peers_.PostedTo(std::string(kCapturePeerName)).size();
  Click("music_setting_btn");
  EXPECT_EQ(wnd_->Audio()->Styles(), before);
  EXPECT_EQ(peers_.PostedTo(std::string(kCapturePeerName)).size(), sent);
  // OK: the set replaces the current one, style 2 goes to the capture program with G 0 as 1.
  ok = true;
  Click("music_setting_btn");
  EXPECT_EQ(opened, 2);
  const lighting::AudioStyleSet& after = wnd_->Audio()->Styles();
  EXPECT_EQ(after.selected, 2);
  EXPECT_EQ(after.styles[2], (lighting::AudioStyle{"第三组", before.styles[2].r, 0, 7}));
  EXPECT_EQ(after.styles[0].name, "Loud");
  const auto to = peers_.PostedTo(std::string(kCapturePeerName));
  ASSERT_EQ(to.size(), sent + 1);
  EXPECT_EQ(to.back().name, kCopyDataName);
  EXPECT_EQ(to.back().lparam, kCopyDataStyle);
  std::string bytes(40, '\0');
  bytes[0] = static_cast<char>(before.styles[2].r);
  bytes[4] = 1;
  bytes[8] = 7;
  EXPECT_EQ(to.back().payload, bytes);
  // The user's file holds the set, G as edited.
  const Json::Value saved =
      profiles::ReadJson(profiles::GetApplicationFolder() + "AudioFile.json")["Device"]["AudioLightInfo"];
  EXPECT_EQ(saved["nAudioStyle"].asInt(), 2);
  EXPECT_EQ(saved["nStyleG2"].asInt(), 0);
  EXPECT_EQ(saved["nStyleB2"].asInt(), 7);
  EXPECT_EQ(saved["nStyleName1"].asString(), "Loud");
}

}  // namespace
}  // namespace brimvex::app::test
