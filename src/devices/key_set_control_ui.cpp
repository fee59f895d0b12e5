#include "devices/key_set_control_ui.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "devices/device_key_button.h"
#include "devices/usb_device.h"
#include "platform/evdev_keys.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/window.h"

namespace brimvex::devices {
namespace {

constexpr const char* kBoxPrefix = "key_ComBox_check_";

// Finds controls by name and kind, and remembers whether one was missing.
class Finder {
 public:
  explicit Finder(ui::Control& root) : root_(root) {}
  template <typename T = ui::Control>
  T* Get(std::string_view name) {
    T* c = dynamic_cast<T*>(root_.FindControl(name));
    complete_ = complete_ && c != nullptr;
    return c;
  }
  bool Complete() const { return complete_; }

 private:
  ui::Control& root_;
  bool complete_ = true;
};

// An edit as a decimal number: leading blanks, digits, anything after them ignored. Text that
// is not a number, or a negative or huge one, reads as 0.
int ReadNumber(const ui::Edit* edit) {
  if (edit == nullptr) return 0;
  std::string_view t = edit->Text();
  while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front())) != 0) t.remove_prefix(1);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  int v = 0;
  const auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  return ec == std::errc() && v >= 0 ? v : 0;
}

void SetNumber(ui::Edit* edit, int value) {
  if (edit != nullptr) edit->SetText(std::to_string(value));
}

void FillList(ui::Combo* combo, std::span<const ListEntry> list) {
  if (combo == nullptr) return;
  combo->RemoveAll();
  for (const ListEntry& e : list) combo->AddItem({}, {}, std::string(e.text_key));
}

void Select(ui::Combo* combo, int index) {
  if (combo == nullptr) return;
  if (!combo->SelectItem(index, false)) combo->SelectItem(-1, false);
}

int Selected(const ui::Combo* combo) { return combo != nullptr ? combo->CurSel() : -1; }

std::uint8_t Nibbles(const ui::Edit* delay, const ui::Edit* speed) {
  return static_cast<std::uint8_t>((ReadNumber(delay) % 16) * 16 + ReadNumber(speed) % 16);
}

// A control and all its parents are visible.
bool OnScreen(const ui::Control* c) {
  for (; c != nullptr; c = c->Parent())
    if (!c->IsVisible()) return false;
  return true;
}

int PageOf(const ui::Control& entry) {
  int page = kNoPage;
  const std::string& data = entry.UserData();
  const auto [p, ec] = std::from_chars(data.data(), data.data() + data.size(), page);
  return ec == std::errc() && p == data.data() + data.size() ? page : kNoPage;
}

}  // namespace

CKeySetControlUI::CKeySetControlUI() : ui::Container("KeySetControl", Direction::kVertical) {}

void CKeySetControlUI::ChildrenChanged() {
  if (!bound_ && FindControl("keyset_layout") != nullptr) BindControls();
}

bool CKeySetControlUI::BindControls() {
  Finder f(*this);
  layout_ = f.Get("keyset_layout");
  function_combo_ = f.Get<ui::Combo>("keyset_function_combo");
  function_tab_ = f.Get<ui::TabLayout>("function_switch_tablayout");
  default_button_ = f.Get("key_butt_keydefalut");
  save_button_ = f.Get("key_butt_keysave");
  cancel_button_ = f.Get("key_butt_keycancel");
  device_save_button_ = f.Get("key_butt_prosave");
  mouse_key_ = f.Get<ui::Combo>("keyset_mousekey_combo");
  swing_ = f.Get<ui::Combo>("keyset_mouseswing_combo");
  swing_count_ = f.Get<ui::Edit>("keyset_mouseswing_num_edit");
  swing_delay_ = f.Get<ui::Edit>("keyset_mouseswing_delay_edit");
  swing_speed_ = f.Get<ui::Edit>("keyset_mouseswing_speed_edit");
  wheel_ = f.Get<ui::Combo>("keyset_mousewheel_combo");
  wheel_count_ = f.Get<ui::Edit>("keyset_mousewheel_num_edit");
  wheel_delay_ = f.Get<ui::Edit>("keyset_mousewheel_delay_edit");
  wheel_speed_ = f.Get<ui::Edit>("keyset_mousewheel_speed_edit");
  resolution_ = f.Get<ui::Combo>("keyset_mousedpi_combo");
  fire_interval_ = f.Get<ui::Edit>("keyset_mousefire_interval_edit");
  fire_count_ = f.Get<ui::Edit>("keyset_mousefire_num_edit");
  key_text_ = f.Get<ui::Edit>("keyset_keyboard_text_edit");
  capture_hint_ = f.Get("keyset_capture_hint_label");
  media_ = f.Get<ui::Combo>("keyset_media_combo");
  system_ = f.Get<ui::Combo>("keyset_system_combo");
  macro_ = f.Get<ui::Combo>("keyset_macro_combo");
  macro_mode_ = f.Get<ui::Combo>("keyset_macro_over_combo");
  macro_cycle_layout_ = f.Get("keyset_macro_cycle_layout");
  macro_cycle_ = f.Get<ui::Edit>("keyset_macro_cycle_edit");
  gun_key_ = f.Get<ui::Combo>("keyset_gunkey_combo");
  shortcut_ = f.Get<ui::Combo>("keyset_combokey_combo");
  for (int i = 0; i < kModifierBoxes; ++i)
    boxes_[static_cast<std::size_t>(i)] = f.Get<ui::Option>(kBoxPrefix + std::to_string(i));
  bound_ = true;
  // The choice lists are the key tables'; the function entries and the other lists are the skin's.
  FillList(mouse_key_, kMouseButtonList);
  FillList(resolution_, kResolutionList);
  FillList(media_, kMediaList);
  FillList(system_, kSystemList);
  FillList(shortcut_, kShortcutList);
  function_entries_.clear();
  if (function_combo_ != nullptr) {
    for (std::size_t i = 0; i < function_combo_->Count(); ++i) {
      const ui::Control& e = *function_combo_->ChildAt(i);
      function_entries_.push_back({e.TextKey(), e.Text(), PageOf(e)});
    }
  }
  RebuildFunctionEntries();
  return f.Complete();
}

void CKeySetControlUI::SetDeviceKind(int kind) {
  kind_ = kind;
  RebuildFunctionEntries();
}

void CKeySetControlUI::RebuildFunctionEntries() {
  if (function_combo_ == nullptr) return;
  const int page = SelectedPage();
  function_combo_->RemoveAll();
  for (const FunctionEntry& f : function_entries_) {
    if (kind_ == kDeviceKeyboard && (f.page == kPageResolution || f.page == kPageGunKey)) continue;
    function_combo_->AddItem(f.text, std::to_string(f.page), f.text_key);
  }
  if (page != kNoPage) SelectFunctionPage(page);
}

int CKeySetControlUI::SelectedPage() const {
  const int i = Selected(function_combo_);
  return i >= 0 ? PageOf(*function_combo_->ChildAt(static_cast<std::size_t>(i))) : kNoPage;
}

int CKeySetControlUI::ShownPage() const { return function_tab_ != nullptr ? function_tab_->CurrentSel() : kNoPage; }

bool CKeySetControlUI::LayoutShown() const { return layout_ != nullptr && layout_->IsVisible(); }

int CKeySetControlUI::SelectedModifierBox() const {
  for (int i = 0; i < kModifierBoxes; ++i) {
    const ui::Option* b = boxes_[static_cast<std::size_t>(i)];
    if (b != nullptr && b->IsSelected()) return i;
  }
  return -1;
}

const std::string& CKeySetControlUI::KeyName() const {
  static const std::string kEmpty;
  return key_text_ != nullptr ? key_text_->Text() : kEmpty;
}

bool CKeySetControlUI::SelectFunctionPage(int page) {
  if (function_combo_ == nullptr || layout_ == nullptr) return false;
  for (std::size_t i = 0; i < function_combo_->Count(); ++i) {
    if (PageOf(*function_combo_->ChildAt(i)) != page) continue;
    layout_->SetVisible(true);
    function_combo_->SelectItem(static_cast<int>(i), false);
    if (function_tab_ != nullptr) function_tab_->SelectItem(page);
    return true;
  }
  layout_->SetVisible(false);
  function_combo_->SelectItem(-1, false);
  return false;
}

void CKeySetControlUI::SelectBox(int box) {
  for (int i = 0; i < kModifierBoxes; ++i) {
    if (ui::Option* b = boxes_[static_cast<std::size_t>(i)]) b->Selected(i == box, false);
  }
}

void CKeySetControlUI::SetKeyName(const KeyTableRow* row, std::uint8_t usage) {
  usage_ = usage;
  if (key_text_ != nullptr) key_text_->SetTextKey(row != nullptr ? std::string(row->text_key) : "key_unknown");
}

void CKeySetControlUI::ClearKeyName() {
  usage_ = 0;
  if (key_text_ != nullptr) key_text_->SetText({});
}

void CKeySetControlUI::ShowCaptureHint(bool unsupported) {
  if (capture_hint_ != nullptr)
    capture_hint_->SetTextKey(unsupported ? "keyset_key_unsupported" : "keyset_capture_hint");
}

void CKeySetControlUI::Load(const KeyEntry& entry) {
  entry_ = entry;
  Show(entry_.current);
}

void CKeySetControlUI::ShowDefault() { Show(entry_.default_code); }

void CKeySetControlUI::ShowCurrent() { Show(entry_.current); }

void CKeySetControlUI::Show(KeyCode code) {
  ShowCaptureHint(false);
  int page = kNoPage;
  const std::uint8_t p1 = code.p1;
  const std::uint8_t p2 = code.p2;
  if (code == entry_.default_code) {
    page = kPageDefault;
  } else {
    switch (code.type) {
      case kTypeMouseButton:
        page = kPageMouseButton;
        Select(mouse_key_, FindListEntry(kMouseButtonList, code));
        break;
      case kTypeSwing:
        page = kPageSwing;
        SetNumber(swing_delay_, p1 >> 4);
        SetNumber(swing_speed_, p1 & 0x0F);
        SetNumber(swing_count_, p2 & 0x7F);
        Select(swing_, (p2 & 0x80) != 0 ? 1 : 0);
        break;
      case kTypeWheel:
        page = kPageWheel;
        SetNumber(wheel_delay_, p1 >> 4);
        SetNumber(wheel_speed_, p1 & 0x0F);
        SetNumber(wheel_count_, (p2 & 0x80) != 0 ? 128 - (p2 & 0x7F) : p2);
        Select(wheel_, (p2 & 0x80) != 0 ? 1 : 0);
        break;
      case kTypeResolution:
        page = kPageResolution;
        Select(resolution_, FindListEntry(kResolutionList, code));
        break;
      case kTypeFire:
        page = kPageFire;
        SetNumber(fire_interval_, p1);
        SetNumber(fire_count_, p2);
        break;
      case kTypeNone:
        // Only a code equal to the default half has a page.
        break;
      case kTypeKey:
        if (p1 == 0x10 || p1 >= 0x81) {
          page = kPageShortcut;
          Select(shortcut_, FindListEntry(kShortcutList, code));
          break;
        }
        page = kPageKey;
        if (p1 != 0) {
          // One modifier selects its box; several show none and leave only the key.
          const int r = FindModifierRow(p1);
          SelectBox(r >= 0 ? ModifierBox(r) : 0);
        } else {
          SelectBox(p2 != 0 ? 0 : -1);
        }
        if (p2 == 0) {
          ClearKeyName();
        } else {
          // A usage the table cannot name stays as it is, shown as "key_unknown", so saving the
          // page unchanged writes the code unchanged.
          const int row = FindPlainKeyRow(p2);
          SetKeyName(row >= 0 ? &kKeyTable[static_cast<std::size_t>(row)] : nullptr, p2);
        }
        break;
      case kTypeMedia:
        page = kPageMedia;
        Select(media_, FindListEntry(kMediaList, code));
        break;
      case kTypeSystem:
        page = kPageSystem;
        Select(system_, FindListEntry(kSystemList, code));
        break;
      case kTypeMacro:
      case kTypeMacroRepeat: {
        page = kPageMacro;
        const bool valid = p1 < macro_count_;
        const bool repeat = code.type == kTypeMacroRepeat;
        Select(macro_, valid ? p1 : -1);
        Select(macro_mode_, !valid ? -1 : repeat ? kMacroRepeatMode : p2 < kMacroRepeatMode ? p2 : -1);
        if (valid && repeat) SetNumber(macro_cycle_, p2);
        if (macro_cycle_layout_ != nullptr) macro_cycle_layout_->SetVisible(valid && repeat);
        break;
      }
      case kTypeGunKey:
        page = kPageGunKey;
        Select(gun_key_, p1);
        break;
      case kTypePage11:
        page = kPageShortcut;
        Select(shortcut_, -1);
        break;
      default:
        break;
    }
  }
  SelectFunctionPage(page);
}

KeyCode CKeySetControlUI::ComposeCode() const {
  const KeyCode current = entry_.current;
  auto entry_code = [&](const ui::Combo* combo, std::span<const ListEntry> list) {
    const int i = Selected(combo);
    return i >= 0 && static_cast<std::size_t>(i) < list.size() ? list[static_cast<std::size_t>(i)].code : current;
  };
  switch (SelectedPage()) {
    case kPageMouseButton:
      return entry_code(mouse_key_, kMouseButtonList);
    case kPageSwing: {
      const int direction = Selected(swing_);
      const auto count = static_cast<std::uint8_t>(ReadNumber(swing_count_) & 0x7F);
      std::uint8_t p2 = current.p2;
      if (direction == 1) p2 = static_cast<std::uint8_t>(count | 0x80);
      if (direction == 0) p2 = count;
      return {kTypeSwing, Nibbles(swing_delay_, swing_speed_), p2};
    }
    case kPageWheel: {
      const int count = ReadNumber(wheel_count_);
      // Down is the count as a negative 8-bit number; a wheel moves at most 128 steps down and
      // 127 up.
      const auto p2 = Selected(wheel_) == 1 ? static_cast<std::uint8_t>(0x80 + (128 - std::min(count, 128)))
                                            : static_cast<std::uint8_t>(std::min(count, 127));
      return {kTypeWheel, Nibbles(wheel_delay_, wheel_speed_), p2};
    }
    case kPageResolution:
      return entry_code(resolution_, kResolutionList);
    case kPageFire:
      return {kTypeFire, static_cast<std::uint8_t>(ReadNumber(fire_interval_) & 0xFF),
              static_cast<std::uint8_t>(ReadNumber(fire_count_) & 0xFF)};
    case kPageKey:
      return {kTypeKey, ModifierBit(SelectedModifierBox()), KeyName().empty() ? std::uint8_t{0} : usage_};
    case kPageMedia:
      return entry_code(media_, kMediaList);
    case kPageSystem:
      return entry_code(system_, kSystemList);
    case kPageMacro: {
      const int macro = Selected(macro_);
      const int mode = Selected(macro_mode_);
      if (macro < 0 || macro_count_ == 0 || mode < 0 || mode > kMacroRepeatMode) return current;
      if (mode == kMacroRepeatMode)
        return {kTypeMacroRepeat, static_cast<std::uint8_t>(macro),
                static_cast<std::uint8_t>(ReadNumber(macro_cycle_) & 0xFF)};
      return {kTypeMacro, static_cast<std::uint8_t>(macro), static_cast<std::uint8_t>(mode)};
    }
    case kPageGunKey: {
      const int gun = Selected(gun_key_);
      return gun >= 0 ? KeyCode{kTypeGunKey, static_cast<std::uint8_t>(gun), 0} : current;
    }
    case kPageShortcut:
      return entry_code(shortcut_, kShortcutList);
    case kPageDefault:
      return entry_.default_code;
    default:
      // No page (a code no page shows): the code stays as it is.
      return current;
  }
}

KeyEntry CKeySetControlUI::Compose() {
  entry_.current = ComposeCode();
  return entry_;
}

void CKeySetControlUI::SetMacroNames(const std::vector<std::string>& names) {
  macro_count_ = static_cast<int>(names.size());
  if (macro_ == nullptr) return;
  macro_->RemoveAll();
  for (const std::string& name : names) {
    ui::ListElement* e = macro_->AddItem(name);
    e->SetFixedSize(0, 30);
  }
  macro_->SelectItem(-1, false);
}

void CKeySetControlUI::SelectMacro(int index) { Select(macro_, index); }

void CKeySetControlUI::SetMacroName(int index, const std::string& text) {
  if (macro_ == nullptr || index < 0) return;
  if (ui::Control* e = macro_->ChildAt(static_cast<std::size_t>(index))) e->SetText(text);
}

void CKeySetControlUI::EnableButtons(bool enabled) {
  for (ui::Control* b : {save_button_, cancel_button_, device_save_button_})
    if (b != nullptr) b->SetEnabled(enabled);
}

void CKeySetControlUI::OnFunctionSelected() {
  const int page = SelectedPage();
  if (page == kNoPage || function_tab_ == nullptr) return;
  function_tab_->SelectItem(page);
  if (page == kPageKey) {
    ClearKeyName();
    SelectBox(-1);
    ShowCaptureHint(false);
  }
}

void CKeySetControlUI::OnMacroModeSelected() {
  if (macro_cycle_layout_ != nullptr) macro_cycle_layout_->SetVisible(Selected(macro_mode_) == kMacroRepeatMode);
}

void CKeySetControlUI::OnModifierBoxSelected(int box) {
  if (box >= 0 && box < kModifierBoxes && boxes_[static_cast<std::size_t>(box)]->IsSelected()) SelectBox(box);
}

void CKeySetControlUI::OnEditDone(const ui::Control* edit) {
  struct Rule {
    ui::Edit* edit;
    int modulus;  // what Compose keeps of the number
  };
  for (const Rule& r :
       {Rule{swing_delay_, 16}, Rule{swing_speed_, 16}, Rule{wheel_delay_, 16}, Rule{wheel_speed_, 16},
        Rule{swing_count_, 128}, Rule{fire_interval_, 256}, Rule{fire_count_, 256}, Rule{macro_cycle_, 256}}) {
    if (r.edit != nullptr && r.edit == edit) SetNumber(r.edit, ReadNumber(r.edit) % r.modulus);
  }
  if (wheel_count_ != nullptr && wheel_count_ == edit)
    SetNumber(wheel_count_, std::min(ReadNumber(wheel_count_), Selected(wheel_) == 1 ? 128 : 127));
}

bool CKeySetControlUI::CaptureShown() const {
  return bound_ && LayoutShown() && SelectedPage() == kPageKey && ShownPage() == kPageKey && OnScreen(key_text_);
}

CKeySetControlUI::Capture CKeySetControlUI::CaptureKey(std::uint16_t capture_code) {
  if (!CaptureShown()) return Capture::kNotShown;
  const int r = FindCaptureRow(capture_code);
  if (r < 0 || kKeyTable[static_cast<std::size_t>(r)].code.type != kTypeKey) {
    ShowCaptureHint(true);
    return Capture::kUnsupported;
  }
  ShowCaptureHint(false);
  if (r < kModifierRows) {
    SelectBox(ModifierBox(r));
    ClearKeyName();
    entry_.current = ComposeCode();
    return Capture::kModifier;
  }
  const KeyTableRow& row = kKeyTable[static_cast<std::size_t>(r)];
  if (SelectedModifierBox() < 0) SelectBox(0);
  SetKeyName(&row, row.code.p2);
  entry_.current = ComposeCode();
  return Capture::kKey;
}

CKeySetControlUI::Capture CKeySetControlUI::CaptureLinuxKey(int evdev_code) {
  if (!CaptureShown()) return Capture::kNotShown;
  const auto key = platform::FindEvdevKey(evdev_code);
  // A key without a virtual-key code matches no row.
  return CaptureKey(key ? CaptureCode(key->vk, key->extended) : std::uint16_t{0});
}

void ShowKeyFunctions(COmbrixUSBDevice& device, std::span<const KeyEntry> keys,
                      std::span<const std::string> macro_names) {
  const ui::Window* window = device.GetWindow();
  const TextLookup text = [window](std::string_view key) {
    return window != nullptr ? window->Text(key) : std::string(key);
  };
  for (std::size_t i = 0; i < keys.size(); ++i) {
    CDeviceKeyButtonUI* button = device.KeyButton(static_cast<int>(i));
    if (button == nullptr) continue;
    const auto name = KeyCodeName(keys[i].current, text, macro_names);
    button->SetToolTip(name ? *name : text("key_unknown"));
  }
}

}  // namespace brimvex::devices
