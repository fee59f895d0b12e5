#pragma once
// The bridge to the audio chip's configuration library: loading it and looking its functions
// up, choosing the endpoints, reading their feature numbers, and reading and writing
// properties through the library's value buffers. Every call runs on the UI thread.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/audio_chip_library.h"

namespace brimvex::audio {

enum class Side { kOutput, kInput };

// The parameter buffer of a property call: none, an int32 channel selector, or the surround
// record {4, -1, 0}.
struct PropertyParam {
  enum class Kind { kNone, kInt, kRecord };
  Kind kind = Kind::kNone;
  std::int32_t value = 0;
  static PropertyParam None() { return {}; }
  static PropertyParam Channel(std::int32_t channel) { return {Kind::kInt, channel}; }
  static PropertyParam SurroundRecord() { return {Kind::kRecord, 0}; }
};

// Fields 0, 4 and 6 of "GetSupportFeature".
struct FeatureNumbers {
  std::int64_t first = 0;
  std::int64_t second = 0;
  std::int64_t third = 0;
};
inline constexpr std::int64_t kVoiceChangerFeatureBit = 0x20000;
// A device count outside this range means none.
inline constexpr std::int32_t kMaxEndpointCount = 64;

// Parses a library answer: a decimal number filling the whole text; nothing for anything else,
// NaN and infinities included.
std::optional<double> ParseAnswerNumber(std::wstring_view text);
// Splits a feature answer; nothing with fewer than seven fields or a field 0, 4 or 6 that is not
// a decimal integer.
std::optional<FeatureNumbers> ParseFeatureAnswer(std::wstring_view text);
// Level 0 to 100 of a scalar volume (a little slack so 0.29 reads 29).
int LevelOfScalar(double scalar);

class AudioBridge {
 public:
  explicit AudioBridge(platform::AudioChipLoader& loader);

  // Loads `file` and looks the eleven functions up. False with Reason() "cannot load FILE:
  // ERROR" or "FILE lacks FUNCTION" (the first one absent).
  bool Load(const std::string& file);
  bool Loaded() const { return library_ != nullptr; }
  std::shared_ptr<platform::AudioChipLibrary> Library() const { return library_; }
  // Why the audio settings are unavailable ("" while they are).
  const std::string& Reason() const { return reason_; }
  void SetReason(std::string reason) { reason_ = std::move(reason); }

  // ConfLibInit's and CreateDeviceList's answers (-1 when not loaded).
  int Init();
  int CreateDeviceList();
  // Endpoint count of one side; nothing when the call fails or the count is outside 0-64.
  std::optional<int> Count(Side side);
  // Chooses the output endpoint (type 1, then 12, 7 and 4, each with state 1) and the input
  // endpoint (the first of type 2). False when no output endpoint fits.
  bool ChooseEndpoints();
  bool HasEndpoint(Side side) const { return chosen_[Index(side)]; }
  const BvxAudioEndpoint& Endpoint(Side side) const { return endpoints_[Index(side)]; }
  // Reads "GetSupportFeature" of a side into its feature numbers; false (numbers 0) when it
  // fails or has too few fields.
  bool ReadFeatures(Side side);
  const FeatureNumbers& Features(Side side) const { return features_[Index(side)]; }

  // A read's answer, ended at its terminator inside the value buffer; nothing when the call
  // fails, there is no such endpoint, or the buffer holds no terminator.
  std::optional<std::wstring> ReadText(Side side, std::string_view name, PropertyParam param);
  std::optional<double> ReadNumber(Side side, std::string_view name, PropertyParam param);
  bool WriteInt(Side side, std::string_view name, std::int32_t value, PropertyParam param);
  bool WriteFloat(Side side, std::string_view name, float value, PropertyParam param);

 private:
  static std::size_t Index(Side side) { return side == Side::kOutput ? 0 : 1; }
  int Call(Side side, std::string_view name, void* value, PropertyParam param, int write);

  platform::AudioChipLoader& loader_;
  std::shared_ptr<platform::AudioChipLibrary> library_;
  std::string reason_;
  BvxConfLibInitFn init_ = nullptr;
  BvxCreateDeviceListFn create_list_ = nullptr;
  BvxGetDeviceCountFn count_ = nullptr;
  BvxGetDeviceByIdFn by_id_ = nullptr;
  BvxPropertyControlFn property_ = nullptr;
  std::array<void*, 11> resolved_{};
  std::array<BvxAudioEndpoint, 2> endpoints_{};
  std::array<bool, 2> chosen_{};
  std::array<FeatureNumbers, 2> features_{};
};

}  // namespace brimvex::audio
