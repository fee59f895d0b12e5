#include "emulator/emulated_audio_chip.h"

#include <sstream>

namespace brimvex::emulator {

EmulatedAudioChip::EmulatedAudioChip(std::shared_ptr<platform::AudioChipLibrary> library)
    : library_(std::move(library)) {
  valid_ = library_ != nullptr && library_->Symbol("BvxEmuReset") != nullptr && library_->Symbol("BvxEmuDump") != nullptr;
}

template <typename F>
F EmulatedAudioChip::Get(const char* name) const {
  // Function pointers from a symbol: the one conversion the loader interface needs.
  return valid_ ? reinterpret_cast<F>(library_->Symbol(name)) : nullptr;
}

void EmulatedAudioChip::Reset() {
  if (auto f = Get<void (*)()>("BvxEmuReset")) f();
}

bool EmulatedAudioChip::SetEndpoints(int direction, const std::vector<BvxAudioEndpoint>& endpoints) {
  auto f = Get<int (*)(int, const BvxAudioEndpoint*, int)>("BvxEmuSetEndpoints");
  return f != nullptr && f(direction, endpoints.data(), static_cast<int>(endpoints.size())) == 0;
}

void EmulatedAudioChip::SetReportedCount(int direction, int count) {
  if (auto f = Get<void (*)(int, int)>("BvxEmuSetReportedCount")) f(direction, count);
}

void EmulatedAudioChip::SetInitResult(int result) {
  if (auto f = Get<void (*)(int)>("BvxEmuSetInitResult")) f(result);
}

bool EmulatedAudioChip::SetProperty(const std::string& name, const std::string& value) {
  auto f = Get<int (*)(const char*, const char*)>("BvxEmuSetProperty");
  return f != nullptr && f(name.c_str(), value.c_str()) == 0;
}

bool EmulatedAudioChip::FailProperty(const std::string& name, int mode) {
  auto f = Get<int (*)(const char*, int)>("BvxEmuFailProperty");
  return f != nullptr && f(name.c_str(), mode) == 0;
}

void EmulatedAudioChip::ClearFaults() {
  if (auto f = Get<int (*)(const char*, int)>("BvxEmuFailProperty")) f(nullptr, 0);
}

bool EmulatedAudioChip::SetRawAnswer(const std::string& name, const std::wstring& text) {
  auto f = Get<int (*)(const char*, const wchar_t*, int)>("BvxEmuSetRawAnswer");
  return f != nullptr && f(name.c_str(), text.data(), static_cast<int>(text.size())) == 0;
}

void EmulatedAudioChip::ClearRawAnswer(const std::string& name) {
  if (auto f = Get<int (*)(const char*, const wchar_t*, int)>("BvxEmuSetRawAnswer")) f(name.c_str(), nullptr, -1);
}

bool EmulatedAudioChip::SetFeatures(int direction, const std::string& text) {
  auto f = Get<int (*)(int, const char*)>("BvxEmuSetFeatures");
  return f != nullptr && f(direction, text.c_str()) == 0;
}

std::string EmulatedAudioChip::Text(const char* function) const {
  auto f = Get<int (*)(char*, int)>(function);
  if (f == nullptr) return {};
  const int length = f(nullptr, 0);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  f(text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::vector<std::string> EmulatedAudioChip::WriteLog() const {
  std::vector<std::string> lines;
  std::istringstream in(Text("BvxEmuWriteLog"));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void EmulatedAudioChip::ClearLog() {
  if (auto f = Get<void (*)()>("BvxEmuClearLog")) f();
}

std::string EmulatedAudioChip::Dump() const { return Text("BvxEmuDump"); }

std::string EmulatedAudioSdkFolder(const std::string& program_folder) { return program_folder + "emulator/SDK/"; }

}  // namespace brimvex::emulator
