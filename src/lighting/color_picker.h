#pragma once
// The colour picker's behaviour over the controls of "PalletDialog.xml" in a window: the palette
// "Pallet", the preview "color_show_btn", the edits "color_edit_r/g/b", twenty presets
// "color_option_N", twenty collected slots "collect_color_option_N", the 7-colour choice and the
// buttons. It reads and writes the palette store (lighting/palette_store.h) as the user chooses:
// a preset choice and every colour a collected slot takes or gives are saved at once, so a cancel
// keeps them. The window's modal run ends with 1 (okbtn, the preview's colour), 0 (closebtn,
// laterbtn) or 2 (okbtn without a palette).
#include <cstdint>
#include <optional>
#include <string>

#include "platform/ui/notification.h"
#include "platform/ui/window.h"

namespace brimvex::lighting {

inline constexpr int kPickerConfirmed = 1;
inline constexpr int kPickerCancelled = 0;
inline constexpr int kPickerNoPalette = 2;

class ColorPicker final : public ui::Notifier {
 public:
  ColorPicker(ui::Window& window, std::string store_path, std::string default_path);
  ~ColorPicker() override;
  ColorPicker(const ColorPicker&) = delete;
  ColorPicker& operator=(const ColorPicker&) = delete;

  // The opening: the store (or its default copy), the colour and 7-colour flag, the presets' index
  // and the collected slots.
  void Open(std::uint32_t color, bool seven_color, bool seven_allowed);
  void Notify(ui::Notification& n) override;

  std::uint32_t Color() const { return color_; }
  bool SevenColor() const { return seven_color_; }
  int PresetIndex() const { return preset_index_; }
  int CollectedIndex() const { return collected_index_; }
  // The code the run was ended with, once a button ended it.
  std::optional<int> Ended() const { return ended_; }

 private:
  void ShowColor(std::uint32_t color);
  void WriteEdits(std::uint32_t color);
  void TakeNewColor();
  void SetSevenColor(bool on);
  void SavePresets();
  void SaveCollected();
  void End(int code);

  ui::Window& window_;
  std::string store_path_;
  std::string default_path_;
  std::uint32_t color_ = 0xFF000000;
  int preset_index_ = 4;
  int collected_index_ = 0;
  bool seven_color_ = false;
  std::optional<int> ended_;
};

}  // namespace brimvex::lighting
