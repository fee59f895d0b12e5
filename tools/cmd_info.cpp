// `brimvexctl info KIND [--emulate] [--wireless]`: open a product's command interface, read its
// information block and status, and print them decoded.
#include <cstdio>
#include <memory>
#include <string>

#include "app/device_tables.h"
#include "commands.h"
#include "emulator/emulated_hid_backend.h"
#include "emulator/emulator.h"
#include "hid/command_channel.h"
#include "hid/hid_path.h"
#include "hid_backend_choice.h"
#include "product_path.h"

namespace brimvex::tools {
namespace {

constexpr int kExitUnreachable = 3;

struct Target {
  emulator::Product product;
  std::uint16_t wired_type;
  std::uint16_t receiver_type;  // 0: no receiver
};

bool TargetOf(const std::string& kind, Target& t) {
  if (kind == "keyboard")
    t = {emulator::Product::kKeyboard, app::kTypeKeyboard, app::kTypeKeyboardReceiver};
  else if (kind == "mouse")
    t = {emulator::Product::kMouse, app::kTypeMouse, app::kTypeMouseReceiver};
  else if (kind == "pad")
    t = {emulator::Product::kMousePad, app::kTypeMousePad, 0};
  else if (kind == "headset")
    t = {emulator::Product::kHeadset, app::kTypeHeadset, 0};
  else
    return false;
  return true;
}

int RunInfo(const std::string& kind, bool emulate, bool wireless, bool powered_off) {
  Target t;
  if (!TargetOf(kind, t)) {
    std::fprintf(stderr, "unknown product kind: %s (keyboard, mouse, pad or headset)\n", kind.c_str());
    return 2;
  }
  if (wireless && t.receiver_type == 0) {
    std::fprintf(stderr, "the %s has no receiver\n", kind.c_str());
    return 2;
  }
  emulator::Emulator emu;
  if (emulate) {
    emulator::EmulatedDevice& d = emu.AddDevice(t.product);
    d.Plug(wireless ? emulator::Link::kReceiver : emulator::Link::kCable);
    d.SetPoweredOn(!powered_off);
  }
  std::unique_ptr<platform::HidBackend> backend = MakeHidBackend(emulate, emu);
  const std::string path = FindCommandPath(*backend, wireless ? t.receiver_type : t.wired_type);
  if (path.empty()) {
    std::fprintf(stderr, "no %s%s found\n", kind.c_str(), wireless ? " receiver" : "");
    return 1;
  }
  hid::CommandChannel channel(*backend);
  {
    std::lock_guard lock(channel.TransactionLock());
    hid::HidInterface& hid = wireless ? channel.Receiver() : channel.Wired();
    if (!hid.Open(path, true, true, true, false)) {
      std::fprintf(stderr, "cannot open %s\n", path.c_str());
      return 1;
    }
    channel.SetOpen(true);
    if (t.receiver_type != 0) channel.SetLinkMode(wireless ? 2 : 1);
  }
  if (wireless && !channel.LinkQuery()) {
    std::printf("unreachable\n");
    return kExitUnreachable;
  }
  hid::InfoBlock block{};
  channel.Begin();
  const int read_info = channel.ReadInfo(block);
  channel.End();
  std::array<std::uint8_t, hid::kStatusBlockSize> status_bytes{};
  const int read_status = channel.ReadStatus(status_bytes);
  if (read_info != hid::RESULT_OK || read_status != hid::RESULT_OK) {
    std::fprintf(stderr, "reading the %s failed: %s\n", kind.c_str(),
                 std::string(hid::ResultName(read_info != hid::RESULT_OK ? read_info : read_status)).c_str());
    return 1;
  }
  const hid::DeviceInfo info = hid::DecodeInfoBlock(block);
  const hid::DeviceStatus status = hid::DecodeStatusBlock(status_bytes, channel.IsWireless());
  std::printf("path: %s\n", path.c_str());
  std::printf(
      "key count: %u\nmacro capacity: %u bytes\nsensor code: 0x%04X\nresolution step: %u\n"
      "slider maximum: %u\nresolution base: %u\n",
      info.key_count, info.macro_capacity * 128u, info.sensor_code, info.resolution_step, info.slider_maximum,
      info.resolution_base);
  std::printf("battery: %u %%\ncharge state: %u\nwireless: %u\nphone type: %s\n", status.battery_percent,
              status.charge_state, status.wireless_mark, std::string(hid::PhoneTypeName(status.phone_type)).c_str());
  return 0;
}

}  // namespace

void AddInfoCommand(CLI::App& app) {
  auto* cmd = app.add_subcommand("info", "read a product's information block and status");
  auto kind = std::make_shared<std::string>();
  auto emulate = std::make_shared<bool>(false);
  auto wireless = std::make_shared<bool>(false);
  auto off = std::make_shared<bool>(false);
  cmd->add_option("KIND", *kind, "keyboard, mouse, pad or headset")->required();
  cmd->add_flag("--emulate", *emulate, "use an emulated product instead of the machine's HID devices");
  cmd->add_flag("--wireless", *wireless, "go through the 2.4 GHz receiver");
  cmd->add_flag("--powered-off", *off, "with --emulate: the emulated product is switched off");
  cmd->callback([=] { ExitCode() = RunInfo(*kind, *emulate, *wireless, *off); });
}

}  // namespace brimvex::tools
