#include "app/audio_capture_command.h"

#include <filesystem>

#include "platform/process.h"

namespace brimvex::app {

std::vector<std::string> CaptureCommandLine(const std::string& program_folder, const std::string& wav) {
  std::vector<std::string> argv{program_folder + kCaptureProgramName, "--parent",
                                std::to_string(platform::CurrentProcessId())};
  if (!wav.empty()) argv.insert(argv.end(), {"--wav", wav, "--loop"});
  return argv;
}

std::string DemoWavPath(const std::string& program_folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path folder(program_folder);
  for (const fs::path& p : {folder / "Audio/demo.wav", folder.parent_path().parent_path() / "share/brimvex/Audio/demo.wav"})
    if (fs::is_regular_file(p, ec)) return p.lexically_normal().string();
  return {};
}

}  // namespace brimvex::app
