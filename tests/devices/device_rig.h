#pragma once
// A device object on an emulated product: the emulator, its HID backend, a headless loop with
// the manual clock, the device with its page built from the shipped layout, and an owner that
// records what the device asked of it.
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "devices/device_classes.h"
#include "devices/usb_device.h"
#include "emulator/emulated_hid_backend.h"
#include "emulator/emulator.h"
#include "lighting/audio_record_ui.h"
#include "lighting/light_control_ui.h"
#include "macros/macro_control_ui.h"
#include "macros/shoot_control_ui.h"
#include "platform/headless_event_loop.h"
#include "platform/paths.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/resource_manager.h"
#include "profiles/device_profile_ui.h"

namespace brimvex::devices::test {

using emulator::Link;
using emulator::Product;

// "emu:<node>#vid_..&pid_..&mi_..&colNN": collection 4 carries commands, 3 notifications.
inline std::string InterfacePath(const emulator::EmulatedDevice& d, Link link, int collection) {
  const auto id = d.Identity(link);
  char keys[64];
  std::snprintf(keys, sizeof keys, "#vid_%04x&pid_%04x&mi_%02x&col%02d", id.vendor_id, id.product_id,
                id.interface_number, collection);
  return "emu:" + d.name() + (link == Link::kReceiver ? "-receiver" : "") + keys;
}

class RecordingOwner : public DeviceOwner {
 public:
  void RequestResync(platform::Millis delay) override {
    std::lock_guard lock(mutex_);
    resyncs_.push_back(delay.count());
    cv_.notify_all();
  }
  void RequestRefreshPage() override {
    std::lock_guard lock(mutex_);
    ++refreshes_;
    cv_.notify_all();
  }
  void RequestFrame() override {
    std::lock_guard lock(mutex_);
    ++frames_;
    cv_.notify_all();
  }
  int Frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  // Waits until `n` resyncs were asked for (false after 5 s).
  bool WaitResyncs(std::size_t n) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::seconds(5), [&] { return resyncs_.size() >= n; });
  }
  // Waits until `n` page refreshes were asked for (false after 5 s).
  bool WaitRefreshes(int n) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::seconds(5), [&] { return refreshes_ >= n; });
  }
  std::vector<long> Resyncs() const {
    std::lock_guard lock(mutex_);
    return resyncs_;
  }
  int Refreshes() const {
    std::lock_guard lock(mutex_);
    return refreshes_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<long> resyncs_;
  int refreshes_ = 0;
  int frames_ = 0;
};

template <typename Device>
class DeviceRig {
 public:
  // Key and light counts as discovery gives them.
  DeviceRig(Product product, int keys, int lights, Link link = Link::kCable)
      : product_device(emu.AddDevice(product)), backend(emu), link_(link) {
    product_device.SetLatency(platform::Millis(0));
    product_device.Plug(link);
    device = std::make_unique<Device>(backend, loop);
    DeviceDescriptor d;
    d.path = InterfacePath(product_device, link, 4);
    d.type = static_cast<std::uint16_t>(device->DeviceType());
    device->SetDescriptor(d);
    device->SetOwner(&owner);
    device->SetKeyButtonCount(keys);
    device->SetLightButtonCount(lights);
  }
  ~DeviceRig() { device.reset(); }

  // Builds the shipped page and binds its buttons.
  bool BuildPage() {
    const std::string skin = platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/skin/";
    if (!resources.LoadResource(skin)) return false;
    factory.Register("CSelectPanelUI", SelectPanelCreator());
    factory.Register("CDeviceKeyButtonUI", DeviceKeyButtonCreator());
    factory.Register("CDeviceProfileUI", [] { return std::make_unique<profiles::CDeviceProfileUI>(); });
    factory.Register("CKeySetControlUI", KeySetControlCreator());
    factory.Register("CLightControlUI", [] { return std::make_unique<lighting::CLightControlUI>(); });
    factory.Register("CAudioRecordUI", [] { return std::make_unique<lighting::CAudioRecordUI>(); });
    factory.Register("CMacroControlUI", [] { return std::make_unique<macros::CMacroControlUI>(); });
    factory.Register("CShootControlUI", [] { return std::make_unique<macros::CShootControlUI>(); });
    ui::DialogBuilder builder(resources, factory);
    if (!device->BuildPage(builder)) return false;
    device->BindPageControls();
    return true;
  }

  // Opens the command interface as discovery does, with the link mode.
  bool OpenCommand() {
    auto& ch = device->CommandChannelRef();
    std::lock_guard lock(ch.TransactionLock());
    auto& hid = link_ == Link::kReceiver ? ch.Receiver() : ch.Wired();
    const bool ok = hid.Open(InterfacePath(product_device, link_, 4), true, true, true, false);
    ch.SetOpen(ok);
    ch.SetLinkMode(link_ == Link::kReceiver ? 2 : 1);
    return ok;
  }
  bool OpenEvents() {
    return device->OpenEventInterface(link_ == Link::kReceiver, InterfacePath(product_device, link_, 3));
  }

  // (code, length, offset) of every command the product received.
  std::vector<std::uint8_t> Codes() const {
    std::vector<std::uint8_t> out;
    for (const auto& ex : product_device.ExchangeLog())
      if (ex.request.size() > 3) out.push_back(ex.request[3]);
    return out;
  }

  emulator::Emulator emu;
  emulator::EmulatedDevice& product_device;
  emulator::EmulatedHidBackend backend;
  platform::HeadlessEventLoop loop;
  ui::ResourceManager resources;
  ui::ControlFactory factory;
  RecordingOwner owner;
  std::unique_ptr<Device> device;

 private:
  Link link_;
};

}  // namespace brimvex::devices::test
