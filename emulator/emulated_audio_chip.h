#pragma once
// The emulated audio chip library as the tests and `brimvex --emulate` reach it: its extra
// entry points, looked up in the loaded instance the program uses.
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_chip_library.h"

namespace brimvex::emulator {

class EmulatedAudioChip {
 public:
  // Over a loaded library; Valid() is false when it is not the emulated one.
  explicit EmulatedAudioChip(std::shared_ptr<platform::AudioChipLibrary> library);
  bool Valid() const { return valid_; }

  void Reset();
  bool SetEndpoints(int direction, const std::vector<BvxAudioEndpoint>& endpoints);
  void SetReportedCount(int direction, int count);
  void SetInitResult(int result);
  bool SetProperty(const std::string& name, const std::string& value);
  bool FailProperty(const std::string& name, int mode);
  void ClearFaults();
  bool SetRawAnswer(const std::string& name, const std::wstring& text);
  void ClearRawAnswer(const std::string& name);
  bool SetFeatures(int direction, const std::string& text);
  std::vector<std::string> WriteLog() const;
  void ClearLog();
  std::string Dump() const;

 private:
  template <typename F>
  F Get(const char* name) const;
  std::string Text(const char* function) const;

  std::shared_ptr<platform::AudioChipLibrary> library_;
  bool valid_ = false;
};

// Where the build keeps the emulated library's SDK folder (beside the executables, "emulator/SDK/").
std::string EmulatedAudioSdkFolder(const std::string& program_folder);

}  // namespace brimvex::emulator
