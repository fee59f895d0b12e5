#include "app/emulated_machine.h"

#include <algorithm>

#include "app/emulated_light.h"
#include "app/keymap_requests.h"
#include "app/mouse_text.h"
#include "audio/ri6533_device.h"
#include "emulator/block_report.h"
#include "emulator/emulated_audio_chip.h"
#include "emulator/emulator_control.h"
#include "platform/audio_chip_library.h"
#include "platform/trace.h"

namespace brimvex::app {

EmulatedMachine::EmulatedMachine(std::string hub_directory, const std::string& language_folder)
    : hub_directory_(hub_directory.empty() ? platform::IpcHub::DefaultDirectory() : std::move(hub_directory)),
      backend_(machine_) {
  machine_.AddDefaultSet();
  RegisterEmulatorRequests(requests_, machine_, language_folder);
}

EmulatedMachine::~EmulatedMachine() {
  if (hub_ != nullptr) hub_->Stop();
}

bool EmulatedMachine::Listen(std::string* error) {
  hub_ = std::make_unique<platform::IpcHub>(hub_directory_);
  if (!hub_->ready()) {
    if (error != nullptr) *error = hub_->error();
    return false;
  }
  const bool ok =
      hub_->Listen(std::string(emulator::kEmulatorPeer), [this](const platform::IpcMessage& m) { Answer(m); });
  if (!ok && error != nullptr) *error = "the peer name " + std::string(emulator::kEmulatorPeer) + " is taken";
  return ok;
}

void EmulatedMachine::Answer(const platform::IpcMessage& message) {
  if (message.name != kRequestName) return;  // broadcasts meant for other programs
  std::string why;
  const auto request = DecodeRequest(message, &why);
  if (!request) {
    platform::Trace("emu: dropped request: " + why);
    return;
  }
  if (!hub_->Post(request->reply_to, EncodeAnswer(request->id, requests_.Run(*request))))
    platform::Trace("emu: the answer did not reach " + request->reply_to);
}

void RegisterEmulatorRequests(RequestTable& requests, emulator::Emulator& machine, const std::string& language_folder) {
  // emu ACTION DEVICE [VALUE], and emu block DEVICE macros|recoil
  requests.Add("emu", [&machine](const std::vector<std::string>& args) -> ControlAnswer {
    std::string why;
    if (!args.empty() && args[0] == "block") {
      const auto query = emulator::ParseBlockQuery(std::span(args).subspan(1), &why);
      if (!query) return {kExitMalformed, why + "\n"};
      const auto report = emulator::AnswerBlockQuery(machine, *query, &why);
      return report ? ControlAnswer{kExitDone, *report} : ControlAnswer{kExitFailed, why + "\n"};
    }
    const auto command = emulator::ParseEmuCommand(args, &why);
    if (!command) return {kExitMalformed, why};
    // A device that cannot do it (a notice no link carries) is a failure, not done.
    std::string output;
    if (!emulator::ApplyEmuCommand(machine, *command, &why, &output)) return {kExitFailed, why};
    if (command->action == emulator::EmuAction::kCount) return {kExitDone, output};
    std::string line = "emu:";
    for (const std::string& a : args) line += " " + a;
    platform::Trace(line);
    return {kExitDone, ""};
  });
  RegisterEmulatedKeymapRequests(requests, machine, language_folder);
  RegisterEmulatedLightRequests(requests, machine);
  // mouse dpi: the stages and report rate of the emulated mouse's active record.
  requests.Add("mouse", [&machine](const std::vector<std::string>& args) -> ControlAnswer {
    if (args.size() != 1 || args[0] != "dpi") return {kExitMalformed, "the emulated mouse answers only dpi\n"};
    emulator::EmulatedDevice* mouse = machine.Find("mouse");
    if (mouse == nullptr) return {kExitFailed, "the emulated set has no mouse\n"};
    const auto params = mouse->Memory(emulator::Area::kParameters);
    const auto info = mouse->Memory(emulator::Area::kInfo);
    hid::InfoBlock block{};
    std::copy_n(info.begin(), std::min(info.size(), block.size()), block.begin());
    const auto record = mouse->SettingsRecord(params.empty() ? 0 : params[0]);
    return {kExitDone, MouseStageLines(record, devices::ResolutionScale::FromInfo(block))};
  });
  // headset: the emulated audio chip's store, one "PROPERTY: VALUE" line per settable property
  // (the instance the headset page loaded, when it did).
  requests.Add("headset", [](const std::vector<std::string>& args) -> ControlAnswer {
    if (!args.empty()) return {kExitMalformed, "brimvexctl: headset --emulate takes no words\n"};
    std::string error;
    auto library = platform::SystemAudioChipLoader().Load(audio::COmbrixRI6533Device::LibraryFile(), error);
    emulator::EmulatedAudioChip chip(library);
    if (!chip.Valid()) return {kExitFailed, "brimvexctl: no emulated audio chip: " + (library ? library->File() : error) + "\n"};
    return {kExitDone, chip.Dump()};
  });
}

}  // namespace brimvex::app
