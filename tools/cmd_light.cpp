// brimvexctl light KIND [--emulate]: what the keyboard, mouse, pad or headset holds, from its settings
// record: read from the product as `info` opens it, or with --emulate from the emulated product
// of the running `brimvex --emulate` (with the first position of its live frame).
// brimvexctl light KIND set WORD...: the running Brimvex sets the light as its editor does.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/control_request.h"
#include "app/device_tables.h"
#include "app/light_routes.h"
#include "ask_brimvex.h"
#include "cmd_light.h"
#include "commands.h"
#include "devices/device_kind.h"
#include "emulator/emulator.h"
#include "emulator/emulator_control.h"
#include "hid/command_channel.h"
#include "hid_backend_choice.h"
#include "lighting/light_report.h"
#include "product_path.h"

namespace brimvex::tools {
namespace {

struct Kind {
  const char* word;
  int device_type;
  std::uint16_t wired;
  std::uint16_t receiver;  // 0: none
};
constexpr Kind kKinds[] = {{"keyboard", devices::kDeviceKeyboard, app::kTypeKeyboard, app::kTypeKeyboardReceiver},
                           {"mouse", devices::kDeviceMouse, app::kTypeMouse, app::kTypeMouseReceiver},
                           {"pad", devices::kDeviceMousePad, app::kTypeMousePad, 0},
                           {"headset", devices::kDeviceHeadset, app::kTypeHeadset, 0}};

const Kind* KindOf(const std::string& word) {
  for (const Kind& k : kKinds)
    if (word == k.word) return &k;
  return nullptr;
}

int ReadFromProduct(const Kind& kind) {
  emulator::Emulator none;
  std::unique_ptr<platform::HidBackend> backend = MakeHidBackend(false, none);
  bool receiver = false;
  std::string path = FindCommandPath(*backend, kind.wired);
  if (path.empty() && kind.receiver != 0) {
    path = FindCommandPath(*backend, kind.receiver);
    receiver = !path.empty();
  }
  if (path.empty()) {
    std::fprintf(stderr, "no %s found\n", kind.word);
    return app::kExitFailed;
  }
  hid::CommandChannel channel(*backend);
  {
    std::lock_guard lock(channel.TransactionLock());
    hid::HidInterface& hid = receiver ? channel.Receiver() : channel.Wired();
    if (!hid.Open(path, true, true, true, false)) {
      std::fprintf(stderr, "cannot open %s\n", path.c_str());
      return app::kExitFailed;
    }
    channel.SetOpen(true);
    if (kind.receiver != 0) channel.SetLinkMode(receiver ? 2 : 1);
  }
  std::array<std::uint8_t, 1> active{};
  int result = channel.ReadParam(active, 0);
  const lighting::RecordPlace place = lighting::SettingsRecordPlace(kind.device_type, active[0]);
  std::vector<std::uint8_t> record(place.size);
  if (result == hid::RESULT_OK) result = channel.ReadParam(record, static_cast<std::uint16_t>(place.offset));
  if (result != hid::RESULT_OK) {
    std::fprintf(stderr, "reading the %s failed: %s\n", kind.word, std::string(hid::ResultName(result)).c_str());
    return app::kExitFailed;
  }
  const lighting::LightModeList modes = lighting::ShippedModeList(kind.device_type);
  const auto light = lighting::DecodeRecordLight(record, modes);
  if (!light) return app::kExitFailed;
  std::fputs(lighting::FormatLight(light->mode, light->code, light->light, modes).c_str(), stdout);
  return app::kExitDone;
}

}  // namespace

void AddLightCommand(CLI::App& app) {
  struct Words {
    std::string kind;
    std::vector<std::string> rest;
    bool emulate = false;
  };
  auto words = std::make_shared<Words>();
  auto* cmd = app.add_subcommand("light", "show or set the light of the keyboard, mouse, pad or headset");
  cmd->add_option("KIND", words->kind, "keyboard, mouse, pad or headset")->required();
  cmd->add_option("WORDS", words->rest, "set mode=NAME|N color=RRGGBB brightness=N speed=N direction=0|1");
  cmd->add_flag("--emulate", words->emulate, "read the emulated product of the running `brimvex --emulate`");
  cmd->callback([words] {
    const Kind* kind = KindOf(words->kind);
    if (kind == nullptr) {
      std::fprintf(stderr, "brimvexctl: unknown device kind: %s (keyboard, mouse, pad or headset)\n", words->kind.c_str());
      ExitCode() = app::kExitMalformed;
      return;
    }
    if (words->rest.empty()) {
      ExitCode() = words->emulate ? AskBrimvex(std::string(emulator::kEmulatorPeer), {"light", words->kind})
                                  : ReadFromProduct(*kind);
      return;
    }
    std::vector<std::string> request{words->kind};
    request.insert(request.end(), words->rest.begin(), words->rest.end());
    std::string why;
    if (!app::LightSetWordsWellFormed(request, &why)) {
      std::fprintf(stderr, "brimvexctl: %s", why.c_str());
      ExitCode() = app::kExitMalformed;
      return;
    }
    request.insert(request.begin(), "light");
    ExitCode() = AskBrimvex("Brimvex", request);
  });
}

}  // namespace brimvex::tools
