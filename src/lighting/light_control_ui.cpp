#include "lighting/light_control_ui.h"

#include <algorithm>
#include <cctype>

#include "lighting/audio_light_edit.h"
#include "lighting/light_rules.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_controls.h"
#include "platform/trace.h"

namespace brimvex::lighting {
namespace {

constexpr int kKeyboard = 1;
constexpr const char* kColorEdits[3] = {"deng_edit_R", "deng_edit_G", "deng_edit_B"};
constexpr const char* kAudioEdits[3] = {"deng_audioedit_R", "deng_audioedit_G", "deng_audioedit_B"};
constexpr const char* kAudioModes = "light_combo_audiomodeSelect";
constexpr const char* kAudioColorButton = "deng_audiocolordp_btn";

std::uint32_t Argb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return 0xFF000000u | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | b;
}

}  // namespace

TypedColor ReadTypedColor(std::string_view text) {
  TypedColor t;
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0) ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (negative || (i < text.size() && text[i] == '+')) ++i;
  int value = 0;
  bool digits = false;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0; ++i) {
    digits = true;
    value = std::min(256, value * 10 + (text[i] - '0'));
  }
  t.value = negative || !digits ? std::uint8_t{0} : static_cast<std::uint8_t>(std::min(value, 255));
  t.rewrite = text != std::to_string(t.value);
  return t;
}

CLightControlUI::CLightControlUI() : ui::Container("LightControl", Direction::kVertical) {}

template <typename T>
T* CLightControlUI::Find(std::string_view name) const {
  return dynamic_cast<T*>(const_cast<CLightControlUI*>(this)->FindControl(name));
}

void CLightControlUI::Enable(std::string_view name, bool on) const {
  if (ui::Control* c = Find(name)) c->SetEnabled(on);
}

void CLightControlUI::Show(std::string_view name, bool on) const {
  if (ui::Control* c = Find(name)) c->SetVisible(on);
}

void CLightControlUI::FillModeList(const std::vector<std::string>& names, const std::vector<bool>& visible,
                                   int brightness_max, int speed_max) {
  if (auto* combo = Find<ui::Combo>("light_combo_modeSelect")) {
    combo->SelectItem(-1, false);
    combo->RemoveAll();
    for (std::size_t i = 0; i < names.size(); ++i) {
      ui::ListElement* item = combo->AddItem("", names[i], names[i]);
      if (item == nullptr) continue;
      item->SetAttribute("height", "30");
      item->SetVisible(i < visible.size() && visible[i]);
    }
  }
  if (auto* s = Find<ui::Slider>("deng_light_slider")) s->SetRange(0, brightness_max);
  if (auto* s = Find<ui::Slider>("deng_speed_slider")) s->SetRange(0, speed_max);
}

void CLightControlUI::ShowLightInfo(const profiles::LightInfo& info) {
  SelectMode(info.mode);
  ApplyRules(info.mode);
  SetBrightness(info.brightness);
  SetSpeed(info.speed);
  for (int c = 0; c < 3; ++c) SetColorText(c, c == 0 ? info.red : c == 1 ? info.green : info.blue);
  const std::uint32_t color = Argb(info.red, info.green, info.blue);
  if (auto* p = Find<ui::ColorPalette>("deng_Color_Pallet")) p->SetSelectedColor(color);
  if (ui::Control* b = Find("deng_colordp_btn")) b->SetBkColor(color);
  Set7Color(info.multi_color != 0);
  SelectZzcc(info.zzcc_mode);
  SetDirection(info.direction);
  ApplyRules(info.mode);
}

void CLightControlUI::ApplyRules(int mode) {
  Enable("lighteffect_layout", true);
  // The reset.
  Show("deng_same_mode", false);
  Enable("deng_fx_layout", true);
  if (device_type_ == kKeyboard) {
    Show("lightcustom_layout", false);
    Show("deng_speed_layout", true);
    Show("light_combo_ZZCCmodeSelectLayout", false);
    Show("light_combo_AudiomodeSelectLayout", false);
    Enable("light_color_layout", true);
    if (auto* tab = Find<ui::TabLayout>("light_color_tablayout")) tab->SelectItem(0);
    if (ui::Control* c = Find("deng_FXL_check")) c->SetTextKey(kDirectionFirstReset);
    if (ui::Control* c = Find("deng_FXR_check")) c->SetTextKey(kDirectionSecondReset);
  }
  if (device_type_ != 1 && device_type_ != 2 && device_type_ != 3 && device_type_ != 7) return;
  const LightRule r = RuleFor(device_type_, mode);
  Enable("deng_color_layout", r.color);
  Enable("colorpallet_layout", r.color);
  Enable("deng_7color_check", r.seven_color);
  Enable("deng_light_layout", r.brightness);
  Enable("deng_speed_layout", r.speed);
  Enable("deng_fx_layout", r.direction);
  Show("deng_same_mode", r.same_mode && same_mode_allowed_);
  if (device_type_ != kKeyboard) return;
  if (r.speed_hidden) Show("deng_speed_layout", false);
  if (r.custom_shown) Show("lightcustom_layout", true);
  if (r.zzcc_shown) Show("light_combo_ZZCCmodeSelectLayout", true);
  if (r.audio_shown) Show("light_combo_AudiomodeSelectLayout", true);
  if (r.color_layout_off) Enable("light_color_layout", false);
  if (r.color_page != 0)
    if (auto* tab = Find<ui::TabLayout>("light_color_tablayout")) tab->SelectItem(r.color_page);
  if (r.direction_first != nullptr) {
    if (ui::Control* c = Find("deng_FXL_check")) c->SetTextKey(r.direction_first);
    if (ui::Control* c = Find("deng_FXR_check")) c->SetTextKey(r.direction_second);
  }
}

void CLightControlUI::SetSameModeAllowed(bool allowed) {
  same_mode_allowed_ = allowed;
  ApplyRules(GetMode());
}

int CLightControlUI::GetMode() const {
  const auto* c = Find<ui::Combo>("light_combo_modeSelect");
  return c != nullptr ? c->CurSel() : -1;
}
int CLightControlUI::GetCustomGroup() const {
  const auto* c = Find<ui::Combo>("light_combo_custommodeSelect");
  return c != nullptr ? c->CurSel() : -1;
}
int CLightControlUI::GetZzcc() const {
  const auto* c = Find<ui::Combo>("light_combo_ZZCCmodeSelect");
  return c != nullptr ? c->CurSel() : -1;
}
int CLightControlUI::GetBrightness() const {
  const auto* s = Find<ui::Slider>("deng_light_slider");
  return s != nullptr ? s->Value() : 0;
}
int CLightControlUI::GetSpeed() const {
  const auto* s = Find<ui::Slider>("deng_speed_slider");
  return s != nullptr ? s->Value() : 0;
}
std::string CLightControlUI::GetColorText(int channel) const {
  if (channel < 0 || channel > 2) return {};
  const auto* e = Find<ui::Edit>(kColorEdits[channel]);
  return e != nullptr ? e->Text() : std::string();
}
std::uint32_t CLightControlUI::GetPaletteColor() const {
  const auto* p = Find<ui::ColorPalette>("deng_Color_Pallet");
  return p != nullptr ? p->SelectedColor() : 0xFF000000u;
}
std::uint32_t CLightControlUI::GetPresetColor(int n) const {
  const ui::Control* b = Find("color_option_" + std::to_string(n));
  return b != nullptr ? b->BkColor() : 0;
}
bool CLightControlUI::Get7Color() const {
  const auto* c = Find<ui::CheckBox>("deng_7color_check");
  return c != nullptr && c->IsChecked();
}
int CLightControlUI::GetDirection() const {
  const auto* o = Find<ui::Option>("deng_FXL_check");
  return o != nullptr && o->IsSelected() ? 1 : 0;
}

void CLightControlUI::SelectMode(int mode) {
  auto* c = Find<ui::Combo>("light_combo_modeSelect");
  if (c == nullptr) return;
  if (!c->SelectItem(mode, false)) c->SelectItem(-1, false);
}
void CLightControlUI::SetDirection(int direction) {
  if (auto* o = Find<ui::Option>("deng_FXL_check")) o->Selected(direction != 0, false);
  if (auto* o = Find<ui::Option>("deng_FXR_check")) o->Selected(direction == 0, false);
}
void CLightControlUI::Set7Color(bool on) {
  if (auto* c = Find<ui::CheckBox>("deng_7color_check")) c->SetCheck(on, false);
}
void CLightControlUI::SetColorText(int channel, std::uint8_t value) {
  if (channel < 0 || channel > 2) return;
  if (auto* e = Find<ui::Edit>(kColorEdits[channel])) e->SetText(std::to_string(value));
}
void CLightControlUI::ShowColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  SetColorText(0, r);
  SetColorText(1, g);
  SetColorText(2, b);
  const std::uint32_t color = Argb(r, g, b);
  if (auto* p = Find<ui::ColorPalette>("deng_Color_Pallet")) p->SetSelectedColor(color);
  if (ui::Control* btn = Find("deng_colordp_btn")) btn->SetBkColor(color);
  Set7Color(false);
}
void CLightControlUI::SetBrightness(int value) {
  if (auto* s = Find<ui::Slider>("deng_light_slider")) s->SetValue(value);
}
void CLightControlUI::SetSpeed(int value) {
  if (auto* s = Find<ui::Slider>("deng_speed_slider")) s->SetValue(value);
}
void CLightControlUI::SelectZzcc(int index) {
  auto* c = Find<ui::Combo>("light_combo_ZZCCmodeSelect");
  if (c != nullptr && !c->SelectItem(index, false)) c->SelectItem(-1, false);
}
void CLightControlUI::SelectCustomGroup(int index) {
  auto* c = Find<ui::Combo>("light_combo_custommodeSelect");
  if (c != nullptr && !c->SelectItem(index, false)) c->SelectItem(-1, false);
}

bool CLightControlUI::ShowAudioLightInfo(const profiles::AudioLightInfo& info) {
  auto* modes = Find<ui::Combo>(kAudioModes);
  ui::Control* button = Find(kAudioColorButton);
  if (modes == nullptr || button == nullptr) {
    platform::Trace(" SetAudioLightInfo control is NULL");
    return false;
  }
  audio_ = info;
  if (!modes->SelectItem(info.audio_mode, false)) modes->SelectItem(-1, false);
  const bool fore = info.color_type == 1;
  if (auto* c = Find<ui::CheckBox>("audio_FgColor_check")) c->SetCheck(fore, false);
  if (auto* c = Find<ui::CheckBox>("audio_BkColor_check")) c->SetCheck(!fore, false);
  // The foreground's flag, shown whichever colour is the target: reading the editor back while
  // the background is edited keeps it.
  if (auto* c = Find<ui::CheckBox>("deng_7audiocolor_check")) c->SetCheck(info.seven_colors != 0, false);
  const std::uint8_t r = fore ? info.fore_red : info.back_red;
  const std::uint8_t g = fore ? info.fore_green : info.back_green;
  const std::uint8_t b = fore ? info.fore_blue : info.back_blue;
  const std::uint8_t rgb[3] = {r, g, b};
  for (int c = 0; c < 3; ++c)
    if (auto* e = Find<ui::Edit>(kAudioEdits[c])) e->SetText(std::to_string(rgb[c]));
  const std::uint32_t color = Argb(r, g, b);
  if (auto* p = Find<ui::ColorPalette>("deng_audioColor_Pallet")) p->SetSelectedColor(color);
  button->SetBkColor(color);
  const bool editable = AudioColorsEditable(info.audio_mode);
  Enable("light_audiocolor_layout", editable);
  Enable("audiocolorpallet_layout", editable);
  return true;
}

std::optional<profiles::AudioLightInfo> CLightControlUI::GetAudioLightInfo(bool take_shown_color) const {
  const auto* modes = Find<ui::Combo>(kAudioModes);
  const ui::Control* button = Find(kAudioColorButton);
  if (modes == nullptr || button == nullptr) {
    platform::Trace("GetAudioLightInfo control is NULL");
    return std::nullopt;
  }
  profiles::AudioLightInfo info = audio_;
  if (modes->CurSel() >= 0 && modes->CurSel() <= 255) info.audio_mode = static_cast<std::uint8_t>(modes->CurSel());
  const auto* seven = Find<ui::CheckBox>("deng_7audiocolor_check");
  info.seven_colors = seven != nullptr && seven->IsChecked() ? 1 : 0;
  const auto* back = Find<ui::CheckBox>("audio_BkColor_check");
  const auto* fore = Find<ui::CheckBox>("audio_FgColor_check");
  info.color_type = AudioColorTarget(audio_.color_type, back != nullptr && back->IsChecked(),
                                     fore != nullptr && fore->IsChecked());
  if (take_shown_color) SetTargetColor(info, button->BkColor(), false);
  return info;
}

std::uint32_t CLightControlUI::GetAudioPaletteColor() const {
  const auto* p = Find<ui::ColorPalette>("deng_audioColor_Pallet");
  return p != nullptr ? p->SelectedColor() : 0xFF000000u;
}

std::uint32_t CLightControlUI::GetAudioPresetColor(int n) const {
  const ui::Control* b = Find("audiocolor_option_" + std::to_string(n));
  return b != nullptr ? b->BkColor() : 0;
}

std::string CLightControlUI::GetAudioColorText(int c) const {
  if (c < 0 || c > 2) return {};
  const auto* e = Find<ui::Edit>(kAudioEdits[c]);
  return e != nullptr ? e->Text() : std::string();
}

}  // namespace brimvex::lighting
