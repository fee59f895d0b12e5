#pragma once
// COmbrixKeyboardDevice: the keyboard (device kind 1), on its cable or through its receiver. It
// reads the keyboard's key map, key positions and settings record when the keyboard is found,
// turns the profile into the settings record, key map and macro block and writes them, keeps the
// system settings page in step with the profile, streams per-key colours in the audio and
// host-colour modes, writes the custom colour groups, and runs the keyboard's light effects on
// the page's picture.
//
// Write operations return RESULT_OK or the first failure (RESULT_FAILED with nothing sent when
// the channel is closed or the key map was never read); CMD_END follows every CMD_BEGIN that
// the keyboard answered.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <span>
#include <vector>

#include "devices/keyboard_effects.h"
#include "devices/keyboard_settings_record.h"
#include "devices/page_key_editor.h"
#include "devices/usb_device.h"
#include "profiles/keyboard_profile_data.h"

namespace brimvex::ui {
class Option;
class Slider;
class Label;
class RichEdit;
}  // namespace brimvex::ui

namespace brimvex::devices {

class CKeySetControlUI;

// The keyboard's light tick: its mode table's thresholds 5..1 are steps of 80..16 ms.
inline constexpr platform::Millis kKeyboardLightTick{16};
// Mode indexes with a meaning of their own to the keyboard.
inline constexpr int kCustomColorsMode = 19;
inline constexpr int kSweepMode = 24;
inline constexpr int kAudioMode = 29;
inline constexpr int kHostColorsMode = 30;
// The FN key's page key: its button's state follows the function switch.
inline constexpr int kFnPageKey = 110;

class COmbrixKeyboardDevice : public COmbrixUSBDevice {
 public:
  COmbrixKeyboardDevice(platform::HidBackend& backend, platform::EventLoop& loop);
  ~COmbrixKeyboardDevice() override;

  // --- Device operations ---
  void BindPageControls() override;
  int ApplyLightSettings() override;
  // The page shows the frame; in modes 29 and 30, and during synchronised lighting, the 126
  // lights go to the keyboard as 378 bytes laid out by map 1, on either link.
  int SendLedFrame() override;
  bool StreamsFrame() const override;
  int InitialSync() override;
  int Resync() override;
  // Over the receiver: CMD_LINK_QUERY, then the status block (devices/wireless_status.h).
  int ReadPowerStatus() override;
  int IsLinkReachable() override;
  int ReloadProfile() override;
  void RefreshPage() override;
  void RepairMacroKeys() override;
  void LoadDefaultProfile() override;
  std::vector<int> CollectUsedMacros() override;
  int WriteKeyMap(const std::vector<profiles::KeyEntry>& keys) override;
  int WriteProfileKeyMap() override;
  // 0 when written (or nothing to write), the limits' counts, -1 when the block could not be
  // made or the commands failed without a status, or the failing command's result.
  int WriteMacros(const std::vector<int>& macro_indexes) override;
  int WriteSettings(int profile, int value, int flag, int a, int b) override;
  void LoadNameLists() override;
  void ShowFunctionSwitch(int type) override;
  void LoadProfileFiles() override;
  std::string GetProfilePath() const override;
  bool SaveProfile() override;
  void SetLightTableIndex(int index) override;
  void SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) override;
  void SetAudioLightState(std::uint32_t mode, std::uint32_t color, std::uint32_t flags) override;
  void AudioLevels(std::span<const int> values) override;
  void AudioColor(std::span<const int> values) override;
  bool BuildPage(ui::DialogBuilder& builder) override;
  // Stores the index, shows the key editor and loads it with that page key's entry.
  void SelectKeyForEditing(int index) override;

  // --- Key assignments ---
  std::vector<profiles::KeyEntry> GetKeyList() const override { return key_list_; }
  bool StoreKeyAssignment(int key, const profiles::KeyCode& code) override;
  int PageKeyCount() const override { return kKeyboardPageKeys; }
  int KeySlotOf(int key) const override;
  // The page's key editor ("KeySetControlItem"; null without one).
  CKeySetControlUI* KeyEditor() const { return key_editor_.Editor(); }
  // The key map as the keyboard holds it now (3 x key count bytes, in one transaction); the
  // result (RESULT_FAILED, nothing sent, when closed or no key map was ever read).
  int ReadKeyMapNow(std::vector<std::uint8_t>& map);

  // --- System settings page ---
  profiles::KeyboardSystemSettings SystemSettings() const { return system_; }
  // Stores the settings in the profile, saves it and writes the settings record; the result of
  // the write (RESULT_FAILED when the profile was not saved).
  int ApplySystemSettings(const profiles::KeyboardSystemSettings& settings);
  // Repeat and RepeatDelay back to the default profile's, as ApplySystemSettings.
  int ResetRepeatSettings();
  // The settings as the system controls of the page show them (unchanged where a control is
  // missing).
  profiles::KeyboardSystemSettings SystemSettingsFromPage() const;

  // --- Custom colours (mode 19) ---
  void SetCustomKeyColor(int light);
  void FillCustomColors(bool on);
  // Writes the custom colours to slot 0; the result (RESULT_OK, nothing sent, outside mode 19).
  int SendCustomColors();
  void SelectCustomGroup(int group);
  int LoadCustomGroup();

  // --- Key notices ---
  // Page key `key` pressed (action 1) or released (2), for the reactive effects.
  void KeyEvent(int key, int action);
  // Whether the device reported key slot `slot` as held down.
  bool KeyHeld(int slot) const;

  // --- State, for the page and tests ---
  profiles::CKeyboardProfiledata& Profile() { return profile_; }
  const std::array<std::uint8_t, 512>& KeyMapCopy() const { return key_map_; }
  const std::array<std::uint8_t, 512>& KeyPositionCopy() const { return key_positions_; }
  const KeyboardRecord& SettingsRecord() const { return record_; }
  // False until a key map was read, and after a key count the channel refuses.
  bool KeyMapUsable() const { return key_map_usable_; }
  KeyboardEffectState EffectSnapshot() const;

  // How often the light worker steps mode `mode` at speed `speed` (0 for modes without a row,
  // which the user-defined effect engine paces).
  static platform::Millis StepPeriod(int mode, int speed);

  // A row of the mode table: the keyboard's own step of mode `Mode` under the frame lock.
  template <int Mode>
  void EffectStep();

 protected:
  std::span<const LightModeRow> LightModeTable() const override;
  platform::Millis LightTickPeriod() const override { return kKeyboardLightTick; }
  const char* LightWorkerExitLine() const override { return "KB灯光线程设定退出"; }
  platform::Millis CustomEffectStep() override;
  platform::Millis LightOverlayStep() override;
  void OnKeyNotice(int slot, bool pressed) override;

 private:
  // Reads everything of the keyboard; false when it has to stop (nothing more is done).
  bool ReadKeyboard(int& result);
  void BuildKeyMaps();
  int ReadSettingsRecord();
  // CMD_BEGIN, `body` when the keyboard answered OK, CMD_END once it answered at all.
  int Transaction(const std::function<int()>& body);
  // The first 126 lights' colours at 3 x their LED position (map 1), scaled by alpha or not.
  std::array<std::uint8_t, 512> PositionedColors(const std::vector<Rgba>& frame, bool scaled) const;
  void RunModeStart(int mode);
  // Under the frame lock: the user-defined effect's step in force starts at `now`.
  void BeginCustomStep(platform::Millis now);
  void CachePageControls();
  // The key list view: each key's tooltip names its function; the editor knows the macros.
  void ShowKeyList();
  int ListedModeCount() const { return LightModes().Count(); }

  profiles::CKeyboardProfiledata profile_;
  std::array<std::uint8_t, 512> key_map_{};
  std::array<std::uint8_t, 512> key_positions_{};
  bool key_map_usable_ = false;
  KeyboardRecord record_{};
  LightInfo record_view_{};
  profiles::KeyboardSystemSettings system_{};
  std::vector<profiles::KeyEntry> key_list_;
  PageKeyEditor key_editor_;
  std::array<int, 25> audio_bands_{};
  std::array<int, 6> audio_colors_{};
  int audio_total_ = 0;
  // Effect state (frame lock), overlay state (effect lock) and the page light of each key slot
  // for the key notices (frame lock).
  KeyboardEffectState effects_;
  OverlayState overlays_;
  std::array<std::uint8_t, 256> light_of_slot_{};
  std::array<std::atomic<bool>, 256> held_{};
  // The custom effect engine (worker thread, frame lock).
  platform::Millis custom_step_began_{0};
  PreviewState custom_preview_;
  // Cached system controls of the page.
  struct SystemControls {
    bool cached = false;
    ui::Slider* repeat_rate = nullptr;
    ui::RichEdit* repeat_input = nullptr;
    ui::Label* repeat_delay_label = nullptr;
    ui::Option* win_lock = nullptr;
    ui::Option* w_flag = nullptr;
    ui::Option* key6 = nullptr;
    std::array<ui::Option*, 4> polling{};
    std::array<ui::Option*, 4> repeat_delay{};
  } controls_;
};

}  // namespace brimvex::devices
