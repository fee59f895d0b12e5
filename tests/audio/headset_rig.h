#pragma once
// The headset on the emulator: its page built from the shipped layouts, its command interface
// open, its chip library the emulated one (reset and set up by the test before the start).
#include <memory>
#include <string>

#include "audio/audio_rig.h"
#include "audio/magic_control_ui.h"
#include "audio/ri6533_device.h"
#include "audio/voice6533_control_ui.h"
#include "devices/device_classes.h"
#include "emulator/emulated_hid_backend.h"
#include "emulator/emulator.h"
#include "lighting/audio_record_ui.h"
#include "lighting/light_control_ui.h"
#include "platform/headless_event_loop.h"
#include "platform/paths.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/resource_manager.h"
#include "profiles/device_profile_ui.h"
#include "test_support/temp_dir.h"

namespace brimvex::audio::test {

class HeadsetRig {
 public:
  template <typename Setup>
  explicit HeadsetRig(Setup setup, std::string library = EmulatedLibraryFile())
      : old_home_(platform::GetEnv("XDG_DATA_HOME")),
        headset(emu.AddDevice(emulator::Product::kHeadset)),
        backend(emu),
        chip(LoadEmulatedChip()) {
    platform::SetEnv("XDG_DATA_HOME", home_.folder());
    headset.SetLatency(platform::Millis(0));
    headset.Plug(emulator::Link::kCable);
    setup(chip);
    device = std::make_unique<COmbrixRI6533Device>(backend, loop);
    devices::DeviceDescriptor d;
    d.path = backend.InterfacePath("headset", 0);
    d.type = 7;
    device->SetDescriptor(d);
    device->SetDeviceFolderName("HD");
    device->SetLightFileName("quelt_light");
    device->SetLightButtonCount(static_cast<int>(kHeadsetLeds));
    COmbrixRI6533Device::SetLibraryFile(library);
    const std::string skin = platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/skin/";
    page_built = resources.LoadResource(skin);
    factory.Register("CSelectPanelUI", devices::SelectPanelCreator());
    factory.Register("CDeviceKeyButtonUI", devices::DeviceKeyButtonCreator());
    factory.Register("CDeviceProfileUI", [] { return std::make_unique<profiles::CDeviceProfileUI>(); });
    factory.Register("CVoice6533ControlUI", Voice6533ControlCreator());
    factory.Register("CMagicControlUI", MagicControlCreator());
    factory.Register("CLightControlUI", [] { return std::make_unique<lighting::CLightControlUI>(); });
    factory.Register("CAudioRecordUI", [] { return std::make_unique<lighting::CAudioRecordUI>(); });
    ui::DialogBuilder builder(resources, factory);
    page_built = page_built && device->BuildPage(builder);
    auto& ch = device->CommandChannelRef();
    {
      std::lock_guard lock(ch.TransactionLock());
      ch.SetOpen(ch.Wired().Open(d.path, true, true, true, false));
      ch.SetLinkMode(1);
    }
    // With its path set, binding the page starts the library.
    device->BindPageControls();
  }
  HeadsetRig() : HeadsetRig([](auto&) {}) {}
  ~HeadsetRig() {
    device.reset();
    platform::SetEnv("XDG_DATA_HOME", old_home_);
  }

  CVoice6533ControlUI& voice() { return *device->VoicePage(); }
  CMagicControlUI& magic() { return *device->MagicPage(); }
  // The profile as its file has it now.
  profiles::CRi6533Profiledata Saved() {
    profiles::CRi6533Profiledata p;
    p.SetDefaultProfilePath(device->DefaultProfilePath());
    p.LoadSection(device->CurrentProfilePath());
    return p;
  }

 private:
  brimvex::test::TempDir home_;
  std::optional<std::string> old_home_;

 public:
  emulator::Emulator emu;
  emulator::EmulatedDevice& headset;
  emulator::EmulatedHidBackend backend;
  platform::HeadlessEventLoop loop;
  ui::ResourceManager resources;
  ui::ControlFactory factory;
  emulator::EmulatedAudioChip chip;
  std::unique_ptr<COmbrixRI6533Device> device;
  bool page_built = false;
};

}  // namespace brimvex::audio::test
