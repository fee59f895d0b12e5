#include "app/audio_style_file.h"

#include <filesystem>

#include "platform/trace.h"
#include "profiles/file_helpers.h"
#include "profiles/profile_document.h"

namespace brimvex::app {
namespace {

bool HasDevice(const Json::Value& doc) { return doc.isObject() && doc.isMember("Device") && !doc["Device"].isNull(); }

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

// Keeps a user's file that is there but of no use aside, so nothing of it is lost.
void KeepAsideIfPresent(const std::string& path) {
  std::error_code ec;
  if (Exists(path) && std::filesystem::file_size(path, ec) > 0 && !ec) profiles::KeepAside(path);
}

}  // namespace

AudioStyleFile DefaultAudioStyleFile() {
  return {profiles::GetApplicationFolder() + kAudioStyleFileName, profiles::GetProgramDataFolder() + kAudioStyleFileName};
}

Json::Value LoadAudioStyleDevice(const AudioStyleFile& file) {
  const Json::Value user = profiles::ReadJson(file.user_path);
  if (HasDevice(user)) return user["Device"];
  const Json::Value defaults = profiles::ReadJson(file.default_path);
  if (!HasDevice(defaults)) {
    platform::Trace("AudioFile.json: no default styles in " + file.default_path);
    return Json::Value();
  }
  KeepAsideIfPresent(file.user_path);
  if (!profiles::WriteJson(file.user_path, defaults)) platform::Trace("AudioFile.json: cannot write " + file.user_path);
  return defaults["Device"];
}

Json::Value ResetAudioStyleFile(const AudioStyleFile& file) {
  const Json::Value defaults = profiles::ReadJson(file.default_path);
  if (!HasDevice(defaults)) {
    platform::Trace("AudioFile.json: no default styles in " + file.default_path);
    return Json::Value();
  }
  if (!profiles::WriteJson(file.user_path, defaults)) platform::Trace("AudioFile.json: cannot write " + file.user_path);
  return defaults["Device"];
}

bool SaveAudioStyles(const AudioStyleFile& file, const lighting::AudioStyleSet& set, Json::Value& device) {
  lighting::WriteAudioStyles(set, device);
  Json::Value doc = profiles::ReadJson(file.user_path);
  if (!doc.isObject()) {
    KeepAsideIfPresent(file.user_path);
    doc = Json::Value(Json::objectValue);
  }
  doc["Device"] = device;
  return profiles::WriteJson(file.user_path, doc);
}

}  // namespace brimvex::app
