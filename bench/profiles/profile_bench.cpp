// A full keyboard profile: load the section, read every member, set them and save the file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "profiles/default_profiles.h"
#include "profiles/file_helpers.h"
#include "profiles/keyboard_profile_data.h"

namespace {
namespace fs = std::filesystem;
using namespace brimvex::profiles;

class Folder {
 public:
  Folder() : path_(fs::temp_directory_path() / ("brimvex-bench-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(path_);
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string File(const char* name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

// A keyboard profile as it looks after use: the default section plus eight custom colour groups.
std::string FullKeyboardProfile(const Folder& folder) {
  const std::string path = folder.File("full.Json");
  CKeyboardProfiledata p;
  p.SetDefaultProfilePath(folder.File("default.Json"));
  if (!WriteJson(folder.File("default.Json"), BuildDefaultProfile(DefaultProfileKind::kKeyboard))) return {};
  p.LoadSection(path);
  for (int group = 0; group < 8; ++group) {
    std::vector<CustomColor> colors(170, CustomColor{10, 20, 30, 255});
    p.SetCustomColors(colors, group);
  }
  p.SetProfilePath(path);
  if (!p.Save()) return {};
  return path;
}

void ReadEverything(CKeyboardProfiledata& p) {
  benchmark::DoNotOptimize(p.GetLightInfo());
  benchmark::DoNotOptimize(p.GetAudioLightInfo());
  benchmark::DoNotOptimize(p.GetLightList());
  benchmark::DoNotOptimize(p.GetKeyList());
  benchmark::DoNotOptimize(p.GetSystemSettings());
  benchmark::DoNotOptimize(p.GetCustomGroupIndex());
  for (int group = 0; group < 8; ++group) benchmark::DoNotOptimize(p.GetCustomColors(group, 170));
}

void BM_LoadReadSetSaveKeyboard(benchmark::State& state) {
  Folder folder;
  const std::string path = FullKeyboardProfile(folder);
  if (path.empty()) {
    state.SkipWithError("could not write the profile");
    return;
  }
  for (auto _ : state) {
    CKeyboardProfiledata p;
    p.SetProfilePath(path);
    p.LoadSection(path);
    ReadEverything(p);
    LightInfo light = p.GetLightInfo();
    light.red = static_cast<std::uint8_t>(light.red + 1);
    p.SetLightInfo(light);
    p.SetAudioLightInfo(p.GetAudioLightInfo());
    auto keys = p.GetKeyList();
    keys[3].current = {0x70, 1, 0};
    p.SetKeyList(keys);
    p.SetSystemSettings(p.GetSystemSettings());
    p.SetCustomColors(p.GetCustomColors(0, 170), 0);
    p.SetCustomGroupIndex(1);
    if (!p.Save()) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_LoadReadSetSaveKeyboard)->Unit(benchmark::kMillisecond);

// The same without the file: read and set on a loaded section, to separate JSON work from I/O.
void BM_ReadSetInMemoryKeyboard(benchmark::State& state) {
  Folder folder;
  const std::string path = FullKeyboardProfile(folder);
  CKeyboardProfiledata p;
  p.LoadSection(path);
  for (auto _ : state) {
    ReadEverything(p);
    p.SetKeyList(p.GetKeyList());
    p.SetCustomColors(p.GetCustomColors(0, 170), 0);
    p.SetLightInfo(p.GetLightInfo());
  }
}
BENCHMARK(BM_ReadSetInMemoryKeyboard)->Unit(benchmark::kMicrosecond);

}  // namespace
