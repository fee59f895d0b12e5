// The headset's audio start on the emulated chip library: loading and looking up, endpoints,
// feature numbers, the fill and the driver state; one level write with its read-back; and the
// whole page set-up (the shipped page built, bound and the library started) with the emulated
// library, the ALSA one (this machine's cards, usually no headset) and none.
#include <benchmark/benchmark.h>

#include <memory>

#include "audio/audio_library_path.h"
#include "audio/headset_audio.h"
#include "audio/magic_control_ui.h"
#include "audio/ri6533_device.h"
#include "audio/voice6533_control_ui.h"
#include "devices/device_classes.h"
#include "emulator/emulated_audio_chip.h"
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

namespace brimvex::audio {
namespace {

std::string File() { return AudioLibraryFile("", true, std::string(BRIMVEX_BENCH_AUDIO_SDK)); }

void BM_HeadsetStart(benchmark::State& state) {
  std::string error;
  // Held open so each start finds the library loaded, as the program's later starts do.
  auto held = platform::SystemAudioChipLoader().Load(File(), error);
  emulator::EmulatedAudioChip chip(held);
  for (auto _ : state) {
    chip.Reset();
    HeadsetAudio audio(platform::SystemAudioChipLoader());
    const auto report = audio.Start(File());
    profiles::VoiceState voice;
    Bands bands{};
    audio.ReadDriverState(voice, bands);
    benchmark::DoNotOptimize(report.available);
  }
}
BENCHMARK(BM_HeadsetStart);

void BM_HeadsetStartMissingLibrary(benchmark::State& state) {
  for (auto _ : state) {
    HeadsetAudio audio(platform::SystemAudioChipLoader());
    benchmark::DoNotOptimize(audio.Start("/nonexistent/osConfLib.so").available);
  }
}
BENCHMARK(BM_HeadsetStartMissingLibrary);

void BM_MicLevelWrite(benchmark::State& state) {
  HeadsetAudio audio(platform::SystemAudioChipLoader());
  audio.Start(File());
  int level = 0;
  for (auto _ : state) benchmark::DoNotOptimize(audio.WriteMicLevel(level++ % 101));
}
BENCHMARK(BM_MicLevelWrite);

// range(0): 0 the emulated library, 1 the ALSA library, 2 none.
void BM_HeadsetPageSetUp(benchmark::State& state) {
  const std::string files[] = {File(), AudioLibraryFile("", true, std::string(BRIMVEX_BENCH_ALSA_SDK)),
                               "/nonexistent/osConfLib.so"};
  const std::string& file = files[state.range(0)];
  std::string error;
  auto held = platform::SystemAudioChipLoader().Load(File(), error);
  emulator::EmulatedAudioChip chip(held);
  brimvex::test::TempDir home;
  platform::SetEnv("XDG_DATA_HOME", home.folder());
  const std::string skin = platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/skin/";
  ui::ResourceManager resources;
  if (!resources.LoadResource(skin)) {
    state.SkipWithError("no skin (run from the repository's root or set BRIMVEX_RESOURCES)");
    return;
  }
  ui::ControlFactory factory;
  factory.Register("CSelectPanelUI", devices::SelectPanelCreator());
  factory.Register("CDeviceKeyButtonUI", devices::DeviceKeyButtonCreator());
  factory.Register("CDeviceProfileUI", [] { return std::make_unique<profiles::CDeviceProfileUI>(); });
  factory.Register("CVoice6533ControlUI", Voice6533ControlCreator());
  factory.Register("CMagicControlUI", MagicControlCreator());
  factory.Register("CLightControlUI", [] { return std::make_unique<lighting::CLightControlUI>(); });
  factory.Register("CAudioRecordUI", [] { return std::make_unique<lighting::CAudioRecordUI>(); });
  emulator::Emulator emu;
  emulator::EmulatedDevice& product = emu.AddDevice(emulator::Product::kHeadset);
  product.SetLatency(platform::Millis(0));
  product.Plug(emulator::Link::kCable);
  emulator::EmulatedHidBackend backend(emu);
  platform::HeadlessEventLoop loop;
  COmbrixRI6533Device::SetLibraryFile(file);
  bool built = true;
  for (auto _ : state) {
    chip.Reset();
    auto device = std::make_unique<COmbrixRI6533Device>(backend, loop);
    devices::DeviceDescriptor d;
    d.path = backend.InterfacePath("headset", 0);
    d.type = 7;
    device->SetDescriptor(d);
    device->SetDeviceFolderName("HD");
    device->SetLightFileName("quelt_light");
    device->SetLightButtonCount(static_cast<int>(kHeadsetLeds));
    ui::DialogBuilder builder(resources, factory);
    built = built && device->BuildPage(builder);
    device->BindPageControls();
    benchmark::DoNotOptimize(device->Audio().Available());
    state.PauseTiming();
    device.reset();
    state.ResumeTiming();
  }
  if (!built) state.SkipWithError("the page did not build");
}
BENCHMARK(BM_HeadsetPageSetUp)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brimvex::audio
