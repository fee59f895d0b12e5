#pragma once
// CVoice6533ControlUI: the headset's voice page: the thirteen equaliser options, the ten band
// sliders with the equaliser curve, the custom equaliser list with its name edit, the
// microphone and the monitoring with their checks and level sliders. Its controls come from
// "XML/CustomControlXML/Voice6533Control.xml", built inside it. It only shows what it is told;
// the headset device decides what the controls do.
#include <array>
#include <string>

#include "platform/ui/container.h"
#include "platform/ui/controls.h"

namespace brimvex::ui {
class Combo;
}  // namespace brimvex::ui

namespace brimvex::audio {

using CChartViewUI = ui::ChartView;

inline constexpr int kEqOptionCount = 13;
inline constexpr int kBandSliders = 10;
inline constexpr int kBandMin = -20;
inline constexpr int kBandMax = 20;

class CVoice6533ControlUI : public ui::Container {
 public:
  CVoice6533ControlUI();
  bool BindControls();
  bool Bound() const { return bound_; }

  // Clears the thirteen options and selects option n; n outside 1 to 13 selects none and gives 0.
  int SelectPreset(int n);
  int SelectedPreset() const;
  void SetBand(int band, int value);
  // -1 when the slider is missing.
  int GetBand(int band) const;
  void SetCustomLayoutEnabled(bool enabled);
  bool CustomLayoutEnabled() const;

  void AddCustomName(const std::string& name);
  void RemoveCustom(int index);
  void RemoveAllCustom();
  int CustomCount() const;
  std::string CustomName(int index) const;
  int CurrentCustom() const;
  // Selecting (or -1 for none) also empties the name edit.
  void SelectCustom(int index);
  std::string NameText() const;
  void SetNameText(const std::string& text);

  void SetMicEnabled(bool enabled);
  bool MicEnabled() const;
  void SetMicLevel(int level);
  int MicLevel() const;
  void SetMonitorEnabled(bool enabled);
  bool MonitorEnabled() const;
  void SetMonitorLevel(int level);
  int MonitorLevel() const;

  // Without audio settings every control is disabled and the page says why.
  void ShowUnavailable(const std::string& reason);
  // A working library that lacks the equaliser or the monitoring: those controls are disabled
  // with the tooltip "audio_feature_unsupported".
  void ShowSupport(bool equaliser, bool monitoring);
  const std::string& UnavailableReason() const { return unavailable_reason_; }
  CChartViewUI* Curve() const { return curve_; }

 protected:
  void ChildrenChanged() override;

 private:
  void UpdateCurve();
  void EnableControls();

  bool bound_ = false;
  std::array<ui::Option*, kEqOptionCount> eq_options_{};
  std::array<ui::Slider*, kBandSliders> bands_{};
  ui::Control* custom_layout_ = nullptr;
  ui::Combo* custom_combo_ = nullptr;
  ui::Edit* name_edit_ = nullptr;
  ui::Option* mic_option_ = nullptr;
  ui::Slider* mic_slider_ = nullptr;
  ui::Option* monitor_option_ = nullptr;
  ui::Slider* monitor_slider_ = nullptr;
  ui::Label* unavailable_label_ = nullptr;
  CChartViewUI* curve_ = nullptr;
  std::string unavailable_reason_;
  bool available_ = true;
  bool equaliser_ = true;
  bool monitoring_ = true;
  bool custom_layout_enabled_ = false;
};

}  // namespace brimvex::audio
