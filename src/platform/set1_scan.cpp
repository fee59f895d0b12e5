#include "platform/set1_scan.h"

#include <array>
#include <utility>

namespace brimvex::platform {
namespace {

// Linux key code -> set-1 pair, for the keys past code 88.
constexpr std::array<std::pair<int, Set1Scan>, 27> kBeyond88 = {{
    {89, {0x73, false}},   // KEY_RO
    {92, {0x79, false}},   // KEY_HENKAN
    {93, {0x70, false}},   // KEY_KATAKANAHIRAGANA
    {94, {0x7B, false}},   // KEY_MUHENKAN
    {95, {0x7E, false}},   // KEY_KPJPCOMMA
    {96, {0x1C, true}},    // KEY_KPENTER
    {97, {0x1D, true}},    // KEY_RIGHTCTRL
    {98, {0x35, true}},    // KEY_KPSLASH
    {99, {0x37, true}},    // KEY_SYSRQ (Print Screen)
    {100, {0x38, true}},   // KEY_RIGHTALT
    {102, {0x47, true}},   // KEY_HOME
    {103, {0x48, true}},   // KEY_UP
    {104, {0x49, true}},   // KEY_PAGEUP
    {105, {0x4B, true}},   // KEY_LEFT
    {106, {0x4D, true}},   // KEY_RIGHT
    {107, {0x4F, true}},   // KEY_END
    {108, {0x50, true}},   // KEY_DOWN
    {109, {0x51, true}},   // KEY_PAGEDOWN
    {110, {0x52, true}},   // KEY_INSERT
    {111, {0x53, true}},   // KEY_DELETE
    {119, {0x45, false}},  // KEY_PAUSE
    {122, {0x72, false}},  // KEY_HANGEUL
    {123, {0x71, false}},  // KEY_HANJA
    {124, {0x7D, false}},  // KEY_YEN
    {125, {0x5B, true}},   // KEY_LEFTMETA
    {126, {0x5C, true}},   // KEY_RIGHTMETA
    {127, {0x5D, true}},   // KEY_COMPOSE (App)
}};

constexpr int kRightShift = 54, kNumLock = 69;

}  // namespace

std::optional<Set1Scan> Set1ScanOf(int evdev_code) {
  if (evdev_code >= 1 && evdev_code <= 88)
    return Set1Scan{static_cast<std::uint8_t>(evdev_code), evdev_code == kRightShift || evdev_code == kNumLock};
  for (const auto& [code, scan] : kBeyond88)
    if (code == evdev_code) return scan;
  return std::nullopt;
}

}  // namespace brimvex::platform
