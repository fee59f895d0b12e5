#pragma once
// COmbrixRI6533Device: the headset (device kind 7). Its equaliser, microphone, monitoring and
// voice changer live in the audio chip's driver and are reached through the chip library
// (HeadsetAudio); its page holds the voice page and the voice changer page beside its lights.
// Lights: a 21-byte light block in the device's parameter memory, and per-LED colours as twelve
// 17-byte output reports (ID 0xFF). Everything but the light worker runs on the UI thread.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/headset_audio.h"
#include "devices/pad_effects.h"
#include "devices/usb_device.h"
#include "platform/ui/control_factory.h"
#include "profiles/ri6533_profile_data.h"

namespace brimvex::audio {

class CVoice6533ControlUI;
class CMagicControlUI;

inline constexpr std::size_t kLightBlockSize = 21;
inline constexpr std::size_t kLightReadSize = 29;
inline constexpr std::size_t kLedReportSize = 17;
inline constexpr std::size_t kLedReportCount = 12;
inline constexpr std::size_t kHeadsetLeds = 13;
inline constexpr std::size_t kCustomEqLimit = 20;
inline constexpr int kHeadsetLightTableIndex = 3;

using LedReport = std::array<std::uint8_t, kLedReportSize>;
// The twelve reports that carry a frame (LED 170 skipped; component x intensity >> 8, at most 247).
std::array<LedReport, kLedReportCount> HeadsetLedReports(const std::vector<devices::Rgba>& frame);

class COmbrixRI6533Device : public devices::COmbrixUSBDevice {
 public:
  COmbrixRI6533Device(platform::HidBackend& backend, platform::EventLoop& loop,
                      platform::AudioChipLoader& loader = platform::SystemAudioChipLoader());
  ~COmbrixRI6533Device() override;

  // Where the chip library is looked for (the program sets it once at start).
  static void SetLibraryFile(std::string file);
  static std::string LibraryFile();
  // What shows a message box: the text, and whether it is a language key.
  using MessageSink = std::function<void(const std::string& text, bool is_key)>;
  // `owner` names who set it; ClearMessageSink(owner) removes it only if it is still theirs.
  static void SetMessageSink(const void* owner, MessageSink sink);
  static void ClearMessageSink(const void* owner);

  // The page: the lights (picture and light editor), voice, voice changer and surround pages in
  // one tab layout that the profile list's function tabs switch.
  bool BuildPage(ui::DialogBuilder& builder) override;
  // Binds the lights and the voice pages; once the headset is there, starts the library.
  void BindPageControls() override;
  // Function tab 1 the lights, 6 voice, 7 voice changer, 8 surround; any other the lights.
  void ShowFunctionSwitch(int type) override;
  int InitialSync() override;
  int ReloadProfile() override;
  void RefreshPage() override;
  int ApplyLightSettings() override;
  // Writes the light block of device profile `profile`.
  int WriteSettings(int profile, int value, int flag, int a, int b) override;
  void SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) override;
  int SendLedFrame() override;
  // The headset's own steps: the wave and the two ripples round its 13 lights.
  void DeviceEffect1() override;
  void DeviceEffect2() override;
  void DeviceEffect3() override;
  void LoadNameLists() override { ReadNameLists(); }
  void LoadProfileFiles() override;
  std::string GetProfilePath() const override { return profile_.GetProfilePath(); }
  bool SaveProfile() override;

  // --- Audio ---
  // The headset start: the library, the endpoints, the fill and the driver state, then the page.
  void StartAudio(const std::string& file);
  HeadsetAudio& Audio() { return audio_; }
  const profiles::VoiceState& Voice() const { return voice_; }
  const Bands& CurrentBands() const { return bands_; }
  CVoice6533ControlUI* VoicePage() const { return voice_page_; }
  CMagicControlUI* MagicPage() const { return magic_page_; }
  profiles::CRi6533Profiledata& Profile() { return profile_; }
  // The messages shown, in order (also handed to the message sink).
  const std::vector<std::string>& Messages() const { return messages_; }

  // --- What the page's controls do ---
  void ApplyPreset(int n);
  void ChangeBand(int band, int value);
  void ApplySelectedCustom();
  void SaveCustom();
  void DeleteCustom();
  void ToggleMic();
  void ToggleMonitor();
  void SetMicLevel(int level);
  void SetMonitorLevel(int level);
  void SwitchVoiceChanger();
  void SelectVoiceType(int n);

  // --- Lights ---
  // Writes the light block from the profile's light record at 64 x slot.
  int WriteLightBlock(int slot);
  // Reads the active slot and the 29 bytes at 29 x slot back into the light record.
  int ReadLightState();
  const std::array<std::uint8_t, kLightBlockSize>& LightBlock() const { return light_block_; }

 protected:
  std::span<const LightModeRow> LightModeTable() const override;
  const char* LightWorkerExitLine() const override { return "耳机灯光线程设定退出"; }

 private:
  void Message(const std::string& text, bool is_key);
  void Rejected();
  void StoreVoice();
  void ShowBands();
  Bands LoadBands(std::vector<std::int32_t> values) const;
  void WriteAndShowBands(const Bands& bands);
  bool Usable() const { return audio_.Available(); }

  HeadsetAudio audio_;
  bool audio_started_ = false;
  profiles::CRi6533Profiledata profile_;
  profiles::VoiceState voice_{};
  Bands bands_{};
  std::vector<std::string> custom_names_;
  CVoice6533ControlUI* voice_page_ = nullptr;
  CMagicControlUI* magic_page_ = nullptr;
  std::array<std::uint8_t, kLightBlockSize> light_block_{};
  devices::PadEffectState effects_;  // under the frame lock
  std::vector<std::string> messages_;
};

// The control factory's creators of the headset, its voice page and its voice changer page.
ui::ControlFactory::Creator HeadsetCreator(platform::HidBackend* backend, platform::EventLoop* loop);
ui::ControlFactory::Creator Voice6533ControlCreator();
ui::ControlFactory::Creator MagicControlCreator();

}  // namespace brimvex::audio
