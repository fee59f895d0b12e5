#pragma once
// The emulated audio chip library as the headset loads it, reset for each test.
#include <gtest/gtest.h>

#include <string>

#include "audio/audio_library_path.h"
#include "emulator/emulated_audio_chip.h"
#include "platform/audio_chip_library.h"

namespace brimvex::audio::test {

inline std::string EmulatedLibraryFile() { return AudioLibraryFile("", true, std::string(BRIMVEX_TEST_AUDIO_SDK)); }

inline emulator::EmulatedAudioChip LoadEmulatedChip() {
  std::string error;
  auto library = platform::SystemAudioChipLoader().Load(EmulatedLibraryFile(), error);
  EXPECT_NE(library, nullptr) << error;
  emulator::EmulatedAudioChip chip(library);
  EXPECT_TRUE(chip.Valid());
  chip.Reset();
  return chip;
}

}  // namespace brimvex::audio::test
