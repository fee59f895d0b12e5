#include "emulator/emulator_control.h"

#include <algorithm>
#include <array>
#include <vector>
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

constexpr std::array<std::pair<std::string_view, FaultKind>, 7> kFaults{{
    {"no-answer", FaultKind::kNoAnswer},
    {"stale-answer", FaultKind::kStaleAnswer},
    {"status-fe", FaultKind::kStatusFE},
    {"status-ff", FaultKind::kStatusFF},
    {"link-down", FaultKind::kLinkDown},
    {"unplug", FaultKind::kUnplug},
    {"write-timeout", FaultKind::kWriteTimeout},
}};
constexpr std::string_view kFaultNames =
    "no-answer, stale-answer, status-fe, status-ff, link-down, unplug, write-timeout or clear";

constexpr std::array<std::pair<std::string_view, EmuAction>, 9> kActions{{
    {"plug", EmuAction::kPlug},
    {"unplug", EmuAction::kUnplug},
    {"power-on", EmuAction::kPowerOn},
    {"power-off", EmuAction::kPowerOff},
    {"battery", EmuAction::kBattery},
    {"charge", EmuAction::kCharge},
    {"notify", EmuAction::kNotify},
    {"fault", EmuAction::kFault},
    {"count", EmuAction::kCount},
}};

const DeviceName* FindDevice(std::string_view name) {
  for (const auto& d : kDevices)
    if (d.name == name) return &d;
  return nullptr;
}

bool NeedsValue(EmuAction a) {
  return a == EmuAction::kBattery || a == EmuAction::kCharge || a == EmuAction::kNotify || a == EmuAction::kCount;
}
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
  std::vector<std::string> words{std::string(action), std::string(device)};
  if (!value.empty()) words.emplace_back(value);
  return ParseEmuCommand(words, error);
}

namespace {

// fault DEVICE KIND [PACKET [COUNT]] | fault DEVICE clear
std::optional<EmuCommand> ParseFault(EmuCommand c, std::span<const std::string> rest, std::string* error) {
  if (rest.empty() || rest.size() > 3) {
    Fail(error, "fault takes KIND [PACKET [COUNT]] (" + std::string(kFaultNames) + ")");
    return std::nullopt;
  }
  if (rest[0] == "clear") {
    if (rest.size() > 1) {
      Fail(error, "fault clear takes nothing more");
      return std::nullopt;
    }
    c.action = EmuAction::kClearFaults;
    return c;
  }
  const auto kind = std::find_if(kFaults.begin(), kFaults.end(), [&](const auto& f) { return f.first == rest[0]; });
  if (kind == kFaults.end()) {
    Fail(error, "unknown fault \"" + rest[0] + "\" (" + std::string(kFaultNames) + ")");
    return std::nullopt;
  }
  c.fault.kind = kind->second;
  const auto packet = rest.size() > 1 ? ParseNumber(rest[1]) : std::optional<std::uint32_t>(0);
  const auto count = rest.size() > 2 ? ParseNumber(rest[2]) : std::optional<std::uint32_t>(1);
  constexpr std::uint32_t kLimit = 1000000;
  if (!packet || *packet > kLimit || !count || *count < 1 || *count > kLimit) {
    Fail(error, "fault needs a PACKET from 0 and a COUNT from 1, up to " + std::to_string(kLimit));
    return std::nullopt;
  }
  c.fault.packet = static_cast<int>(*packet);
  c.fault.count = static_cast<int>(*count);
  return c;
}

}  // namespace

std::optional<EmuCommand> ParseEmuCommand(std::span<const std::string> words, std::string* error) {
  if (words.size() < 2) {
    Fail(error, "emu takes ACTION DEVICE [VALUE]");
    return std::nullopt;
  }
  const std::string_view action = words[0];
  const std::string_view device = words[1];
  if (action != "fault" && words.size() > 3) {
    Fail(error, std::string(action) + " takes at most one value");
    return std::nullopt;
  }
  const std::string_view value = words.size() > 2 ? std::string_view(words[2]) : std::string_view();
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
         "unknown action \"" + std::string(action) +
             "\" (plug, unplug, power-on, power-off, battery, charge, notify, fault, count)");
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
  if (c.action == EmuAction::kFault) return ParseFault(std::move(c), words.subspan(2), error);
  if (!NeedsValue(c.action)) {
    if (!value.empty()) {
      Fail(error, std::string(action) + " takes no value");
      return std::nullopt;
    }
    return c;
  }
  const auto number = ParseNumber(value);
  const std::uint32_t limit = c.action == EmuAction::kBattery  ? 100
                              : c.action == EmuAction::kCharge ? 2
                              : c.action == EmuAction::kCount  ? 0xFF
                                                               : 0xFFFF;
  if (!number || *number > limit) {
    Fail(error, std::string(action) + " needs a value from 0 to " + std::to_string(limit) +
                    (value.empty() ? "" : ", not \"" + std::string(value) + "\""));
    return std::nullopt;
  }
  c.value = *number;
  return c;
}

bool ApplyEmuCommand(Emulator& machine, const EmuCommand& command, std::string* error, std::string* output) {
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
    case EmuAction::kFault:
      device->InjectFault(command.fault);
      return true;
    case EmuAction::kClearFaults:
      device->ClearFaults();
      return true;
    case EmuAction::kCount: {
      std::size_t n = 0;
      for (const Exchange& ex : device->ExchangeLog())
        if (ex.link == d->link && ex.request.size() > 3 && ex.request[3] == command.value) ++n;
      if (output != nullptr) *output = std::to_string(n) + "\n";
      return true;
    }
  }
  return Fail(error, "unknown action");
}

}  // namespace brimvex::emulator
