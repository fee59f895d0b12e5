#pragma once
// The audio chip's configuration library, loaded at run time: the C interface it exports (our
// own, shared by the emulated library and the ALSA one) and the port that loads it.
//
// Endpoints are records of four int32 the library fills and gets back by value. Property names
// are wide strings. A read fills the value buffer (kAudioValueBufferBytes) with the answer as
// wide text, ended by a zero character; a write hands over a binary value: an int32, or a float
// for the scalar volumes. The parameter buffer, where a property uses one, holds an int32
// channel selector or, for the surround property, a record of three int32. Every function
// answers 0 for success.
#include <cstdint>
#include <memory>
#include <string>
#include <wchar.h>

extern "C" {

struct BvxAudioEndpoint {
  std::int32_t id;
  std::int32_t type;
  std::int32_t extra;
  std::int32_t state;
};

struct BvxAudioParamRecord {
  std::int32_t a;
  std::int32_t b;
  std::int32_t c;
};

typedef int (*BvxConfLibInitFn)(void);
typedef int (*BvxCreateDeviceListFn)(void);
typedef int (*BvxGetDeviceCountFn)(int direction, std::int32_t* count);
typedef int (*BvxGetDeviceByIdFn)(int direction, int index, BvxAudioEndpoint* endpoint);
typedef int (*BvxPropertyControlFn)(BvxAudioEndpoint endpoint, const wchar_t* name, void* value, void* parameter,
                                    int write);
// Resolved but never called; their form is ours.
typedef int (*BvxRegisterCallbackFunctionFn)(void (*callback)(void* context), void* context);
typedef int (*BvxPlainFn)(void);

}  // extern "C"

namespace brimvex::platform {

inline constexpr int kAudioDirectionOutput = 0;
inline constexpr int kAudioDirectionInput = 1;
inline constexpr int kAudioRead = 0;
inline constexpr int kAudioWrite = 1;
inline constexpr std::size_t kAudioValueBufferBytes = 1024;

// The eleven functions, in the order they are looked up.
inline constexpr const char* kAudioChipFunctionNames[] = {
    "ConfLibInit",     "CreateDeviceList", "GetDeviceCount", "GetDeviceById",
    "PropertyControl", "RegisterCallbackFunction", "ConfLibUnInit", "ShowAsioPanel",
    "PlayTestSound",   "StopTestSound",    "CloseTestSound"};

// One loaded library. It stays loaded while any holder keeps it.
class AudioChipLibrary {
 public:
  virtual ~AudioChipLibrary() = default;
  // The exported symbol, or null.
  virtual void* Symbol(const char* name) const = 0;
  virtual const std::string& File() const = 0;
};

class AudioChipLoader {
 public:
  virtual ~AudioChipLoader() = default;
  // The library in `file`, or null with `error` set to the loader's own words.
  virtual std::shared_ptr<AudioChipLibrary> Load(const std::string& file, std::string& error) = 0;
};

// The dynamic loader of this system (dlopen with RTLD_NOW | RTLD_LOCAL). Loading the same file
// twice gives the same instance of the library.
AudioChipLoader& SystemAudioChipLoader();
// The library's architecture folder for this build: "x64", "x86" or "arm64".
const char* AudioChipArchFolder();

}  // namespace brimvex::platform
