#include "emulator/emulator_control.h"

#include <array>
#include <charconv>

namespace brimvex::emulator {
namespace {

struct DeviceName {
  std::string_view name;
  std::string_view emulated;  // the device's name in the default set
  Link link;
};
constexpr std::array<DeviceName, 6> kDevices{{
    {"keyboard", "keyboard", Link::kCable},
    {"keyboard-receiver", "keyboard", Link::kReceiver},
    {"mouse", "mouse", Link::kCable},
    {"mouse-receiver", "mouse", Link::kReceiver},
    {"pad", "mousepad", Link::kCable},
    {"headset", "headset", Link::kCable},
}};

constexpr std::array<std::pair<std::string_view, EmuAction>, 7> kActions{{
    {"plug", EmuAction::kPlug},
    {"unplug", EmuAction::kUnplug},
    {"power-on", EmuAction::kPowerOn},
    {"power-off", EmuAction::kPowerOff},
    {"battery", EmuAction::kBattery},
    {"charge", EmuAction::kCharge},
    {"notify", EmuAction::kNotify},
}};

const DeviceName* FindDevice(std::string_view name) {
  for (const auto& d : kDevices)
    if (d.name == name) return &d;
  return nullptr;
}

bool NeedsValue(EmuAction a) { return a == EmuAction::kBattery || a == EmuAction::kCharge || a == EmuAction::kNotify; }
bool NeedsWireless(EmuAction a) {
  return a == EmuAction::kPowerOn || a == EmuAction::kPowerOff || a == EmuAction::kBattery || a == EmuAction::kCharge;
}

std::optional<std::uint32_t> ParseNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  std::uint32_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

bool Fail(std::string* error, std::string why) {
  if (error != nullptr) *error = std::move(why);
  return false;
}

}  // namespace

std::optional<EmuCommand> ParseEmuCommand(std::string_view action, std::string_view device, std::string_view value,
                                          std::string* error) {
  EmuCommand c;
  bool known = false;
  for (const auto& [name, a] : kActions) {
    if (name == action) {
      c.action = a;
      known = true;
    }
  }
  if (!known) {
    Fail(error,
         "unknown action \"" + std::string(action) + "\" (plug, unplug, power-on, power-off, battery, charge, notify)");
    return std::nullopt;
  }
  const DeviceName* d = FindDevice(device);
  if (d == nullptr) {
    Fail(error, "unknown device \"" + std::string(device) +
                    "\" (keyboard, keyboard-receiver, mouse, mouse-receiver, pad, headset)");
    return std::nullopt;
  }
  if (NeedsWireless(c.action) && d->emulated != "keyboard" && d->emulated != "mouse") {
    Fail(error, std::string(action) + " needs a wireless device (keyboard or mouse)");
    return std::nullopt;
  }
  c.device = std::string(device);
  if (!NeedsValue(c.action)) {
    if (!value.empty()) {
      Fail(error, std::string(action) + " takes no value");
      return std::nullopt;
    }
    return c;
  }
  const auto number = ParseNumber(value);
  const std::uint32_t limit = c.action == EmuAction::kBattery ? 100 : c.action == EmuAction::kCharge ? 2 : 0xFFFF;
  if (!number || *number > limit) {
    Fail(error, std::string(action) + " needs a value from 0 to " + std::to_string(limit) +
                    (value.empty() ? "" : ", not \"" + std::string(value) + "\""));
    return std::nullopt;
  }
  c.value = *number;
  return c;
}

bool ApplyEmuCommand(Emulator& machine, const EmuCommand& command, std::string* error) {
  const DeviceName* d = FindDevice(command.device);
  if (d == nullptr) return Fail(error, "unknown device \"" + command.device + "\"");
  EmulatedDevice* device = machine.Find(d->emulated);
  if (device == nullptr) return Fail(error, "the emulated set has no " + std::string(d->emulated));
  switch (command.action) {
    case EmuAction::kPlug:
      device->Plug(d->link);
      return true;
    case EmuAction::kUnplug:
      device->Unplug(d->link);
      return true;
    case EmuAction::kPowerOn:
    case EmuAction::kPowerOff:
      if (!device->HasReceiver()) return Fail(error, std::string(d->emulated) + " is not wireless");
      device->SetPoweredOn(command.action == EmuAction::kPowerOn);
      return true;
    case EmuAction::kBattery:
      device->SetBattery(static_cast<std::uint8_t>(command.value));
      return true;
    case EmuAction::kCharge:
      device->SetChargeState(static_cast<std::uint8_t>(command.value));
      return true;
    case EmuAction::kNotify:
      if (!device->Notify(static_cast<std::uint16_t>(command.value)))
        return Fail(error, "no link carries the notice of " + std::string(d->emulated));
      return true;
  }
  return Fail(error, "unknown action");
}

}  // namespace brimvex::emulator
