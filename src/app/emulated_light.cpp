#include "app/emulated_light.h"

#include "devices/device_kind.h"
#include "lighting/light_report.h"

namespace brimvex::app {

void RegisterEmulatedLightRequests(RequestTable& requests, emulator::Emulator& machine) {
  requests.Add("light", [&machine](const std::vector<std::string>& args) -> ControlAnswer {
    static constexpr struct {
      const char* word;
      const char* node;
      int kind;
    } kProducts[] = {{"keyboard", "keyboard", devices::kDeviceKeyboard},
                     {"mouse", "mouse", devices::kDeviceMouse},
                     {"pad", "mousepad", devices::kDeviceMousePad},
                     {"headset", "headset", devices::kDeviceHeadset}};
    if (args.size() != 1) return {kExitMalformed, "usage: light keyboard|mouse|pad|headset\n"};
    for (const auto& p : kProducts) {
      if (args[0] != p.word) continue;
      emulator::EmulatedDevice* d = machine.Find(p.node);
      if (d == nullptr) return {kExitFailed, std::string("no emulated ") + p.word + "\n"};
      const auto parameters = d->Memory(emulator::Area::kParameters);
      const int profile = parameters.empty() ? 0 : parameters[0];
      const lighting::LightModeList modes = lighting::ShippedModeList(p.kind);
      const auto light = lighting::DecodeRecordLight(d->SettingsRecord(profile), modes);
      if (!light) return {kExitFailed, "the settings record could not be read\n"};
      std::string text = lighting::FormatLight(light->mode, light->code, light->light, modes);
      if (p.kind == devices::kDeviceHeadset) {
        // Its LEDs come as output reports: light 0 of the first zone.
        const auto led = d->HeadsetLeds()[0][0];
        return {kExitDone, text + "frame: " + lighting::FormatFrame(led[0], led[1], led[2]) + "\n"};
      }
      const auto frame = d->Memory(emulator::Area::kLiveFrame);
      if (frame.size() >= 3) text += "frame: " + lighting::FormatFrame(frame[0], frame[1], frame[2]) + "\n";
      return {kExitDone, text};
    }
    return {kExitMalformed, "no such device kind: " + args[0] + "\n"};
  });
}

}  // namespace brimvex::app
