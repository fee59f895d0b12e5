#include "platform/evdev_records.h"

#include "platform/evdev_keys.h"

namespace brimvex::platform {
namespace {

struct Button {
  int code;
  std::uint32_t down, up;
  int extra;  // 1 back, 2 forward
};
constexpr Button kButtons[] = {
    {BTN_LEFT, 0x0201, 0x0202, 0},  {BTN_RIGHT, 0x0204, 0x0205, 0}, {BTN_MIDDLE, 0x0207, 0x0208, 0},
    {BTN_SIDE, 0x020B, 0x020C, 1},  {BTN_BACK, 0x020B, 0x020C, 1},  {BTN_EXTRA, 0x020B, 0x020C, 2},
    {BTN_FORWARD, 0x020B, 0x020C, 2},
};

}  // namespace

std::optional<LiveRecord> EvdevRecordMaker::Take(const input_event& e, Millis time) {
  if (e.type == EV_SYN) {
    if (e.code == SYN_DROPPED) syncing_ = true;
    if (e.code == SYN_REPORT) syncing_ = false;
    return std::nullopt;
  }
  if (e.type != EV_KEY || e.value < 0 || e.value > 2) return std::nullopt;
  const int code = e.code;
  const bool press = e.value != 0;
  const bool was_down = down_.contains(code);
  // A sync brings changes only; a press of a key down already is one only outside it (a repeat).
  if (syncing_ && press == was_down) return std::nullopt;
  if (press) {
    down_.insert(code);
  } else {
    down_.erase(code);
  }
  for (const Button& b : kButtons) {
    if (b.code != code) continue;
    if (e.value == 2) return std::nullopt;  // buttons do not repeat
    return MouseRecord{press ? b.down : b.up, b.extra, over_stop_ && over_stop_(), time};
  }
  const auto key = FindEvdevKey(code);
  if (!key || key->set1 == 0) return std::nullopt;
  return KeyRecord{key->vk, key->set1, key->set1_extended, press, time, code};
}

}  // namespace brimvex::platform
