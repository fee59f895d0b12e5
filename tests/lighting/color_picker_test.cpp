// The colour picker over its shipped layout: typed values held to 0..255, a preset filling the
// selected empty collected slot and the store keeping it for the next opening, an empty slot
// changing nothing, and a cancel keeping the collected colours.
#include "lighting/color_picker.h"

#include <gtest/gtest.h>

#include "lighting/palette_store.h"
#include "platform/headless_event_loop.h"
#include "platform/paths.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/resource_manager.h"
#include "profiles/file_helpers.h"
#include "test_support/temp_dir.h"

namespace brimvex::lighting {
namespace {

class PickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string res = platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources");
    ASSERT_TRUE(resources_.LoadResource(res + "/skin/"));
    defaults_ = res + "/DefaultData/" + kPaletteStoreName;
    store_ = PaletteStorePath(app_.folder());
  }
  // A fresh dialog opened on `color`.
  void Open(std::uint32_t color) {
    picker_.reset();
    window_ = std::make_unique<ui::Window>("ColorSelectWnd", &resources_, &loop_);
    ui::DialogBuilder builder(resources_, factory_);
    std::string error;
    ASSERT_TRUE(builder.BuildWindow(*window_, "PalletDialog.xml", &error)) << error;
    picker_ = std::make_unique<ColorPicker>(*window_, store_, defaults_);
    picker_->Open(color, false, false);
  }
  template <typename T = ui::Control>
  T* Ctl(const std::string& name) {
    T* c = window_->Find<T>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  void Leave(const char* edit, const char* text) {
    Ctl<ui::Edit>(edit)->UserSetText(text);
    Ctl<ui::Edit>(edit)->UserFocus(false);
  }
  std::uint32_t Preview() { return Ctl("color_show_btn")->BkColor(); }

  test::TempDir app_;
  std::string store_, defaults_;
  platform::HeadlessEventLoop loop_;
  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
  std::unique_ptr<ui::Window> window_;
  std::unique_ptr<ColorPicker> picker_;
};

TEST_F(PickerTest, TypedValuesAreHeldToTheirRange) {
  Open(0xFF102030);
  EXPECT_EQ(Ctl("color_edit_g")->Text(), "32");
  struct Case {
    const char* edit;
    const char* text;
    const char* shown;
    std::uint32_t color;
  };
  const Case cases[] = {{"color_edit_g", "300", "255", 0xFF10FF30},
                        {"color_edit_b", "", "0", 0xFF10FF00},
                        {"color_edit_r", "-5", "0", 0xFF00FF00},
                        {"color_edit_r", "  7", "7", 0xFF07FF00}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.edit) + " \"" + c.text + "\"");
    Leave(c.edit, c.text);
    EXPECT_EQ(Ctl(c.edit)->Text(), c.shown);
    EXPECT_EQ(picker_->Color(), c.color);
    EXPECT_EQ(Ctl<ui::ColorPalette>("Pallet")->SelectedColor(), c.color);
    EXPECT_EQ(Preview(), c.color);
  }
}

TEST_F(PickerTest, APresetFillsTheSelectedEmptySlotWhichTheNextOpeningShows) {
  Open(0xFF000000);
  auto* slot5 = Ctl<ui::Option>("collect_color_option_5");
  const std::uint32_t empty = slot5->BkColor();
  slot5->Activate();  // selected, empty: it waits for a colour
  EXPECT_EQ(picker_->CollectedIndex(), 5);
  EXPECT_EQ(Preview(), 0xFF000000u);
  EXPECT_EQ(Ctl("color_edit_r")->Text(), "0");

  auto* preset2 = Ctl<ui::Option>("color_option_2");
  const std::uint32_t color = preset2->BkColor();
  ASSERT_NE(color, empty);
  preset2->Activate();
  EXPECT_EQ(slot5->BkColor(), color);
  EXPECT_EQ(slot5->UserData(), "1");
  EXPECT_EQ(Preview(), color);
  EXPECT_EQ(picker_->PresetIndex(), 2);
  const PaletteStore stored = ReadPaletteStore(profiles::ReadJson(store_));
  EXPECT_EQ(stored.collected[5].color, color);
  EXPECT_EQ(stored.collected[5].user_data, "1");
  EXPECT_EQ(stored.preset_index, 2);

  // Cancelled: the slot stays in the store, and the next opening shows it with no slot taking
  // new colours.
  Ctl("closebtn")->Activate();
  EXPECT_EQ(picker_->Ended(), kPickerCancelled);
  Open(0xFF123456);
  EXPECT_EQ(Ctl("collect_color_option_5")->BkColor(), color);
  EXPECT_EQ(Ctl("collect_color_option_5")->UserData(), "1");
  EXPECT_EQ(picker_->CollectedIndex(), -1);
  EXPECT_EQ(picker_->PresetIndex(), 2);
  Ctl<ui::Option>("color_option_7")->Activate();
  EXPECT_NE(Ctl("collect_color_option_5")->BkColor(), Ctl("color_option_7")->BkColor());

  // Choosing the filled slot gives its colour; ok ends with the preview's colour.
  Ctl<ui::Option>("collect_color_option_5")->Activate();
  EXPECT_EQ(Preview(), color);
  Ctl("okbtn")->Activate();
  EXPECT_EQ(picker_->Ended(), kPickerConfirmed);
  EXPECT_EQ(picker_->Color(), color);
}

TEST_F(PickerTest, AnEmptySlotChangesNeitherPreviewNorEdits) {
  Open(0xFFABCDEF);
  Ctl<ui::Option>("collect_color_option_9")->Activate();
  EXPECT_EQ(Preview(), 0xFFABCDEFu);
  EXPECT_EQ(Ctl("color_edit_r")->Text(), "171");
  EXPECT_EQ(picker_->Color(), 0xFFABCDEFu);
}

}  // namespace
}  // namespace brimvex::lighting
