#pragma once
// CLightControlUI: the light editor of a device page ("LightControlItem"), laid out by
// "XML/CustomControlXML/LightControl.xml". It shows a light record and applies the availability
// rules of its device type; everything it sets is set without raising notifications, so showing a
// record never loops back into an edit. A control the layout lacks reads as its neutral value
// (mode -1, sliders 0, colour 0xFF000000, texts empty, checks off).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/container.h"
#include "profiles/profile_records.h"

namespace brimvex::lighting {

inline constexpr const char* kLightControlLayout = "XML/CustomControlXML/LightControl.xml";
inline constexpr const char* kLightControlItem = "LightControlItem";

// A colour typed into one of the R, G, B edits: its decimal digits held to 0..255 (never wrapped;
// empty, negative or not a number reads 0) and the text the edit should show when it differs.
struct TypedColor {
  std::uint8_t value = 0;
  bool rewrite = false;  // the edit's text becomes std::to_string(value)
};
TypedColor ReadTypedColor(std::string_view text);

class CLightControlUI : public ui::Container {
 public:
  CLightControlUI();

  void SetDeviceType(int type) { device_type_ = type; }
  int DeviceType() const { return device_type_; }
  // Rebuilds the mode drop-down: one item per name (its text key), hidden entries keep their
  // index; then the slider maxima.
  void FillModeList(const std::vector<std::string>& names, const std::vector<bool>& visible, int brightness_max,
                    int speed_max);
  void ShowLightInfo(const profiles::LightInfo& info);
  // The groups of the mode (after the reset).
  void ApplyRules(int mode);
  void SetSameModeAllowed(bool allowed);
  bool SameModeAllowed() const { return same_mode_allowed_; }

  int GetMode() const;
  int GetCustomGroup() const;
  int GetZzcc() const;
  int GetBrightness() const;
  int GetSpeed() const;
  // channel 0, 1, 2: "deng_edit_R", "deng_edit_G", "deng_edit_B".
  std::string GetColorText(int channel) const;
  std::uint32_t GetPaletteColor() const;
  // Background of "color_option_" + n; 0 without such a button.
  std::uint32_t GetPresetColor(int n) const;
  bool Get7Color() const;
  int GetDirection() const;  // 1: first option selected

  // Setters of single controls, without notifications.
  void SelectMode(int mode);
  void SetDirection(int direction);
  void Set7Color(bool on);
  void SetColorText(int channel, std::uint8_t value);
  // The colour everywhere it shows: edits, palette and the colour button; 7-colour unchecked.
  void ShowColor(std::uint8_t r, std::uint8_t g, std::uint8_t b);
  void SetBrightness(int value);
  void SetSpeed(int value);
  void SelectZzcc(int index);
  void SelectCustomGroup(int index);

  // The audio light record: kept, its mode selected, the target option (byte 8) and 7-colour
  // set, the target's colour in the audio edits, palette and colour button; the colour groups
  // are disabled in audio mode 3. False (traced, nothing shown) when the layout lacks the audio
  // mode drop-down or the colour button.
  bool ShowAudioLightInfo(const profiles::AudioLightInfo& info);
  // The kept record with the editor's mode, 7-colour and target (AudioColorTarget over the two
  // options); with `take_shown_color` the colour button's colour goes into the new target.
  // nullopt (traced) when the layout lacks those two controls.
  std::optional<profiles::AudioLightInfo> GetAudioLightInfo(bool take_shown_color) const;
  // Selected colour of "deng_audioColor_Pallet"; 0xFF000000 without one.
  std::uint32_t GetAudioPaletteColor() const;
  // Background of "audiocolor_option_" + n; 0 without such a button.
  std::uint32_t GetAudioPresetColor(int n) const;
  // c 0, 1, 2: "deng_audioedit_R", "deng_audioedit_G", "deng_audioedit_B"; empty otherwise.
  std::string GetAudioColorText(int c) const;

 private:
  template <typename T = ui::Control>
  T* Find(std::string_view name) const;
  void Enable(std::string_view name, bool on) const;
  void Show(std::string_view name, bool on) const;

  int device_type_ = 0;
  bool same_mode_allowed_ = false;
  profiles::AudioLightInfo audio_{};
};

}  // namespace brimvex::lighting
