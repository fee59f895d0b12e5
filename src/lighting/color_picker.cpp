#include "lighting/color_picker.h"

#include <array>

#include "lighting/light_control_ui.h"
#include "lighting/palette_store.h"
#include "platform/trace.h"
#include "platform/ui/controls.h"
#include "profiles/file_helpers.h"

namespace brimvex::lighting {
namespace {

constexpr const char* kPreview = "color_show_btn";
constexpr const char* kSevenImage = "common/base1.png";
constexpr const char* kEdits[3] = {"color_edit_r", "color_edit_g", "color_edit_b"};
constexpr const char* kPresetPrefix = "color_option_";
constexpr const char* kCollectedPrefix = "collect_color_option_";

std::string Numbered(const char* prefix, int n) { return prefix + std::to_string(n); }

}  // namespace

ColorPicker::ColorPicker(ui::Window& window, std::string store_path, std::string default_path)
    : window_(window), store_path_(std::move(store_path)), default_path_(std::move(default_path)) {
  window_.AddNotifier(this);
}

ColorPicker::~ColorPicker() { window_.RemoveNotifier(this); }

void ColorPicker::Open(std::uint32_t color, bool seven_color, bool seven_allowed) {
  const PaletteStore store = ReadPaletteStore(OpenPaletteStore(store_path_, default_path_));
  ShowColor(color);
  if (auto* seven = window_.Find<ui::Option>("7color")) {
    seven->SetEnabled(seven_allowed);
    if (!seven_allowed) seven->Selected(false, false);
  }
  if (ui::Control* layout = window_.FindControl("7color_layout")) layout->SetVisible(seven_allowed);
  SetSevenColor(seven_color && seven_allowed);
  if (store.preset_index) preset_index_ = *store.preset_index;
  for (int n = 0; n < kPaletteSlots; ++n) {
    const CollectedSlot& slot = store.collected[static_cast<std::size_t>(n)];
    ui::Control* c = window_.FindControl(Numbered(kCollectedPrefix, n));
    if (c == nullptr || !slot.color) continue;  // as the skin made it
    c->SetBkColor(0xFFFFFFFF);
    c->SetAttribute("selectedbkcolor", "#FFFFFFFF");
    c->SetUserData(slot.user_data);
    if (slot.user_data == "1") {
      c->SetBkColor(*slot.color);
      c->SetAttribute("selectedbkcolor", "#" + profiles::HexWord(*slot.color));
      c->SetAttribute("bordersize", "0");
    }
  }
  // With a stored index no slot takes new colours until the user chooses one.
  if (store.collected_index) collected_index_ = -1;
}

void ColorPicker::ShowColor(std::uint32_t color) {
  if (ui::Control* preview = window_.FindControl(kPreview)) {
    preview->SetImage("bkimage", "");
    preview->SetBkColor(color);
  }
  if (auto* palette = window_.Find<ui::ColorPalette>("Pallet")) palette->SetSelectedColor(color);
  color_ = color;
  WriteEdits(color);
}

void ColorPicker::WriteEdits(std::uint32_t color) {
  for (int c = 0; c < 3; ++c)
    if (auto* e = window_.Find<ui::Edit>(kEdits[c])) e->SetText(std::to_string((color >> (16 - 8 * c)) & 0xFF));
}

void ColorPicker::SetSevenColor(bool on) {
  seven_color_ = on;
  if (auto* seven = window_.Find<ui::Option>("7color")) seven->Selected(on, false);
  if (ui::Control* preview = window_.FindControl(kPreview)) preview->SetImage("bkimage", on ? kSevenImage : "");
}

void ColorPicker::TakeNewColor() {
  auto* slot = window_.Find<ui::Option>(Numbered(kCollectedPrefix, collected_index_));
  if (collected_index_ >= 0 && slot != nullptr && slot->IsSelected()) {
    slot->SetBkColor(color_);
    slot->SetAttribute("selectedbkcolor", "#" + profiles::HexWord(color_));
    slot->SetUserData("1");
    slot->SetAttribute("bordersize", "0");
    slot->Selected(false, false);
    slot->Selected(true, true);  // selected again, with its notification
    SaveCollected();
  }
  if (ui::Control* preview = window_.FindControl(kPreview)) preview->SetBkColor(color_);
  SetSevenColor(false);
}

void ColorPicker::SavePresets() {
  std::array<std::uint32_t, kPaletteSlots> colors{};
  for (int n = 0; n < kPaletteSlots; ++n)
    if (const ui::Control* c = window_.FindControl(Numbered(kPresetPrefix, n))) colors[static_cast<std::size_t>(n)] = c->BkColor();
  if (!SavePalettePresets(store_path_, colors, preset_index_)) platform::Trace("palette presets not saved");
}

void ColorPicker::SaveCollected() {
  std::array<CollectedColor, kPaletteSlots> slots{};
  for (int n = 0; n < kPaletteSlots; ++n) {
    if (const ui::Control* c = window_.FindControl(Numbered(kCollectedPrefix, n)))
      slots[static_cast<std::size_t>(n)] = {c->BkColor(), c->UserData()};
  }
  if (!SavePaletteCollected(store_path_, slots, collected_index_)) platform::Trace("palette slots not saved");
}

void ColorPicker::End(int code) {
  ended_ = code;
  window_.EndModal(code);
}

void ColorPicker::Notify(ui::Notification& n) {
  if (n.sender == nullptr) return;
  const std::string& name = n.sender->Name();
  if (n.type == std::string_view(ui::notify::kColorChanged) && name == "Pallet") {
    color_ = static_cast<ui::ColorPalette*>(n.sender)->SelectedColor();
    TakeNewColor();
    WriteEdits(color_);
    return;
  }
  if (n.type == std::string_view(ui::notify::kSelectChanged)) {
    const auto split = profiles::SplitNumberedName(name);
    auto* option = dynamic_cast<ui::Option*>(n.sender);
    if (split && option != nullptr && option->IsSelected() && split->first == kPresetPrefix) {
      preset_index_ = split->second;
      SavePresets();
      color_ = option->BkColor();
      if (auto* palette = window_.Find<ui::ColorPalette>("Pallet")) palette->SetSelectedColor(color_);
      TakeNewColor();
      WriteEdits(color_);
      return;
    }
    if (split && option != nullptr && option->IsSelected() && split->first == kCollectedPrefix) {
      if (collected_index_ == split->second && option->UserData() == "1" && option->BkColor() == color_) return;
      collected_index_ = split->second;
      if (option->UserData() != "1") return;  // an empty slot waits for a colour
      SaveCollected();
      color_ = option->BkColor();
      if (ui::Control* preview = window_.FindControl(kPreview)) preview->SetBkColor(color_);
      SetSevenColor(false);
      if (auto* palette = window_.Find<ui::ColorPalette>("Pallet")) palette->SetSelectedColor(color_);
      WriteEdits(color_);
      return;
    }
    if (name == "7color" && option != nullptr) {
      SetSevenColor(option->IsSelected());
      return;
    }
    return;
  }
  if (n.type == std::string_view(ui::notify::kKillFocus) &&
      (name == kEdits[0] || name == kEdits[1] || name == kEdits[2])) {
    std::uint32_t rgb = 0;
    for (int c = 0; c < 3; ++c) {
      auto* e = window_.Find<ui::Edit>(kEdits[c]);
      const TypedColor t = ReadTypedColor(e != nullptr ? e->Text() : std::string());
      if (e != nullptr) e->SetText(std::to_string(t.value));
      rgb = rgb << 8 | t.value;
    }
    color_ = 0xFF000000u | rgb;
    if (auto* palette = window_.Find<ui::ColorPalette>("Pallet")) palette->SetSelectedColor(color_);
    TakeNewColor();
    return;
  }
  if (n.type == std::string_view(ui::notify::kClick)) {
    if (name == "okbtn") {
      if (window_.FindControl("Pallet") == nullptr) return End(kPickerNoPalette);
      if (const ui::Control* preview = window_.FindControl(kPreview)) color_ = preview->BkColor();
      End(kPickerConfirmed);
    } else if (name == "closebtn" || name == "laterbtn") {
      End(kPickerCancelled);
    }
  }
}

}  // namespace brimvex::lighting
