#pragma once
// The game light effect: another program posts "Game_Start", "Game_End", "Game_Kill" or
// "Game_Death" with wParam the variant (0, 1 or 2) and lParam the light mode (0..255); the
// selected device shows that mode until timer 1066 (5 s after the last event) restores the mode
// it had. Variant 0 keeps the current mode to restore (a mode of 0 is kept as 1), variants 1 and
// 2 leave the kept one. Every event re-arms the timer; out-of-range words change nothing else.
//
// The restore goes to each device an event changed, not to whichever is selected when the timer
// fires, and a variant-0 event while a restore is pending keeps the mode to restore, so the user's
// own mode is never lost.
#include <cstdint>
#include <functional>
#include <vector>

#include "profiles/profile_records.h"

namespace brimvex::devices {
class COmbrixUSBDevice;
}

namespace brimvex::app {

class GameLight {
 public:
  // Stores the record on the device, saves, reloads and writes it; returns the write's result.
  using LightWriter = std::function<int(devices::COmbrixUSBDevice&, const profiles::LightInfo&)>;
  explicit GameLight(LightWriter writer) : writer_(std::move(writer)) {}

  // One game event for `device` (null: none selected). The caller re-arms timer 1066 whatever
  // this does.
  void OnEvent(devices::COmbrixUSBDevice* device, std::uint64_t variant, std::int64_t mode);
  // Timer 1066 (or a restore that was due while asleep, or one pending at exit).
  void Restore();
  bool RestorePending() const { return !pending_.empty(); }

 private:
  struct Pending {
    devices::COmbrixUSBDevice* device;
    std::uint8_t mode;  // the mode to go back to
  };
  void Write(devices::COmbrixUSBDevice& device, const profiles::LightInfo& info, const char* what);

  LightWriter writer_;
  std::vector<Pending> pending_;
};

}  // namespace brimvex::app
