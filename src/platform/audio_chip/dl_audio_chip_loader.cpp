// The audio chip library through the dynamic loader.
#include <dlfcn.h>

#include "platform/audio_chip_library.h"

namespace brimvex::platform {
namespace {

class DlLibrary : public AudioChipLibrary {
 public:
  DlLibrary(void* handle, std::string file) : handle_(handle), file_(std::move(file)) {}
  ~DlLibrary() override { dlclose(handle_); }
  DlLibrary(const DlLibrary&) = delete;
  DlLibrary& operator=(const DlLibrary&) = delete;

  void* Symbol(const char* name) const override { return dlsym(handle_, name); }
  const std::string& File() const override { return file_; }

 private:
  void* handle_;
  std::string file_;
};

class DlLoader : public AudioChipLoader {
 public:
  std::shared_ptr<AudioChipLibrary> Load(const std::string& file, std::string& error) override {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      const char* why = dlerror();
      error = why != nullptr ? why : "unknown error";
      return nullptr;
    }
    error.clear();
    return std::make_shared<DlLibrary>(handle, file);
  }
};

}  // namespace

AudioChipLoader& SystemAudioChipLoader() {
  static DlLoader loader;
  return loader;
}

const char* AudioChipArchFolder() {
#if defined(__aarch64__)
  return "arm64";
#elif defined(__x86_64__)
  return "x64";
#else
  return "x86";
#endif
}

}  // namespace brimvex::platform
