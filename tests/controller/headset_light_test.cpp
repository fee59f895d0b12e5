// The headset page's light editor on the main window over the emulated headset: the profile
// list's tabs switch its pages, its modes and their rules, each edit in the light block of the
// headset's memory and in its profile, brimvexctl light headset, and its lights animated by the
// light worker reaching the headset as LED reports.
#include <gtest/gtest.h>

#include "app/emulated_light.h"
#include "audio/audio_rig.h"
#include "audio/ri6533_device.h"
#include "discovery/controller_fixture.h"
#include "lighting/light_control_ui.h"
#include "platform/ui/list_controls.h"
#include "profiles/ri6533_profile_data.h"

namespace brimvex::app::test {
namespace {

using audio::COmbrixRI6533Device;

class HeadsetLightTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    chip_ = std::make_unique<emulator::EmulatedAudioChip>(audio::test::LoadEmulatedChip());
    COmbrixRI6533Device::SetLibraryFile(audio::test::EmulatedLibraryFile());
  }
  // Plugs a keyboard beside the headset (same mode is allowed) and selects the headset.
  void StartAndSelect() {
    StartConnected({Product::kKeyboard, Product::kHeadset});
    for (int i = 0; i < selector().Count() && headset_ == nullptr; ++i)
      if ((headset_ = dynamic_cast<COmbrixRI6533Device*>(selector().Entry(i)->Device())) != nullptr)
        selector().ShowEntry(i, true, true);
    ASSERT_NE(headset_, nullptr);
    loop().RunPending();
  }
  template <typename T = ui::Control>
  T* Ctl(const char* name) {
    T* c = dynamic_cast<T*>(headset_->LightEditor()->FindControl(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  // The light block of slot 0 as the headset holds it.
  std::vector<std::uint8_t> Block() {
    loop().RunPending();
    const auto memory = emu_.Find("headset")->Memory(emulator::Area::kParameters);
    return std::vector<std::uint8_t>(memory.begin(), memory.begin() + 21);
  }
  profiles::LightInfo SavedLight() {
    profiles::CRi6533Profiledata p;
    p.LoadSection(headset_->CurrentProfilePath());
    return p.GetLightInfo();
  }

  std::unique_ptr<emulator::EmulatedAudioChip> chip_;
  COmbrixRI6533Device* headset_ = nullptr;
};

TEST_F(HeadsetLightTest, TheProfileListsTabsSwitchTheHeadsetsPages) {
  StartAndSelect();
  auto* pages = dynamic_cast<ui::TabLayout*>(headset_->FindControl("hs_function_tab"));
  ASSERT_NE(pages, nullptr);
  EXPECT_EQ(pages->CurrentSel(), 0);  // the lights first, as the profile list's first tab
  ASSERT_NE(headset_->LightEditor(), nullptr);
  const std::pair<const char*, int> tabs[] = {
      {"6533_voice_Op_tab", 1}, {"magic_Op_tab", 2}, {"Virtual7.1_Op_tab", 3}, {"deng_Op_tab", 0}};
  for (const auto& [tab, page] : tabs) {
    SCOPED_TRACE(tab);
    ui::Control* option = headset_->FindControl(tab);
    ASSERT_NE(option, nullptr);
    option->Activate();
    loop().RunPending();
    EXPECT_EQ(pages->CurrentSel(), page);
  }
}

TEST_F(HeadsetLightTest, ModesRulesAndEditsReachTheLightBlockAndTheProfile) {
  StartAndSelect();
  auto* modes = Ctl<ui::Combo>("light_combo_modeSelect");
  ASSERT_EQ(modes->Count(), 9u);
  EXPECT_FALSE(modes->ChildAt(5)->IsVisible());  // hidden, still at its index
  EXPECT_TRUE(modes->ChildAt(6)->IsVisible());

  struct Case {
    int mode;
    bool color, seven, brightness, speed, direction, same_mode;
  };
  const Case cases[] = {{0, true, true, true, true, true, false},
                        {3, true, false, true, false, false, true},
                        {6, false, false, false, false, false, false},
                        {8, false, false, false, false, false, true},
                        {2, true, true, true, true, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    ASSERT_TRUE(modes->SelectItem(c.mode));
    EXPECT_EQ(Block()[1], c.mode);  // the headset's codes are its indices
    EXPECT_EQ(headset_->GetLightState().mode, c.mode);
    EXPECT_EQ(Ctl("deng_color_layout")->IsEnabled(), c.color);
    EXPECT_EQ(Ctl("colorpallet_layout")->IsEnabled(), c.color);
    EXPECT_EQ(Ctl("deng_7color_check")->IsEnabled(), c.seven);
    EXPECT_EQ(Ctl("deng_light_layout")->IsEnabled(), c.brightness);
    EXPECT_EQ(Ctl("deng_speed_layout")->IsEnabled(), c.speed);
    EXPECT_EQ(Ctl("deng_fx_layout")->IsEnabled(), c.direction);
    EXPECT_EQ(Ctl("deng_same_mode")->IsVisible(), c.same_mode);
    EXPECT_TRUE(Ctl("lighteffect_layout")->IsEnabled());
  }

  // Mode 2 (breathing): every edit lands in the block at slot 0.
  Ctl<ui::Slider>("deng_light_slider")->UserSetValue(1);
  EXPECT_EQ(Block()[2], 1);
  Ctl<ui::Slider>("deng_speed_slider")->UserSetValue(4);
  EXPECT_EQ(Block()[3], 0);  // 4 - speed
  Ctl<ui::CheckBox>("deng_7color_check")->SetCheck(true);
  EXPECT_EQ(Block()[5], 1);
  Ctl<ui::Edit>("deng_edit_G")->UserSetText("300");
  EXPECT_EQ(Ctl<ui::Edit>("deng_edit_G")->Text(), "255");
  auto block = Block();
  EXPECT_EQ(block[7], 255);
  EXPECT_EQ(block[5], 0);  // a colour edit turns 7-colour off
  Ctl<ui::Button>("color_option_5")->Activate();
  block = Block();
  EXPECT_EQ((std::vector<std::uint8_t>(block.begin() + 6, block.begin() + 9)), (std::vector<std::uint8_t>{0, 0, 255}));

  // Direction (mode 0) is kept in the record and the profile; the headset's byte 4 stays as read.
  ASSERT_TRUE(modes->SelectItem(0));
  const std::uint8_t byte4 = Block()[4];
  Ctl<ui::Option>("deng_FXR_check")->Activate();
  EXPECT_EQ(headset_->GetLightState().direction, 0);
  EXPECT_EQ(Block()[4], byte4);

  const profiles::LightInfo saved = SavedLight();
  EXPECT_EQ(saved.mode, 0);
  EXPECT_EQ(saved.brightness, 1);
  EXPECT_EQ(saved.speed, 4);
  EXPECT_EQ(saved.direction, 0);
  EXPECT_EQ(std::make_tuple(saved.red, saved.green, saved.blue), std::make_tuple(0, 0, 255));
}

TEST_F(HeadsetLightTest, BrimvexctlLightHeadsetSetsTheEditorAndTheLedsShowTheColour) {
  StartAndSelect();
  selector().ShowEntry(selector().IndexOfRow(kKeyboardRow), true, true);
  loop().RunPending();
  auto run = [&](std::vector<std::string> words) {
    words.insert(words.begin(), "light");
    ControlAnswer a = wnd_->Requests().Run(ControlRequest{1, "brimvexctl-test", words});
    loop().RunPending();
    return a;
  };
  const auto before = Block();
  const ControlAnswer no = run({"headset", "set", "mode=3", "speed=1"});
  EXPECT_EQ(no.exit_code, kExitRefused);
  EXPECT_EQ(no.text, "brimvexctl: refused: speed does not apply to mode 3 on the headset\n");
  EXPECT_EQ(run({"headset", "set", "mode=5"}).text, "brimvexctl: refused: mode 5 is not offered on the headset\n");
  EXPECT_EQ(Block(), before);

  const ControlAnswer set = run({"headset", "set", "mode=light_mode_static", "color=1a2B3c", "brightness=4"});
  ASSERT_EQ(set.exit_code, kExitDone) << set.text;
  const std::string head = "mode: 3 light_mode_static\ncolor: 1A2B3C\nbrightness: 4\nspeed: " +
                           std::to_string(headset_->GetLightState().speed) + "\n";
  EXPECT_EQ(set.text.substr(0, head.size()), head);
  EXPECT_EQ(wnd_->SelectedDevice(), headset_);  // selected as a click does
  EXPECT_EQ(Ctl<ui::Edit>("deng_edit_B")->Text(), "60");
  const auto block = Block();
  EXPECT_EQ((std::vector<std::uint8_t>(block.begin() + 1, block.begin() + 9)),
            (std::vector<std::uint8_t>{3, 4, block[3], block[4], 0, 0x1A, 0x2B, 0x3C}));

  // The light worker paints the static colour; the frame timer sends it as LED reports.
  ASSERT_TRUE(WaitFor([&] {
    const auto frame = headset_->FrameSnapshot();
    return frame.size() == 13 && frame[0].r == 0x1A && frame[12].b == 0x3C;
  }));
  const devices::Rgba lit = headset_->FrameSnapshot()[0];
  const auto scaled = [&](std::uint8_t c) { return static_cast<std::uint8_t>((c * lit.a) >> 8); };
  auto& emulated = *emu_.Find("headset");
  ASSERT_TRUE(WaitFor([&] {
    Advance(Millis(5));
    return emulated.HeadsetLeds()[1][12][2] == scaled(0x3C);
  }));
  EXPECT_EQ(emulated.HeadsetLeds()[0][0], (std::array<std::uint8_t, 3>{scaled(0x1A), scaled(0x2B), scaled(0x3C)}));

  // The emulator's answer: the block in the headset's memory and light 0 as its reports left it.
  RequestTable emulator_requests;
  RegisterEmulatedLightRequests(emulator_requests, emu_);
  const ControlAnswer held = emulator_requests.Run(ControlRequest{2, "brimvexctl-test", {"light", "headset"}});
  ASSERT_EQ(held.exit_code, kExitDone) << held.text;
  char frame[32];
  std::snprintf(frame, sizeof frame, "frame: %02X%02X%02X\n", scaled(0x1A), scaled(0x2B), scaled(0x3C));
  EXPECT_EQ(held.text, head + "direction: " + std::to_string(block[4]) + "\n" + frame);
}

TEST_F(HeadsetLightTest, LightsLeftAloneTheHeadsetSendsNoLedReports) {
  StartAndSelect();
  ASSERT_TRUE(Ctl<ui::Combo>("light_combo_modeSelect")->SelectItem(3));
  auto& emulated = *emu_.Find("headset");
  ASSERT_TRUE(WaitFor([&] {
    Advance(Millis(5));
    return !emulated.LedReports().empty();
  }));
  Click("control_light_status");
  EXPECT_FALSE(headset_->HostLightControl());
  const std::size_t sent = emulated.LedReports().size();
  // A new colour reaches the frame, but no report carries it.
  Ctl<ui::Edit>("deng_edit_R")->UserSetText("7");
  ASSERT_TRUE(WaitFor([&] { return headset_->FrameSnapshot()[0].r == 7; }));
  for (int i = 0; i < 10; ++i) {
    Advance(Millis(5));
    loop().RunPending();
  }
  EXPECT_EQ(emulated.LedReports().size(), sent);
  Click("control_light_status");
  EXPECT_TRUE(headset_->HostLightControl());
  ASSERT_TRUE(WaitFor([&] {
    Advance(Millis(5));
    return emulated.HeadsetLeds()[0][0][0] == static_cast<std::uint8_t>((7 * headset_->FrameSnapshot()[0].a) >> 8);
  }));
}

}  // namespace
}  // namespace brimvex::app::test
