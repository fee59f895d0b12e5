#pragma once
// Where the audio chip library is: "<SDK>/<arch>/linux/osConfLib.so", with SDK/ the folder
// BRIMVEX_AUDIO_SDK names, else (emulated: "emulator/SDK/") beside the program, else
// "<prefix>/lib/brimvex/" + the same when the program is installed in <prefix>/bin.
#include <optional>
#include <string>

namespace brimvex::audio {

std::string AudioLibraryFile(const std::string& program_folder, bool emulated,
                             const std::optional<std::string>& sdk_override);
// The same from this process: its folder, the environment and whether it emulates.
std::string AudioLibraryFile(bool emulated);

}  // namespace brimvex::audio
