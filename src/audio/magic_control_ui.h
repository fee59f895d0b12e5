#pragma once
// CMagicControlUI: the headset's voice changer page: the switch, and the four voice types inside
// "magic_option_layout", enabled exactly while the voice changer is on. Its controls come from
// "XML/CustomControlXML/MagicControl.xml", built inside it.
#include <array>
#include <string>

#include "platform/ui/container.h"
#include "platform/ui/controls.h"

namespace brimvex::audio {

inline constexpr int kVoiceTypeCount = 4;

class CMagicControlUI : public ui::Container {
 public:
  CMagicControlUI();
  bool BindControls();
  bool Bound() const { return bound_; }

  void SetEnabledCheck(bool on);
  bool EnabledCheck() const;
  // Enables the type options (only while the page is usable).
  void SetOptionsEnabled(bool enabled);
  // Clears the four options and selects option n; n outside 1 to 4 selects none and gives 0.
  int SelectType(int n);
  int SelectedType() const;

  // Without audio settings: everything disabled, the reason shown. Without the voice changer
  // feature: disabled with the tooltip "audio_feature_unsupported".
  void ShowUnavailable(const std::string& reason);
  void ShowSupport(bool voice_changer);
  const std::string& UnavailableReason() const { return unavailable_reason_; }

 protected:
  void ChildrenChanged() override;

 private:
  void EnableControls();

  bool bound_ = false;
  ui::Option* enable_option_ = nullptr;
  ui::Control* option_layout_ = nullptr;
  std::array<ui::Option*, kVoiceTypeCount> types_{};
  ui::Label* unavailable_label_ = nullptr;
  std::string unavailable_reason_;
  bool available_ = true;
  bool supported_ = true;
  bool options_enabled_ = false;
};

}  // namespace brimvex::audio
