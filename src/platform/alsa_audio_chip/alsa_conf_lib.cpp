// osConfLib.so over ALSA, so a headset works without its chip vendor's library: the headset's
// card, its capture control as the input's volume, scalar, mute and range, the sidetone as the
// monitoring ("AA") ones, the playback volume as the output's. "GetSupportFeature" answers
// seven zeros; every other property fails.
#include <charconv>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <optional>
#include <string>

#include "platform/alsa_audio_chip/alsa_card.h"
#include "platform/audio_chip_library.h"

namespace {

using brimvex::platform::alsa::HeadsetMixer;
using brimvex::platform::alsa::VolumeControl;

constexpr std::int32_t kOutputId = 1;
constexpr std::int32_t kInputId = 2;
constexpr int kOk = 0;
constexpr int kFailed = -1;
constexpr std::size_t kValueChars = brimvex::platform::kAudioValueBufferBytes / sizeof(wchar_t);

struct Library {
  std::mutex mutex;
  HeadsetMixer mixer;
};

Library& TheLibrary() {
  static Library library;
  return library;
}

// The answer as wide text, "%g" in the C locale, ended inside the buffer.
int Answer(void* value, const std::optional<double>& number) {
  if (!number || value == nullptr) return kFailed;
  char text[64];
  const auto r = std::to_chars(text, text + sizeof text - 1, *number, std::chars_format::general, 6);
  if (r.ec != std::errc()) return kFailed;
  auto* out = static_cast<wchar_t*>(value);
  std::size_t n = 0;
  for (const char* c = text; c != r.ptr && n + 1 < kValueChars; ++c) out[n++] = static_cast<wchar_t>(*c);
  out[n] = L'\0';
  return kOk;
}

int AnswerText(void* value, const wchar_t* text) {
  if (value == nullptr || std::wcslen(text) + 1 > kValueChars) return kFailed;
  std::wcscpy(static_cast<wchar_t*>(value), text);
  return kOk;
}

std::int32_t IntOf(const void* value) {
  std::int32_t v = 0;
  std::memcpy(&v, value, sizeof v);
  return v;
}

float FloatOf(const void* value) {
  float v = 0;
  std::memcpy(&v, value, sizeof v);
  return v;
}

// One volume family ("" for the microphone or the output, "AA" for monitoring) on a control.
int VolumeProperty(VolumeControl& control, const std::wstring& name, void* value, bool write) {
  if (!control) return kFailed;
  if (name == L"VolumeScalarControl") {
    if (write) return control.SetScalar(static_cast<double>(FloatOf(value))) ? kOk : kFailed;
    return Answer(value, control.Scalar());
  }
  if (name == L"VolumeControl") {
    if (write) return control.SetDecibels(IntOf(value)) ? kOk : kFailed;
    return Answer(value, control.Decibels());
  }
  if (name == L"MuteControl") {
    if (write) {
      const std::int32_t muted = IntOf(value);
      if (muted != 0 && muted != 1) return kFailed;
      return control.SetMuted(muted == 1) ? kOk : kFailed;
    }
    const auto muted = control.Muted();
    return Answer(value, muted ? std::optional<double>(*muted) : std::nullopt);
  }
  if (write) return kFailed;
  if (name == L"GetMaxVol") return Answer(value, control.MaxDecibels());
  if (name == L"GetMinVol") return Answer(value, control.MinDecibels());
  if (name == L"GetVolStep") return Answer(value, control.StepDecibels());
  return kFailed;
}

}  // namespace

#define BVX_EXPORT __attribute__((visibility("default")))

extern "C" {

BVX_EXPORT int ConfLibInit(void) { return kOk; }

BVX_EXPORT int CreateDeviceList(void) {
  Library& lib = TheLibrary();
  std::lock_guard lock(lib.mutex);
  // No card, or one whose mixer cannot be opened: an empty list.
  const auto card = brimvex::platform::alsa::FindHeadsetCard();
  if (!card || !lib.mixer.Open(*card)) lib.mixer.Close();
  return kOk;
}

BVX_EXPORT int GetDeviceCount(int direction, std::int32_t* count) {
  if (count == nullptr || (direction != 0 && direction != 1)) return kFailed;
  Library& lib = TheLibrary();
  std::lock_guard lock(lib.mutex);
  *count = lib.mixer.IsOpen() ? 1 : 0;
  return kOk;
}

BVX_EXPORT int GetDeviceById(int direction, int index, BvxAudioEndpoint* endpoint) {
  if (endpoint == nullptr || (direction != 0 && direction != 1) || index != 0) return kFailed;
  Library& lib = TheLibrary();
  std::lock_guard lock(lib.mutex);
  if (!lib.mixer.IsOpen()) return kFailed;
  *endpoint = direction == 0 ? BvxAudioEndpoint{kOutputId, 1, 0, 1} : BvxAudioEndpoint{kInputId, 2, 0, 1};
  return kOk;
}

BVX_EXPORT int PropertyControl(BvxAudioEndpoint endpoint, const wchar_t* wide_name, void* value, void*, int write) {
  if (wide_name == nullptr || value == nullptr || (write != 0 && write != 1)) return kFailed;
  Library& lib = TheLibrary();
  std::lock_guard lock(lib.mutex);
  if (!lib.mixer.IsOpen() || (endpoint.id != kOutputId && endpoint.id != kInputId)) return kFailed;
  const std::wstring name(wide_name, wcsnlen(wide_name, 64));
  if (name == L"GetSupportFeature") return write ? kFailed : AnswerText(value, L"0,0,0,0,0,0,0");
  if (endpoint.id == kOutputId) return VolumeProperty(lib.mixer.Playback(), name, value, write == 1);
  if (name.starts_with(L"AA")) return VolumeProperty(lib.mixer.Sidetone(), name.substr(2), value, write == 1);
  if (name.starts_with(L"GetAA")) return VolumeProperty(lib.mixer.Sidetone(), L"Get" + name.substr(5), value, write == 1);
  return VolumeProperty(lib.mixer.Capture(), name, value, write == 1);
}

// Not offered over ALSA.
BVX_EXPORT int RegisterCallbackFunction(void (*)(void*), void*) { return kFailed; }
BVX_EXPORT int ConfLibUnInit(void) {
  Library& lib = TheLibrary();
  std::lock_guard lock(lib.mutex);
  lib.mixer.Close();
  return kOk;
}
BVX_EXPORT int ShowAsioPanel(void) { return kFailed; }
BVX_EXPORT int PlayTestSound(void) { return kFailed; }
BVX_EXPORT int StopTestSound(void) { return kFailed; }
BVX_EXPORT int CloseTestSound(void) { return kFailed; }

}  // extern "C"
