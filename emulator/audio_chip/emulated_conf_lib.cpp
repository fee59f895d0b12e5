// The emulated headset's audio chip library (osConfLib.so): the eleven functions over an
// in-memory property store under one mutex, and the entry points the tests and brimvexctl use
// to set it up and read what reached it.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "emulator/audio_chip/emulated_conf_lib.h"

namespace {

enum class Kind { kInt, kFloat, kText };
enum class Param { kNone, kInt, kRecord };
constexpr int kOut = 0;
constexpr int kIn = 1;
constexpr int kBoth = 2;

struct Row {
  const char* name;
  int side;
  Kind kind;
  Param param;
  bool settable;
};

// Settable properties first, in the order the dump lists them.
constexpr Row kRows[] = {
    {"VolumeControl", kIn, Kind::kFloat, Param::kInt, true},
    {"VolumeScalarControl", kIn, Kind::kFloat, Param::kInt, true},
    {"MuteControl", kIn, Kind::kInt, Param::kNone, true},
    {"AAVolumeControl", kIn, Kind::kFloat, Param::kInt, true},
    {"AAVolumeScalarControl", kIn, Kind::kFloat, Param::kInt, true},
    {"AAMuteControl", kIn, Kind::kInt, Param::kNone, true},
    {"Enable_MAGICVOICE", kIn, Kind::kInt, Param::kNone, true},
    {"MagicVoice_Selection", kIn, Kind::kInt, Param::kNone, true},
    {"Enable_MICECHO", kIn, Kind::kInt, Param::kNone, true},
    {"Enable_ENC_LFX", kIn, Kind::kInt, Param::kNone, true},
    {"ENC_SELFCALIB", kIn, Kind::kInt, Param::kNone, true},
    {"Enable_EQ_GFX", kOut, Kind::kInt, Param::kNone, true},
    {"EQ_Slider1", kOut, Kind::kInt, Param::kNone, true},
    {"EQ_Slider2", kOut, Kind::kInt, Param::kNone, true},
    {"EQ_Slider3", kOut, Kind::kInt, Param::kNone, true},
    {"EQ_Slider4", kOut, Kind::kInt, Param::kNone, true},
    {"EQ_Slider5", kOut, Kind::kInt, Param::kNone, true},
    {"EQ_Slider6", kOut, Kind::kInt, Param::kNone, true},
    {"EQ_Slider7", kOut, Kind::kInt, Param::kNone, true},
    {"EQ_Slider8", kOut, Kind::kInt, Param::kNone, true},
    {"EQ_Slider9", kOut, Kind::kInt, Param::kNone, true},
    {"EQ_Slider10", kOut, Kind::kInt, Param::kNone, true},
    {"Enable_RFX_GFX", kOut, Kind::kInt, Param::kNone, true},
    {"RFX_ENVIRONMENT", kOut, Kind::kInt, Param::kNone, true},
    {"RFX_ROOMSIZE", kOut, Kind::kInt, Param::kNone, true},
    {"VirtualSurroundEffectControl", kOut, Kind::kInt, Param::kRecord, true},
    {"GetSupportFeature", kBoth, Kind::kText, Param::kNone, false},
    {"GetMaxVol", kIn, Kind::kFloat, Param::kNone, false},
    {"GetMinVol", kIn, Kind::kFloat, Param::kNone, false},
    {"GetVolStep", kIn, Kind::kFloat, Param::kNone, false},
    {"GetAAMaxVol", kIn, Kind::kFloat, Param::kNone, false},
    {"GetAAMinVol", kIn, Kind::kFloat, Param::kNone, false},
    {"GetAAVolStep", kIn, Kind::kFloat, Param::kNone, false},
};

const Row* FindRow(const std::string& name) {
  for (const auto& row : kRows)
    if (name == row.name) return &row;
  return nullptr;
}

struct Store {
  std::mutex mutex;
  std::vector<BvxAudioEndpoint> endpoints[2];
  int reported_count[2] = {-1, -1};
  int init_result = 0;
  std::map<std::string, double> values;
  std::map<std::string, int> faults;
  std::map<std::string, std::wstring> raw;
  std::string features[2];
  std::vector<std::string> log;
};

Store& TheStore() {
  static Store store;
  return store;
}

constexpr std::size_t kValueChars = 1024 / sizeof(wchar_t);

void ResetLocked(Store& s) {
  s.endpoints[kOut] = {{1, 1, 0, 1}};
  s.endpoints[kIn] = {{2, 2, 0, 1}};
  s.reported_count[0] = s.reported_count[1] = -1;
  s.init_result = 0;
  s.values = {{"VolumeControl", -9.3},       {"VolumeScalarControl", 0.8},   {"MuteControl", 0},
              {"AAVolumeControl", -15},      {"AAVolumeScalarControl", 0.5}, {"AAMuteControl", 1},
              {"Enable_MAGICVOICE", 0},      {"MagicVoice_Selection", 0},    {"Enable_EQ_GFX", 1},
              {"GetMaxVol", 0},              {"GetMinVol", -46.5},           {"GetVolStep", 0.5},
              {"GetAAMaxVol", 0},            {"GetAAMinVol", -30},           {"GetAAVolStep", 0.5}};
  for (int band = 1; band <= 10; ++band) s.values["EQ_Slider" + std::to_string(band)] = 0;
  s.faults.clear();
  s.raw.clear();
  s.features[kOut] = "0,0,0,0,0,0,0";
  s.features[kIn] = "131072,0,0,0,2,0,3";
  s.log.clear();
}

Store& Locked(std::unique_lock<std::mutex>& lock) {
  static std::once_flag once;
  Store& s = TheStore();
  lock = std::unique_lock(s.mutex);
  std::call_once(once, [&] { ResetLocked(s); });
  return s;
}

std::string FormatNumber(double value, Kind kind) {
  char text[64];
  std::to_chars_result r{};
  if (kind == Kind::kInt)
    r = std::to_chars(text, text + sizeof text, static_cast<long long>(value));
  else
    r = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
  return std::string(text, r.ptr);
}

std::optional<double> ParseNumber(const char* text) {
  if (text == nullptr || *text == '\0') return std::nullopt;
  double value = 0;
  const char* end = text + std::strlen(text);
  const auto r = std::from_chars(text, end, value);
  if (r.ec != std::errc() || r.ptr != end) return std::nullopt;
  return value;
}

// Scalar volumes are written as floats, everything else as int32.
bool IsScalar(const std::string& name) { return name.ends_with("ScalarControl"); }

int SideOf(const Store& s, std::int32_t id) {
  for (int side : {kOut, kIn})
    for (const auto& e : s.endpoints[side])
      if (e.id == id) return side;
  return -1;
}

std::string Narrow(const wchar_t* name) {
  std::string out;
  for (std::size_t i = 0; name[i] != L'\0' && i < 256; ++i)
    out.push_back(name[i] > 0 && name[i] < 128 ? static_cast<char>(name[i]) : '?');
  return out;
}

void CopyAnswer(const std::wstring& text, void* value, bool terminate) {
  auto* out = static_cast<wchar_t*>(value);
  const std::size_t n = std::min(text.size(), terminate ? kValueChars - 1 : kValueChars);
  std::copy_n(text.begin(), n, out);
  if (terminate) out[n] = L'\0';
}

// The linked pairs: a level's decibels and its scalar follow each other over the range.
struct LinkedPair {
  const char* decibels;
  const char* scalar;
  const char* min;
  const char* max;
};
constexpr LinkedPair kLinked[] = {{"VolumeControl", "VolumeScalarControl", "GetMinVol", "GetMaxVol"},
                                  {"AAVolumeControl", "AAVolumeScalarControl", "GetAAMinVol", "GetAAMaxVol"}};

void FollowLinked(Store& s, const std::string& name, double value) {
  for (const auto& pair : kLinked) {
    const double min = s.values.count(pair.min) ? s.values[pair.min] : -46.5;
    const double max = s.values.count(pair.max) ? s.values[pair.max] : 0;
    if (name == pair.scalar) s.values[pair.decibels] = min + value * (max - min);
    if (name == pair.decibels && max > min) s.values[pair.scalar] = std::clamp((value - min) / (max - min), 0.0, 1.0);
  }
}

int CopyOut(const std::string& text, char* out, int size) {
  if (out != nullptr && size > 0) {
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
  }
  return static_cast<int>(text.size());
}

}  // namespace

extern "C" {

int ConfLibInit(void) {
  std::unique_lock<std::mutex> lock;
  return Locked(lock).init_result;
}

int CreateDeviceList(void) { return 0; }

int GetDeviceCount(int direction, std::int32_t* count) {
  std::unique_lock<std::mutex> lock;
  Store& s = Locked(lock);
  if (count == nullptr || (direction != kOut && direction != kIn)) return 1;
  const int reported = s.reported_count[direction];
  *count = reported != -1 ? reported : static_cast<std::int32_t>(s.endpoints[direction].size());
  return 0;
}

int GetDeviceById(int direction, int index, BvxAudioEndpoint* endpoint) {
  std::unique_lock<std::mutex> lock;
  Store& s = Locked(lock);
  if (endpoint == nullptr || (direction != kOut && direction != kIn)) return 1;
  const auto& list = s.endpoints[direction];
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return 1;
  *endpoint = list[static_cast<std::size_t>(index)];
  return 0;
}

int PropertyControl(BvxAudioEndpoint endpoint, const wchar_t* wide_name, void* value, void* parameter, int write) {
  std::unique_lock<std::mutex> lock;
  Store& s = Locked(lock);
  if (wide_name == nullptr || value == nullptr) return 1;
  const int side = SideOf(s, endpoint.id);
  const std::string name = Narrow(wide_name);
  const Row* row = FindRow(name);
  if (side < 0 || row == nullptr || (row->side != kBoth && row->side != side)) return 2;
  if (row->param != Param::kNone && parameter == nullptr) return 3;
  const auto fault = s.faults.find(name);
  if (fault != s.faults.end() && (fault->second & (write ? 2 : 1)) != 0) return 4;

  if (write == 0) {
    if (const auto raw = s.raw.find(name); raw != s.raw.end()) {
      CopyAnswer(raw->second, value, false);
      return 0;
    }
    std::string text;
    if (row->kind == Kind::kText) {
      text = s.features[side];
    } else {
      const auto stored = s.values.find(name);
      if (stored == s.values.end()) return 5;
      text = FormatNumber(stored->second, row->kind);
    }
    CopyAnswer(std::wstring(text.begin(), text.end()), value, true);
    return 0;
  }

  if (!row->settable) return 6;
  double stored = 0;
  if (IsScalar(name)) {
    float f = 0;
    std::memcpy(&f, value, sizeof f);
    stored = static_cast<double>(f);
  } else {
    std::int32_t i = 0;
    std::memcpy(&i, value, sizeof i);
    stored = i;
  }
  s.values[name] = stored;
  FollowLinked(s, name, stored);
  std::string line = std::string(side == kIn ? "in " : "out ") + name + " " + FormatNumber(stored, row->kind);
  if (row->param == Param::kInt) {
    std::int32_t p = 0;
    std::memcpy(&p, parameter, sizeof p);
    line += " " + std::to_string(p);
  } else if (row->param == Param::kRecord) {
    BvxAudioParamRecord r{};
    std::memcpy(&r, parameter, sizeof r);
    line += " " + std::to_string(r.a) + "," + std::to_string(r.b) + "," + std::to_string(r.c);
  }
  s.log.push_back(std::move(line));
  return 0;
}

int RegisterCallbackFunction(void (*)(void*), void*) { return 0; }
int ConfLibUnInit(void) { return 0; }
int ShowAsioPanel(void) { return 0; }
int PlayTestSound(void) { return 0; }
int StopTestSound(void) { return 0; }
int CloseTestSound(void) { return 0; }

void BvxEmuReset(void) {
  std::unique_lock<std::mutex> lock;
  ResetLocked(Locked(lock));
}

int BvxEmuSetEndpoints(int direction, const BvxAudioEndpoint* list, int count) {
  std::unique_lock<std::mutex> lock;
  Store& s = Locked(lock);
  if ((direction != kOut && direction != kIn) || count < 0 || (count > 0 && list == nullptr)) return 1;
  s.endpoints[direction].assign(list, list + count);
  return 0;
}

void BvxEmuSetReportedCount(int direction, int count) {
  std::unique_lock<std::mutex> lock;
  Store& s = Locked(lock);
  if (direction == kOut || direction == kIn) s.reported_count[direction] = count;
}

void BvxEmuSetInitResult(int result) {
  std::unique_lock<std::mutex> lock;
  Locked(lock).init_result = result;
}

int BvxEmuSetProperty(const char* name, const char* value) {
  std::unique_lock<std::mutex> lock;
  Store& s = Locked(lock);
  if (name == nullptr || FindRow(name) == nullptr) return 1;
  if (value == nullptr || *value == '\0') {
    s.values.erase(name);
    return 0;
  }
  const auto number = ParseNumber(value);
  if (!number) return 1;
  s.values[name] = *number;
  FollowLinked(s, name, *number);
  return 0;
}

int BvxEmuFailProperty(const char* name, int mode) {
  std::unique_lock<std::mutex> lock;
  Store& s = Locked(lock);
  if (name == nullptr) {
    s.faults.clear();
    return 0;
  }
  if (FindRow(name) == nullptr) return 1;
  if (mode == 0)
    s.faults.erase(name);
  else
    s.faults[name] = mode;
  return 0;
}

int BvxEmuSetRawAnswer(const char* name, const wchar_t* text, int count) {
  std::unique_lock<std::mutex> lock;
  Store& s = Locked(lock);
  if (name == nullptr || FindRow(name) == nullptr) return 1;
  if (count < 0 || text == nullptr)
    s.raw.erase(name);
  else
    s.raw[name] = std::wstring(text, static_cast<std::size_t>(count));
  return 0;
}

int BvxEmuSetFeatures(int direction, const char* text) {
  std::unique_lock<std::mutex> lock;
  Store& s = Locked(lock);
  if ((direction != kOut && direction != kIn) || text == nullptr) return 1;
  s.features[direction] = text;
  return 0;
}

int BvxEmuWriteLog(char* out, int size) {
  std::unique_lock<std::mutex> lock;
  Store& s = Locked(lock);
  std::string text;
  for (const auto& line : s.log) text += line + "\n";
  return CopyOut(text, out, size);
}

void BvxEmuClearLog(void) {
  std::unique_lock<std::mutex> lock;
  Locked(lock).log.clear();
}

int BvxEmuDump(char* out, int size) {
  std::unique_lock<std::mutex> lock;
  Store& s = Locked(lock);
  std::string text;
  for (const auto& row : kRows) {
    if (!row.settable) continue;
    const auto stored = s.values.find(row.name);
    text += std::string(row.name) + ": " + (stored == s.values.end() ? "unset" : FormatNumber(stored->second, row.kind)) + "\n";
  }
  return CopyOut(text, out, size);
}

}  // extern "C"
