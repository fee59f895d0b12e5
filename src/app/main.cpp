// Brimvex: the program's entry point. Builds the Qt frontend and runs the application on the
// machine's hidraw devices, or with --emulate on the emulator's default set. The capture program
// beside it listens to the default output, or plays --audio-wav FILE (under --emulate, the demo
// WAV made at build time) through the same path.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/audio_capture_command.h"
#include "app/emulated_machine.h"
#include "app/emulated_update_service.h"
#include "app/hub_peer_link.h"
#include "platform/curl/curl_http_client.h"
#include "audio/audio_library_path.h"
#include "audio/ri6533_device.h"
#include "platform/hidraw/hidraw_backend.h"
#include "platform/paths.h"
#include "platform/qt/logind_power_events.h"
#include "platform/qt/qt_frontend.h"
#include "platform/shell.h"
#include "platform/trace.h"
#include "profiles/file_helpers.h"
#include "profiles/json_registry_store.h"
#include "update/update_check.h"

int main(int argc, char** argv) {
  using namespace brimvex;
  CLI::App cli{"Brimvex: configuration of the keyboard, mouse, mouse pad and headset"};
  bool emulate = false;
  cli.add_flag("--emulate", emulate,
               "run on the emulated keyboard, mouse (through its receiver), mouse pad and headset; "
               "turn them with `brimvexctl emu`");
  std::string audio_wav;
  cli.add_option("--audio-wav", audio_wav,
                 "light the keyboard after this WAV file, played in a loop, instead of the sound output")
      ->check(CLI::ExistingFile);
  CLI11_PARSE(cli, argc, argv);

  const std::string folder = platform::ExecutableFolder();
  // The audio chip library the headset loads: the emulator's under --emulate.
  audio::COmbrixRI6533Device::SetLibraryFile(audio::AudioLibraryFile(emulate));
  std::unique_ptr<app::EmulatedMachine> emulated;
  std::unique_ptr<platform::HidBackend> hidraw;
  platform::HidBackend* backend = nullptr;
  if (emulate) {
    // The emulated devices keep their files apart from the real ones'.
    profiles::SetEmulatedDeviceData(true);
    emulated = std::make_unique<app::EmulatedMachine>(std::string(), folder + "lang/");
    std::string error;
    if (!emulated->Listen(&error)) platform::Trace("brimvexctl emu cannot reach this instance: " + error);
    backend = &emulated->Backend();
  } else {
    hidraw = std::make_unique<platform::hidraw::HidrawBackend>();
    backend = hidraw.get();
  }
  // brimvex --emulate answers its own update checks, unless BRIMVEX_UPDATE_URL names a service.
  std::string update_url = update::ServiceBaseUrl();
  std::unique_ptr<platform::UpdateService> update_service;
  const auto named_service = platform::GetEnv("BRIMVEX_UPDATE_URL");
  if (emulate && (!named_service || named_service->empty())) {
    update_service = std::make_unique<platform::UpdateService>(app::EmulatedUpdateServiceConfig());
    std::string error;
    if (update_service->Start(0, &error)) {
      update_url = update_service->BaseUrl();
    } else {
      platform::Trace("emulated update service: " + error);
    }
  }
  profiles::JsonRegistryStore registry(profiles::DefaultRegistryPath());
  app::HubPeerLink peers;
  platform::SystemShell shell;
  app::ApplicationSetup setup;
  setup.peers = &peers;
  setup.shell = &shell;
  setup.registry = &registry;
  setup.make_http_client = [] { return platform::curl::CreateCurlHttpClient(); };
  setup.update_base_url = update_url;
  setup.make_power = [] { return qt::CreateLogindPowerEvents(); };
  setup.program_folder = folder;
  setup.hid_backend = backend;
  if (audio_wav.empty() && emulate) audio_wav = app::DemoWavPath(folder);
  setup.audio_capture = app::CaptureCommandLine(folder, audio_wav);
  setup.make_frontend = [&folder]() -> std::unique_ptr<ui::Frontend> {
    std::string error;
    auto frontend = qt::CreateQtFrontend("Brimvex", folder + "skin/", &error);
    if (frontend == nullptr) platform::Trace(error);
    return frontend;
  };
  return app::RunApplication(setup);
}
