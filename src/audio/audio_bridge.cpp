#include "audio/audio_bridge.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace brimvex::audio {
namespace {

constexpr std::size_t kValueChars = platform::kAudioValueBufferBytes / sizeof(wchar_t);

std::optional<std::string> Narrow(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (c <= 0 || c >= 128) return std::nullopt;
    out.push_back(static_cast<char>(c));
  }
  return out;
}

std::wstring Widen(std::string_view text) { return std::wstring(text.begin(), text.end()); }

template <typename F>
F As(void* symbol) {
  return reinterpret_cast<F>(symbol);
}

}  // namespace

std::optional<double> ParseAnswerNumber(std::wstring_view text) {
  const auto narrow = Narrow(text);
  if (!narrow || narrow->empty()) return std::nullopt;
  double value = 0;
  const char* begin = narrow->data();
  const char* end = begin + narrow->size();
  const auto r = std::from_chars(begin, end, value);
  if (r.ec != std::errc() || r.ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<FeatureNumbers> ParseFeatureAnswer(std::wstring_view text) {
  const auto narrow = Narrow(text);
  if (!narrow) return std::nullopt;
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = narrow->find(',', start);
    fields.push_back(narrow->substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (fields.size() < 7) return std::nullopt;
  std::array<std::int64_t, 3> numbers{};
  const std::array<std::size_t, 3> at{0, 4, 6};
  for (std::size_t i = 0; i < at.size(); ++i) {
    const std::string& field = fields[at[i]];
    const char* end = field.data() + field.size();
    const auto r = std::from_chars(field.data(), end, numbers[i]);
    if (field.empty() || r.ec != std::errc() || r.ptr != end) return std::nullopt;
  }
  return FeatureNumbers{numbers[0], numbers[1], numbers[2]};
}

int LevelOfScalar(double scalar) {
  const double level = std::floor(scalar * 100.0 + 0.001);
  return static_cast<int>(std::clamp(level, 0.0, 100.0));
}

AudioBridge::AudioBridge(platform::AudioChipLoader& loader) : loader_(loader) {}

bool AudioBridge::Load(const std::string& file) {
  library_.reset();
  std::string error;
  // An empty name would load the program itself.
  auto library = file.empty() ? nullptr : loader_.Load(file, error);
  if (file.empty()) error = "no file named";
  if (!library) {
    reason_ = "cannot load " + file + ": " + error;
    return false;
  }
  for (std::size_t i = 0; i < resolved_.size(); ++i) {
    resolved_[i] = library->Symbol(platform::kAudioChipFunctionNames[i]);
    if (resolved_[i] == nullptr) {
      reason_ = file + " lacks " + platform::kAudioChipFunctionNames[i];
      return false;
    }
  }
  init_ = As<BvxConfLibInitFn>(resolved_[0]);
  create_list_ = As<BvxCreateDeviceListFn>(resolved_[1]);
  count_ = As<BvxGetDeviceCountFn>(resolved_[2]);
  by_id_ = As<BvxGetDeviceByIdFn>(resolved_[3]);
  property_ = As<BvxPropertyControlFn>(resolved_[4]);
  library_ = std::move(library);
  reason_.clear();
  chosen_ = {};
  features_ = {};
  return true;
}

int AudioBridge::Init() { return Loaded() ? init_() : -1; }

int AudioBridge::CreateDeviceList() { return Loaded() ? create_list_() : -1; }

std::optional<int> AudioBridge::Count(Side side) {
  if (!Loaded()) return std::nullopt;
  std::int32_t count = -1;
  const int direction = side == Side::kOutput ? platform::kAudioDirectionOutput : platform::kAudioDirectionInput;
  if (count_(direction, &count) != 0 || count < 0 || count > kMaxEndpointCount) return std::nullopt;
  return count;
}

bool AudioBridge::ChooseEndpoints() {
  chosen_ = {};
  if (!Loaded()) return false;
  std::array<std::vector<BvxAudioEndpoint>, 2> lists;
  for (Side side : {Side::kOutput, Side::kInput}) {
    const int direction = side == Side::kOutput ? platform::kAudioDirectionOutput : platform::kAudioDirectionInput;
    const int count = Count(side).value_or(0);
    for (int i = 0; i < count; ++i) {
      BvxAudioEndpoint e{};
      if (by_id_(direction, i, &e) == 0) lists[Index(side)].push_back(e);
    }
  }
  for (std::int32_t type : {1, 12, 7, 4}) {
    const auto& outs = lists[0];
    const auto it = std::find_if(outs.begin(), outs.end(), [&](const auto& e) { return e.type == type && e.state == 1; });
    if (it != outs.end()) {
      endpoints_[0] = *it;
      chosen_[0] = true;
      break;
    }
  }
  const auto& ins = lists[1];
  const auto in = std::find_if(ins.begin(), ins.end(), [](const auto& e) { return e.type == 2; });
  if (in != ins.end()) {
    endpoints_[1] = *in;
    chosen_[1] = true;
  }
  return chosen_[0];
}

bool AudioBridge::ReadFeatures(Side side) {
  features_[Index(side)] = {};
  const auto text = ReadText(side, "GetSupportFeature", PropertyParam::None());
  if (!text) return false;
  const auto numbers = ParseFeatureAnswer(*text);
  if (!numbers) return false;
  features_[Index(side)] = *numbers;
  return true;
}

int AudioBridge::Call(Side side, std::string_view name, void* value, PropertyParam param, int write) {
  if (!Loaded() || !HasEndpoint(side)) return -1;
  const std::wstring wide = Widen(name);
  std::int32_t channel = param.value;
  BvxAudioParamRecord record{4, -1, 0};
  // The parameter buffer is the library's 1024 bytes, like the value buffer.
  std::array<std::uint8_t, platform::kAudioValueBufferBytes> parameter{};
  void* parameter_pointer = nullptr;
  if (param.kind == PropertyParam::Kind::kInt) {
    std::copy_n(reinterpret_cast<const std::uint8_t*>(&channel), sizeof channel, parameter.begin());
    parameter_pointer = parameter.data();
  } else if (param.kind == PropertyParam::Kind::kRecord) {
    std::copy_n(reinterpret_cast<const std::uint8_t*>(&record), sizeof record, parameter.begin());
    parameter_pointer = parameter.data();
  }
  return property_(endpoints_[Index(side)], wide.c_str(), value, parameter_pointer, write);
}

std::optional<std::wstring> AudioBridge::ReadText(Side side, std::string_view name, PropertyParam param) {
  std::array<wchar_t, kValueChars> value{};
  if (Call(side, name, value.data(), param, platform::kAudioRead) != 0) return std::nullopt;
  const auto end = std::find(value.begin(), value.end(), L'\0');
  if (end == value.end()) return std::nullopt;
  return std::wstring(value.begin(), end);
}

std::optional<double> AudioBridge::ReadNumber(Side side, std::string_view name, PropertyParam param) {
  const auto text = ReadText(side, name, param);
  if (!text) return std::nullopt;
  return ParseAnswerNumber(*text);
}

bool AudioBridge::WriteInt(Side side, std::string_view name, std::int32_t value, PropertyParam param) {
  std::array<std::uint8_t, platform::kAudioValueBufferBytes> buffer{};
  std::copy_n(reinterpret_cast<const std::uint8_t*>(&value), sizeof value, buffer.begin());
  return Call(side, name, buffer.data(), param, platform::kAudioWrite) == 0;
}

bool AudioBridge::WriteFloat(Side side, std::string_view name, float value, PropertyParam param) {
  std::array<std::uint8_t, platform::kAudioValueBufferBytes> buffer{};
  std::copy_n(reinterpret_cast<const std::uint8_t*>(&value), sizeof value, buffer.begin());
  return Call(side, name, buffer.data(), param, platform::kAudioWrite) == 0;
}

}  // namespace brimvex::audio
