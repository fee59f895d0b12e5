#include "app/game_light.h"

#include <algorithm>

#include "devices/usb_device.h"
#include "hid/command_codes.h"
#include "platform/trace.h"

namespace brimvex::app {

void GameLight::Write(devices::COmbrixUSBDevice& device, const profiles::LightInfo& info, const char* what) {
  const int result = writer_(device, info);
  if (result != hid::RESULT_OK) platform::TraceF("game light: %s not written to the device (%d)", what, result);
}

void GameLight::OnEvent(devices::COmbrixUSBDevice* device, std::uint64_t variant, std::int64_t mode) {
  if (device == nullptr || variant > 2 || mode < 0 || mode > 255) return;
  device->CommandChannelRef().SetLightSync(false);
  profiles::LightInfo info = device->GetLightState();
  auto it = std::find_if(pending_.begin(), pending_.end(), [&](const Pending& p) { return p.device == device; });
  if (it == pending_.end()) {
    // The first event since the last restore decides what comes back.
    if (variant == 0) info.saved_mode = info.mode == 0 ? 1 : info.mode;
    pending_.push_back({device, info.saved_mode});
  } else {
    info.saved_mode = it->mode;
  }
  info.mode = static_cast<std::uint8_t>(mode);
  Write(*device, info, "game mode");
}

void GameLight::Restore() {
  const std::vector<Pending> pending = std::move(pending_);
  pending_.clear();
  for (const Pending& p : pending) {
    p.device->CommandChannelRef().SetLightSync(false);
    profiles::LightInfo info = p.device->GetLightState();
    info.mode = p.mode;
    info.saved_mode = p.mode;
    Write(*p.device, info, "restored mode");
  }
}

}  // namespace brimvex::app
