#pragma once
// How Brimvex starts its capture program, brimvex-audio-capture, installed beside it.
#include <string>
#include <vector>

namespace brimvex::app {

inline constexpr const char* kCaptureProgramName = "brimvex-audio-capture";

// {folder + program, "--parent", own pid} and, with a WAV, "--wav", FILE, "--loop".
std::vector<std::string> CaptureCommandLine(const std::string& program_folder, const std::string& wav);
// The demo WAV of tones and beats: "Audio/demo.wav" beside the program, or under
// <prefix>/share/brimvex/ when installed; "" when neither exists.
std::string DemoWavPath(const std::string& program_folder);

}  // namespace brimvex::app
