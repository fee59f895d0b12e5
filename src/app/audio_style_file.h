#pragma once
// "AudioFile.json": the audio styles of the program. The user's copy lives in the application
// folder, the default one in the program data folder. At start the user's "Device" is used; when
// it is missing the default file is copied over the user's one first. A user's file that is there
// but cannot be used is kept aside as "<name>.broken-<identifier>" before the copy replaces it.
#include <json/value.h>

#include <string>

#include "lighting/audio_styles.h"

namespace brimvex::app {

inline constexpr const char* kAudioStyleFileName = "AudioFile.json";

struct AudioStyleFile {
  std::string user_path;
  std::string default_path;
};

// The user's and the default file of this run.
AudioStyleFile DefaultAudioStyleFile();

// The "Device" value to use (null when neither file has one).
Json::Value LoadAudioStyleDevice(const AudioStyleFile& file);
// The default file copied over the user's one; its "Device" (null when it has none: the user's
// file is then left alone).
Json::Value ResetAudioStyleFile(const AudioStyleFile& file);
// Writes the set into `device` and `device` into the user's file in place of its "Device" (the
// file's other members stay). False when it could not be written.
bool SaveAudioStyles(const AudioStyleFile& file, const lighting::AudioStyleSet& set, Json::Value& device);

}  // namespace brimvex::app
