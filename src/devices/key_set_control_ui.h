#pragma once
// CKeySetControlUI: the key assignment editor of a keyboard or mouse page. It turns a key code
// into its editor page (Show) and the page back into a key code (Compose), and takes the keys
// pressed while its keyboard-key page is shown (key capture). Its controls come from
// "XML/CustomControlXML/KeySetControl.xml", built inside it; it finds them by name once they
// arrive and fills the choice lists from the key tables.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "devices/key_tables.h"
#include "platform/ui/container.h"

namespace brimvex::ui {
class Combo;
class Edit;
class Option;
class TabLayout;
}  // namespace brimvex::ui

namespace brimvex::devices {

class COmbrixUSBDevice;

// Editor pages (the user data of the "keyset_function_combo" entries); page 0 keeps the
// factory function.
enum KeyEditorPage : int {
  kPageDefault = 0,
  kPageMouseButton = 1,
  kPageSwing = 2,
  kPageWheel = 3,
  kPageResolution = 4,
  kPageFire = 5,
  kPageKey = 6,
  kPageMedia = 7,
  kPageSystem = 8,
  kPageMacro = 9,
  kPageGunKey = 10,
  kPageShortcut = 11,
  kNoPage = -1,
};

// The play mode entry of "keyset_macro_over_combo" that asks for a repeat count.
inline constexpr int kMacroRepeatMode = 4;
inline constexpr int kModifierBoxes = 5;

class CKeySetControlUI : public ui::Container {
 public:
  CKeySetControlUI();

  // Finds the controls and fills the lists; runs by itself when the layout arrives as a child.
  // False when the layout lacks a control.
  bool BindControls();
  bool Bound() const { return bound_; }

  // Stores both halves and shows the current one.
  void Load(const KeyEntry& entry);
  const KeyEntry& Entry() const { return entry_; }
  // "key_butt_keydefalut": shows the default half. "key_butt_keycancel": shows the stored
  // current half.
  void ShowDefault();
  void ShowCurrent();
  // "key_butt_keysave": the key code the page gives, stored as the current half; the whole entry.
  KeyEntry Compose();

  void SetMacroNames(const std::vector<std::string>& names);
  void SelectMacro(int index);
  void SetMacroName(int index, const std::string& text);
  // "key_butt_keysave", "key_butt_keycancel" and "key_butt_prosave" together.
  void EnableButtons(bool enabled);
  // 1 (keyboard) leaves out the resolution and gun key pages; any other kind offers every page.
  void SetDeviceKind(int kind);
  int DeviceKind() const { return kind_; }

  // The user chose an entry of "keyset_function_combo": its page is shown; the keyboard-key
  // page starts empty, with no modifier box.
  void OnFunctionSelected();
  // The user chose a play mode: the repeat count shows for the repeat entry only.
  void OnMacroModeSelected();
  // The user chose modifier box n (0 none, 1 Ctrl, 2 Shift, 3 Alt, 4 Win).
  void OnModifierBoxSelected(int box);
  // An edit lost the focus: it shows the number Compose takes from it.
  void OnEditDone(const ui::Control* edit);

  // The page the function entry in force selects (kNoPage when none is selected).
  int SelectedPage() const;
  // The page "function_switch_tablayout" shows, and whether "keyset_layout" is shown.
  int ShownPage() const;
  bool LayoutShown() const;
  int SelectedModifierBox() const;
  const std::string& KeyName() const;
  std::uint8_t CapturedUsage() const { return usage_; }

  // Key capture. Only while the editor is on screen with its keyboard-key page.
  enum class Capture { kNotShown, kUnsupported, kModifier, kKey };
  bool CaptureShown() const;
  // A key press by its capture code: a modifier selects its box, another key of type 0x20 names
  // the key; the caller then saves the entry as "key_butt_keysave" does. A key without such a
  // row shows "keyset_key_unsupported" and changes nothing.
  Capture CaptureKey(std::uint16_t capture_code);
  // The same for a Linux key code.
  Capture CaptureLinuxKey(int evdev_code);

 protected:
  void ChildrenChanged() override;

 private:
  struct FunctionEntry {
    std::string text_key;
    std::string text;
    int page = kNoPage;
  };
  void Show(KeyCode code);
  bool SelectFunctionPage(int page);
  void RebuildFunctionEntries();
  void SelectBox(int box);
  void SetKeyName(const KeyTableRow* row, std::uint8_t usage);
  void ClearKeyName();
  void ShowCaptureHint(bool unsupported);
  KeyCode ComposeCode() const;

  bool bound_ = false;
  int kind_ = 0;
  KeyEntry entry_;
  std::uint8_t usage_ = 0;
  int macro_count_ = 0;
  std::vector<FunctionEntry> function_entries_;

  ui::Control* layout_ = nullptr;
  ui::Combo* function_combo_ = nullptr;
  ui::TabLayout* function_tab_ = nullptr;
  ui::Control* default_button_ = nullptr;
  ui::Control* save_button_ = nullptr;
  ui::Control* cancel_button_ = nullptr;
  ui::Control* device_save_button_ = nullptr;
  ui::Combo* mouse_key_ = nullptr;
  ui::Combo* swing_ = nullptr;
  ui::Edit* swing_count_ = nullptr;
  ui::Edit* swing_delay_ = nullptr;
  ui::Edit* swing_speed_ = nullptr;
  ui::Combo* wheel_ = nullptr;
  ui::Edit* wheel_count_ = nullptr;
  ui::Edit* wheel_delay_ = nullptr;
  ui::Edit* wheel_speed_ = nullptr;
  ui::Combo* resolution_ = nullptr;
  ui::Edit* fire_interval_ = nullptr;
  ui::Edit* fire_count_ = nullptr;
  ui::Edit* key_text_ = nullptr;
  ui::Control* capture_hint_ = nullptr;
  ui::Combo* media_ = nullptr;
  ui::Combo* system_ = nullptr;
  ui::Combo* macro_ = nullptr;
  ui::Combo* macro_mode_ = nullptr;
  ui::Control* macro_cycle_layout_ = nullptr;
  ui::Edit* macro_cycle_ = nullptr;
  ui::Combo* gun_key_ = nullptr;
  ui::Combo* shortcut_ = nullptr;
  std::array<ui::Option*, kModifierBoxes> boxes_{};
};

// The page's key list view: each "key_N" button of the device tells the function of page key N
// (its current code named as the key list names it, "key_unknown" when the tables cannot).
void ShowKeyFunctions(COmbrixUSBDevice& device, std::span<const KeyEntry> keys,
                      std::span<const std::string> macro_names = {});

}  // namespace brimvex::devices
