// The keyboard's system controls on the real main window over the emulated keyboard: each change
// is saved in the profile and reaches the keyboard's settings record; the repeat reset; a refused
// write is shown and the profile keeps the change.
#include <gtest/gtest.h>

#include "devices/keyboard_device.h"
#include "discovery/controller_fixture.h"
#include "profiles/file_helpers.h"

namespace brimvex::app::test {
namespace {

class KeyboardRoutesTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    frontend_.SetModalHandler([this](ui::Window& w) {
      ui::Control* text = w.FindControl("MessageText");
      boxes_.push_back(text->TextKey().empty() ? text->Text() : text->TextKey());
      w.FindControl("confirm_btn")->Activate();
    });
  }
  devices::COmbrixKeyboardDevice& Keyboard() {
    return *dynamic_cast<devices::COmbrixKeyboardDevice*>(DeviceOfRow(kKeyboardRow));
  }
  emulator::EmulatedDevice& Product() { return *emu_.Find("keyboard"); }
  template <typename T>
  T& Control(const std::string& name) {
    auto* c = dynamic_cast<T*>(Keyboard().FindControl(name));
    EXPECT_NE(c, nullptr) << name;
    return *c;
  }
  Json::Value Stages() {
    return profiles::ReadJson(Keyboard().GetProfilePath())["Device"][0]["SystemStages"];
  }
  std::vector<std::string> boxes_;
};

TEST_F(KeyboardRoutesTest, SystemControlsAreSavedAndWritten) {
  StartConnected({Product::kKeyboard});
  ASSERT_EQ(wnd_->SelectedDevice(), &Keyboard());
  // An option is selected; the slider is moved to `value`.
  const struct {
    std::string control;
    const char* member;
    int value;
    int record_byte;  // -1: not in the settings record
  } cases[] = {
      {"6flag_option", "Key6Flag", 1, 20},
      {"wflag_option", "WFlag", 1, 19},
      {"winlockflag_option", "WinFlag", 1, 21},
      {"polling_rate_option_2", "PollingRate", 2, 22},
      {"repeat_delay_check_3", "RepeatDelay", 3, -1},
      {"repeat_rate_slider", "Repeat", 7, -1},
  };
  for (const auto& c : cases) {
    Product().ClearExchangeLog();
    if (auto* slider = dynamic_cast<ui::Slider*>(Keyboard().FindControl(c.control)))
      slider->UserSetValue(c.value);
    else
      Control<ui::Option>(c.control).Selected(true, true);
    loop().RunPending();
    EXPECT_EQ(Stages()[c.member].asInt(), c.value) << c.control;
    EXPECT_FALSE(Product().ExchangeLog().empty()) << c.control << ": the record is written";
    if (c.record_byte >= 0) {
      EXPECT_EQ(Product().SettingsRecord(0).at(static_cast<std::size_t>(c.record_byte)), c.value) << c.control;
    }
  }
  EXPECT_EQ(Control<ui::Label>("repeat_delay_time_label1").Text(),
            wnd_->Resources().Text("Repeat_Delay_Time") + "1000ms");

  // The reset takes the default profile's repeat settings.
  Keyboard().FindControl("reset_repeat_btn")->Activate();
  loop().RunPending();
  EXPECT_EQ(Stages()["Repeat"].asInt(), 20);
  EXPECT_EQ(Stages()["RepeatDelay"].asInt(), 1);
  EXPECT_EQ(Control<ui::Slider>("repeat_rate_slider").Value(), 20);
  EXPECT_TRUE(Control<ui::Option>("repeat_delay_check_1").IsSelected());
  EXPECT_TRUE(boxes_.empty());

  // Refused: shown, the keyboard keeps its record, the profile the change.
  const auto before = Product().SettingsRecord(0);
  Product().InjectFault({emulator::FaultKind::kStatusFE, 0, 100});
  Control<ui::Option>("6flag_option").Selected(false, true);
  loop().RunPending();
  Product().ClearFaults();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("RESULT_DEVICE_FE"), std::string::npos) << boxes_[0];
  EXPECT_EQ(Product().SettingsRecord(0), before);
  EXPECT_EQ(Stages()["Key6Flag"].asInt(), 0);
}

}  // namespace
}  // namespace brimvex::app::test
