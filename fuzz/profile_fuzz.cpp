// Arbitrary bytes as a profile file, a light configuration and an effect file: load the section,
// call every getter, a few setters, and save.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/trace.h"
#include "profiles/file_helpers.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/mouse_profile_data.h"
#include "profiles/ri6533_profile_data.h"

namespace {
namespace fs = std::filesystem;
using namespace brimvex::profiles;

const std::string& Folder() {
  // Never destroyed: the exit handler that removes the folder runs after static destructors.
  static const std::string& folder = *new std::string([] {
    const fs::path p = fs::temp_directory_path() / ("brimvex-fuzz-profile-" + std::to_string(std::random_device{}()));
    fs::create_directories(p);
    // A small default profile, so the repair path runs too.
    std::ofstream(p / "default.Json") << R"({"Device": [{"LightInfo": {"SelectItem": 30}, "KeyList": [{}]}]})";
    std::ofstream(p / "fx.light") << R"({"LEDEffectList": [{"LEDREGMode": 1, "Time": 5}]})";
    // Fill the trace ring, so that later lines replace lines and each run frees what it takes
    // (libFuzzer runs a leak check after every run that does not).
    for (int i = 0; i < 1000; ++i) brimvex::platform::Trace("fuzz start");
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(Folder(), ec);
    });
    return p.string() + "/";
  }());
  return folder;
}

void Write(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void RemoveKeptAside() {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(Folder(), ec)) {
    if (e.path().filename().string().find(".broken-") != std::string::npos) fs::remove(e.path(), ec);
  }
}

template <class Profile>
void Common(Profile& p, const std::string& path, std::uint8_t selector) {
  p.SetDefaultProfilePath(Folder() + "default.Json");
  p.SetProfilePath(path);
  p.LoadSection(path);
  p.LoadLightConfig(path);  // the same bytes as a light configuration
  const LightInfo light = p.GetLightInfo();
  p.GetAudioLightInfo();
  p.GetLightList();
  p.GetEffectSteps(selector & 3, selector >> 4);
  auto keys = p.GetKeyList();
  p.LoadScratchSection(path);
  p.GetScratchKeyList();
  if (!keys.empty()) keys[0].current = {0x70, 3, 0};
  p.SetKeyList(keys);
  p.SetLightInfo(light);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = Folder() + "p.Json";
  const std::uint8_t selector = size > 0 ? data[size - 1] : 0;
  {
    Write(path, data, size);
    CKeyboardProfiledata k;
    Common(k, path, selector);
    k.GetSystemSettings();
    k.GetCustomColors(selector & 7, 170);
    k.GetCustomGroupIndex();
    k.SetCustomColors({{1, 2, 3, 4}}, selector & 7);
    k.SetSystemSettings(k.GetSystemSettings());
    (void)k.Save();
  }
  {
    Write(path, data, size);
    CMouseProfiledata m;
    Common(m, path, selector);
    auto stages = m.GetStages();
    m.GetActiveStageIndex();
    m.GetPointerOptions();
    m.GetCorrections();
    stages.resize(5);
    m.SetStages(stages);
    m.SetPointerOptions(m.GetPointerOptions());
    (void)m.Save();
  }
  {
    Write(path, data, size);
    CRi6533Profiledata h;
    Common(h, path, selector);
    h.GetVoiceState();
    for (int preset = -1; preset <= 14; ++preset) h.GetEqBands(preset);
    const auto names = h.GetCustomEqNames();
    for (int i = 0; i < 3; ++i) h.GetCustomEqBands(i);
    h.SetEqBands(selector % 15, {1, 2, 3});
    h.SetCustomEqNames(names);
    h.SetCustomEqBands(selector & 3, {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    h.SetVoiceState(h.GetVoiceState());
    (void)h.Save();
    (void)h.SaveScratchSection(path);
    // What was saved must read back as a profile.
    if (ReadJson(path).isNull() && !ReadJson(Folder() + "default.Json").isNull()) __builtin_trap();
  }
  RemoveKeptAside();
  return 0;
}
