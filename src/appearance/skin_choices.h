#pragma once
// The user's background choices: each is broadcast to the skin observer and recorded in
// "main.ini" of the application folder, section "SKINIMAGE":
//   FLAGS 0  reset (IMAGE "common/background.png")
//   FLAGS 1  a picture: IMAGE a skin path, or the absolute path of the copy of a custom picture
//   FLAGS 2  a colour: COLOR "#AARRGGBB"
// A custom picture is checked before anything changes and copied into the application folder
// under a new name each time (the renderer keeps pictures by path); the copy it replaces is
// removed once the new choice is recorded. At start-up the recorded choice is broadcast again.
#include <cstdint>
#include <optional>
#include <string>

#include "appearance/skin_observer.h"
#include "platform/image_probe.h"

namespace brimvex::appearance {

inline constexpr const char* kDefaultBackground = "common/background.png";
inline constexpr const char* kSkinIniName = "main.ini";
inline constexpr const char* kSkinSection = "SKINIMAGE";
// Text keys of the refusals of a custom picture.
inline constexpr const char* kCustomBadTextKey = "skin_custom_bad_text";
inline constexpr const char* kCustomLargeTextKey = "skin_custom_large_text";
inline constexpr const char* kCustomSaveFailTextKey = "skin_custom_save_fail_text";

struct CustomPictureResult {
  bool accepted = false;
  std::string text_key;  // the message for the user when refused
  std::string reason;    // English, for traces and brimvexctl
  std::string copy;      // the copy that is now the background, when accepted
};

class SkinChoices {
 public:
  // `app_folder` holds main.ini and the copies; `skin_folder` is where skin paths are found.
  SkinChoices(std::string app_folder, std::string skin_folder, platform::ImageProbe& probe,
              SkinObserver& observer = SkinObserver::Instance());

  // Each broadcasts, then records; false when main.ini could not be written (traced; the
  // background has changed all the same).
  bool ChooseImage(const std::string& skin_path);
  bool ChooseColor(std::uint32_t argb);
  bool Reset();
  // Checks, copies, broadcasts and records a picture file; refused: nothing changes.
  CustomPictureResult ChooseCustom(const std::string& path);

  // The recorded choice as a message: nullopt when nothing is recorded; the default background
  // (traced) for an unreadable file, an unknown FLAGS, a bad COLOR, or a picture that is gone or
  // cannot be read. The file is never changed here.
  std::optional<SkinChangedParam> StoredChoice();
  // Broadcasts the recorded choice, if any.
  void RestoreStored();

  std::string IniPath() const { return app_folder_ + kSkinIniName; }
  platform::ImageLimits Limits() const { return limits_; }
  void SetLimits(const platform::ImageLimits& limits) { limits_ = limits; }

 private:
  bool Record(const char* flags, const char* key, const std::string& value);
  // Removes a previous copy of ours that is no longer recorded.
  void RemoveCopy(const std::string& path, const std::string& keep);
  bool IsOurCopy(const std::string& path) const;

  std::string app_folder_;
  std::string skin_folder_;
  platform::ImageProbe& probe_;
  SkinObserver& observer_;
  platform::ImageLimits limits_;
};

}  // namespace brimvex::appearance
