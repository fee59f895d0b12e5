// The controller's light actions: the game light effect with timer 1066 and the same-mode setup
// of synchronised lighting.
#include <array>
#include <cstring>

#include "app/main_wnd.h"
#include "devices/usb_device.h"
#include "hid/command_codes.h"
#include "platform/trace.h"

namespace brimvex::app {
namespace {

constexpr platform::Millis kGameLightTime{5000};

}  // namespace

int CMainWnd::WriteLight(devices::COmbrixUSBDevice& device, const profiles::LightInfo& info) {
  // The record as its four little-endian words.
  std::array<std::uint8_t, 16> bytes{};
  std::memcpy(bytes.data(), &info, sizeof info);
  std::array<std::uint32_t, 4> words{};
  for (std::size_t i = 0; i < bytes.size(); ++i) words[i / 4] |= static_cast<std::uint32_t>(bytes[i]) << (8 * (i % 4));
  device.SetLightState(words[0], words[1], words[2], words[3]);
  if (!device.SaveProfile()) platform::Trace("light: the profile was not saved");
  device.ApplyLightSettings();
  // As every settings write of the controller: profile 0, with the screen size.
  return device.WriteSettings(0, 0, 1, screen_width_, screen_height_);
}

void CMainWnd::OnGameEvent(std::uint64_t variant, std::int64_t mode) {
  game_.OnEvent(SelectedDevice(), variant, mode);
  // Every event (also without a device, or with words out of range) starts the 5 s again.
  frontend_.Loop().SetTimer(
      this, kTimerGameLight, kGameLightTime, [this] { OnGameTimer(); }, platform::EventLoop::TimerKind::kOneShot);
}

void CMainWnd::OnGameTimer() {
  frontend_.Loop().KillTimer(this, kTimerGameLight);
  RunWhenAwake([this] { game_.Restore(); });
}

void CMainWnd::SetupSameMode() {
  devices::COmbrixUSBDevice* source = SelectedDevice();
  if (source == nullptr || devices_ == nullptr) return;
  const profiles::LightInfo info = source->GetLightState();
  const auto type = SyncTypeOfMode(source->DeviceType(), info.mode);
  if (!type) return;  // this mode has no common effect
  const SyncSettings settings{*type,         info.brightness, info.speed, info.direction, info.multi_color,
                              info.red,      info.green,      info.blue};
  std::vector<devices::COmbrixUSBDevice*> all;
  for (const auto* list : {&devices_->Keyboards(), &devices_->Mice(), &devices_->MousePads(), &devices_->Headsets()}) {
    for (devices::COmbrixUSBDevice* d : *list) {
      all.push_back(d);
      hid::CommandChannel& channel = d->CommandChannelRef();
      const auto mode = ModeOfSyncType(d->DeviceType(), *type);
      if (!channel.IsOpen() || !mode) continue;
      channel.SetLightSync(true);
      profiles::LightInfo own = info;
      own.mode = static_cast<std::uint8_t>(*mode);
      const int result = WriteLight(*d, own);
      if (result != hid::RESULT_OK) platform::TraceF("same mode: not written to the device (%d)", result);
    }
  }
  // The worker drives the colour of every device that takes part from now on.
  sync_.Publish(settings, std::move(all));
}

}  // namespace brimvex::app
