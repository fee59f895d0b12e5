#pragma once
// COmbrixMouseDevice: the mouse (device kind 2), on its cable or through its receiver. It reads
// the mouse's key map when found (its settings record only after a change notice: the profile
// is in force), writes the settings record with the resolution stages, report rate and screen
// size, the key map, the macro block and the recoil block, keeps the stage and pointer controls
// of its page in step with the profile, and runs the mouse's light effects on the page's picture.
//
// Through the receiver every command follows a CMD_LINK_QUERY; once the mouse is reported out of
// reach nothing more is sent and the operation returns RESULT_LINK_DOWN. Otherwise writes return
// as the keyboard's: RESULT_OK or the first failure (RESULT_FAILED with nothing sent when the
// channel is closed); WriteMacros and WriteShootData 0 when written.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "devices/key_map_block.h"
#include "devices/mouse_settings_record.h"
#include "devices/page_key_editor.h"
#include "devices/recoil_block.h"
#include "devices/resolution_display.h"
#include "devices/usb_device.h"
#include "profiles/mouse_profile_data.h"

namespace brimvex::devices {

inline constexpr int kMousePageKeys = 11;
inline constexpr int kMouseLights = 15;
inline constexpr int kMouseStages = 5;
inline constexpr int kReportRates = 5;
// A page key without a key slot.
inline constexpr int kMouseNoSlot = 170;

// Report rate of option index 0-4, in Hz (0 past the table).
int ReportRateHz(int index);
// Option index of a rate in Hz, or -1.
int ReportRateIndex(int hz);

// What a recoil write did: its result (0 written, n > 0 too large, RESULT_LINK_DOWN, another
// failure), the block's length and the largest block the mouse takes.
struct RecoilWrite {
  int result = 0;
  std::size_t length = 0;
  std::size_t limit = kRecoilBlockLimit;
};

class COmbrixMouseDevice : public COmbrixUSBDevice {
 public:
  COmbrixMouseDevice(platform::HidBackend& backend, platform::EventLoop& loop);
  ~COmbrixMouseDevice() override;

  // --- Device operations ---
  void BindPageControls() override;
  bool BuildPage(ui::DialogBuilder& builder) override;
  int InitialSync() override;
  int Resync() override;
  // Over the receiver: CMD_LINK_QUERY, then the status block (devices/wireless_status.h).
  int IsLinkReachable() override;
  int ReadPowerStatus() override;
  int ReloadProfile() override;
  void RefreshPage() override;
  void RepairMacroKeys() override;
  void LoadDefaultProfile() override;
  std::vector<int> CollectUsedMacros() override;
  int WriteKeyMap(const std::vector<profiles::KeyEntry>& keys) override;
  int WriteProfileKeyMap() override;
  int WriteMacros(const std::vector<int>& macro_indexes) override;
  // WriteSettings(p, value, flag, screen width, screen height).
  int WriteSettings(int profile, int value, int flag, int width, int height) override;
  void LoadNameLists() override;
  void ShowFunctionSwitch(int type) override;
  void LoadProfileFiles() override;
  std::string GetProfilePath() const override;
  bool SaveProfile() override;
  void SetLightTableIndex(int index) override;
  void SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) override;
  int ApplyLightSettings() override;
  void SelectKeyForEditing(int index) override;
  void DeviceEffect1() override;  // wave over the seven LED groups
  void DeviceEffect2() override;  // reactive
  void DeviceEffect3() override;  // hold glow

  // The recoil block of the four guns: READ_INFO, then BEGIN, CMD_WRITE_SHOOT, END. A block
  // larger than the recoil area is refused before anything is sent.
  RecoilWrite WriteShootData();
  // The guns' events; the working files of the data folder unless set.
  void SetRecoilSource(std::shared_ptr<const macros::RecoilSource> source);

  // --- Key assignments ---
  std::vector<profiles::KeyEntry> GetKeyList() const override { return key_list_; }
  bool StoreKeyAssignment(int key, const profiles::KeyCode& code) override;
  int PageKeyCount() const override { return kMousePageKeys; }
  int KeySlotOf(int key) const override;

  // --- Page operations (stage n: 0-4) ---
  void SetActiveStage(int n);
  // The last enabled stage stays on: its enable option is disabled.
  void SetStageEnabled(int n, bool on);
  // Slider and edit of stage n show v; the active stage's controls are marked.
  void SetStageValue(int n, int v);
  int GetStageValueFromEdit(int n) const;
  std::uint32_t GetStageColor(int n) const;
  void SetStageColor(int n, std::uint32_t argb);
  void SetReportRate(int index);
  void SelectSettingsPage(int index);
  int GetPointerSpeed() const;
  bool GetPointerPrecision() const;
  bool GetScrollByPage() const;
  int GetWheelLines() const;
  int GetDoubleClick() const;
  int GetDoubleClickMaximum() const;
  void SetScroll(bool page, int lines);

  // --- The model behind the page ---
  std::vector<profiles::StageRecord> Stages() const { return stages_; }
  profiles::PointerOptions PointerOptions() const { return pointer_; }
  int ActiveStage() const { return active_stage_; }
  // Stores into the profile and saves it; false when the file was not written.
  bool StoreStages(const std::vector<profiles::StageRecord>& stages);
  bool StoreActiveStage(int n);
  bool StorePointerOptions(const profiles::PointerOptions& options);
  ResolutionScale Scale() const { return ResolutionScale::FromInfo(info_copy_); }

  // --- State, for the page and tests ---
  profiles::CMouseProfiledata& Profile() { return profile_; }
  CKeySetControlUI* KeyEditor() const { return key_editor_.Editor(); }
  const KeyMapBytes& KeyMapCopy() const { return key_map_; }
  const std::array<std::uint8_t, kMouseRecordReadSize>& SettingsRecord() const { return record_; }
  bool KeyMapUsable() const { return key_map_usable_; }
  // The wired mouse reported a press (notice 1027): every LED lights up for the reactive and
  // hold-glow effects.
  void ButtonPressed();
  // Levels of the LEDs in the hold-glow effect.
  std::array<std::uint8_t, kMouseLights> GlowLevels() const;

 protected:
  std::span<const LightModeRow> LightModeTable() const override;
  const char* LightWorkerExitLine() const override { return "MS灯光线程设定退出"; }
  void HandleEventValue(std::uint16_t value, bool receiver) override;

 private:
  bool ReadMouse(int& result);
  void BuildKeyMap();
  int ReadSettingsRecord();
  void SetStageRanges();
  void ApplyProfileToModel();
  MouseRecordInput RecordInput() const;

  profiles::CMouseProfiledata profile_;
  KeyMapBytes key_map_{};
  bool key_map_usable_ = false;
  hid::InfoBlock info_copy_{};
  std::array<std::uint8_t, kMouseRecordReadSize> record_{};
  LightInfo record_view_{};
  std::vector<profiles::StageRecord> stages_;
  profiles::PointerOptions pointer_{};
  int active_stage_ = 0;
  std::vector<profiles::KeyEntry> key_list_;
  PageKeyEditor key_editor_;
  std::shared_ptr<const macros::RecoilSource> recoil_;
  // A stage reported by the mouse (notice 0x11), taken over by the next RefreshPage.
  std::atomic<int> noticed_stage_{-1};
  // Effect state under the frame lock.
  std::uint32_t wave_phase_ = 0;
  std::array<std::uint8_t, kMouseLights> glow_{};
  bool glow_rising_ = false;
};

}  // namespace brimvex::devices
