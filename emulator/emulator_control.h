#pragma once
// Remote control of an emulated machine: the commands `brimvexctl emu` asks a running
// `brimvex --emulate` for, and how the program carries them out.
//   ACTION    DEVICE                                        VALUE
//   plug      keyboard, keyboard-receiver, mouse,
//   unplug    mouse-receiver, pad, headset                  -
//   power-on  keyboard, mouse (either identity name)        -
//   power-off keyboard, mouse                               -
//   battery   keyboard, mouse                               0..100
//   charge    keyboard, mouse                               0, 1 or 2
//   notify    any                                           16-bit code, decimal or 0x hex
//   fault     any       KIND [PACKET [COUNT]]: no-answer, stale-answer, status-fe, status-ff,
//                       link-down, unplug, write-timeout on request PACKET (0 = the next one,
//                       default 0) and the COUNT - 1 after it (default 1); or "clear"
//   count     any                                           command code 0..255: how many requests
//                       with it the device's log holds for that link (the last 4096 requests)
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "emulator/emulator.h"

namespace brimvex::emulator {

// The peer a `brimvex --emulate` listens as; `brimvexctl emu` asks it with the request
// "emu ACTION DEVICE [VALUE]".
inline constexpr std::string_view kEmulatorPeer = "BrimvexEmulator";

enum class EmuAction { kPlug, kUnplug, kPowerOn, kPowerOff, kBattery, kCharge, kNotify, kFault, kClearFaults, kCount };

struct EmuCommand {
  EmuAction action = EmuAction::kPlug;
  std::string device;  // as given: "keyboard", "mouse-receiver", "pad", ...
  std::uint32_t value = 0;
  Fault fault;  // kFault
};

// Checks the words (ACTION DEVICE and what follows); nullopt with the reason when they do not
// make a command.
std::optional<EmuCommand> ParseEmuCommand(std::span<const std::string> words, std::string* error);
// The same for ACTION DEVICE [VALUE].
std::optional<EmuCommand> ParseEmuCommand(std::string_view action, std::string_view device, std::string_view value,
                                          std::string* error);

// Carries the command out on the machine's default set (devices "keyboard", "mouse",
// "mousepad", "headset"). False with the reason when the device is missing or lacks the feature.
// What the command reports (count: the number and a newline) goes to `output`.
bool ApplyEmuCommand(Emulator& machine, const EmuCommand& command, std::string* error,
                     std::string* output = nullptr);

}  // namespace brimvex::emulator
