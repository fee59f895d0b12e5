#include "audio/audio_library_path.h"

#include <filesystem>

#include "platform/audio_chip_library.h"
#include "platform/paths.h"

namespace brimvex::audio {

std::string AudioLibraryFile(const std::string& program_folder, bool emulated,
                             const std::optional<std::string>& sdk_override) {
  const std::string tail = std::string(platform::AudioChipArchFolder()) + "/linux/osConfLib.so";
  if (sdk_override && !sdk_override->empty()) {
    std::string sdk = *sdk_override;
    if (sdk.back() != '/') sdk += '/';
    return sdk + tail;
  }
  const std::string sdk = emulated ? "emulator/SDK/" : "SDK/";
  const std::string beside = program_folder + sdk + tail;
  std::error_code ec;
  if (std::filesystem::exists(beside, ec)) return beside;
  const std::filesystem::path folder(program_folder);
  const auto bin = folder.has_filename() ? folder : folder.parent_path();
  const std::string installed = (bin.parent_path() / "lib/brimvex").string() + "/" + sdk + tail;
  if (std::filesystem::exists(installed, ec)) return installed;
  return beside;
}

std::string AudioLibraryFile(bool emulated) {
  return AudioLibraryFile(platform::ExecutableFolder(), emulated, platform::GetEnv("BRIMVEX_AUDIO_SDK"));
}

}  // namespace brimvex::audio
