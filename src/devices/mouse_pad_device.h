#pragma once
// COmbrixMousePadDevice: the lighted mouse pad (device kind 3). It has lights and no keys: a
// 21-byte settings record that carries its light settings, a light worker with its own wave and
// ripple steps, and one event worker that asks for a resync.
//
// Its records are read at p x 29 (29 bytes) and written at p x 64 (21 bytes). The program only
// writes profile 0, where both agree; the emulated pad keeps its records at p x 64, so a read of
// profile p != 0 there returns bytes of neighbouring records.
#include <array>
#include <functional>

#include "devices/keyboard_effects.h"
#include "devices/pad_effects.h"
#include "devices/usb_device.h"
#include "profiles/basic_profile_data.h"

namespace brimvex::devices {

inline constexpr std::size_t kPadRecordSize = 21;
inline constexpr std::size_t kPadReadSize = 29;
inline constexpr std::uint16_t kPadReadStride = 29;
inline constexpr std::uint16_t kPadWriteStride = 64;
// The message the pad sends the main window after a resync, with its active profile.
inline constexpr std::uint32_t kPadProfileMessage = 0x0D00;
// The pad's light worker passes: one pass every 1 ms.
inline constexpr platform::Millis kPadLightTick{1};

using PadRecord = std::array<std::uint8_t, kPadRecordSize>;

// The record a write sends: the kept record with byte 1 the device code of the light mode (a mode
// without a list entry sends entry 0's code; no list at all sends 0) and byte 3 = 4 - speed.
PadRecord BuildPadRecord(const PadRecord& kept, const LightInfo& light, const lighting::LightModeList& modes);

class COmbrixMousePadDevice : public COmbrixUSBDevice {
 public:
  COmbrixMousePadDevice(platform::HidBackend& backend, platform::EventLoop& loop);
  ~COmbrixMousePadDevice() override;

  bool BuildPage(ui::DialogBuilder& builder) override;
  void BindPageControls() override;
  // The pad has one event interface, on its cable; it is opened once and kept.
  bool OpenEventInterface(bool receiver, const std::string& path) override;

  int InitialSync() override;
  int Resync() override;
  int ReloadProfile() override;
  void LoadDefaultProfile() override;
  void RefreshPage() override;
  int ApplyLightSettings() override;
  // The record to device profile `profile` (callers pass 0): RESULT_OK or the first failure.
  int WriteSettings(int profile, int value, int flag, int a, int b) override;
  void LoadNameLists() override;
  void LoadProfileFiles() override;
  std::string GetProfilePath() const override;
  bool SaveProfile() override;
  void SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) override;
  void SetAudioLightState(std::uint32_t mode, std::uint32_t color, std::uint32_t flags) override;
  void DeviceEffect1() override;  // PadWave
  void DeviceEffect2() override;  // PadRipple
  void DeviceEffect3() override;  // PadGroupRipple

  // Where the pad's messages for the main window go (0x0D00 with the active profile after a
  // resync); the window leaves them to its default handling, so by default they go nowhere.
  void SetMainWindowMessages(std::function<void(std::uint32_t, std::int64_t)> sink) {
    main_window_message_ = std::move(sink);
  }
  // The kept settings record (bytes 0, 4, 9-20 as last read; 0 before any read).
  PadRecord KeptRecord() const;
  profiles::CBasicProfiledata& Profile() { return profile_; }

 protected:
  std::span<const LightModeRow> LightModeTable() const override;
  platform::Millis LightTickPeriod() const override { return kPadLightTick; }
  const char* LightWorkerExitLine() const override { return "MS灯光线程设定退出"; }
  const char* EventWorkerExitLine() const override { return "MS设备同步线程设定退出"; }
  void HandleEventValue(std::uint16_t value, bool receiver) override;
  platform::Millis CustomEffectStep() override;
  platform::Millis LightOverlayStep() override;

 private:
  int ReadSettingsRecord();
  // CMD_BEGIN, the body, CMD_END: RESULT_OK or the first failure.
  int Transaction(const std::function<int()>& body);

  profiles::CBasicProfiledata profile_;
  mutable std::mutex record_lock_;
  PadRecord record_{};
  PadEffectState effects_;  // under the frame lock
  PreviewState custom_preview_;
  platform::Millis custom_step_began_{0};
  OverlayState overlays_;
  std::function<void(std::uint32_t, std::int64_t)> main_window_message_;  // under the frame and effect locks
};

}  // namespace brimvex::devices
