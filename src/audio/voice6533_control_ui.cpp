#include "audio/voice6533_control_ui.h"

#include <algorithm>

#include "audio/option_group.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/window.h"

namespace brimvex::audio {
namespace {

constexpr const char* kUnsupportedTip = "audio_feature_unsupported";

template <typename T = ui::Control>
T* Find(ui::Container& root, const std::string& name, bool& complete) {
  T* c = dynamic_cast<T*>(root.FindControl(name));
  complete = complete && c != nullptr;
  return c;
}

void Tip(ui::Control* c, bool supported) {
  if (c == nullptr) return;
  c->SetAttribute("tooltipkey", supported ? "" : kUnsupportedTip);
}

}  // namespace

CVoice6533ControlUI::CVoice6533ControlUI() : ui::Container("Voice6533Control", Direction::kVertical) {}

void CVoice6533ControlUI::ChildrenChanged() {
  if (!bound_ && FindControl("6533_MicIn_slider") != nullptr) BindControls();
}

bool CVoice6533ControlUI::BindControls() {
  bool complete = true;
  for (int n = 1; n <= kEqOptionCount; ++n)
    eq_options_[static_cast<std::size_t>(n - 1)] = Find<ui::Option>(*this, "6533_eq_option_" + std::to_string(n), complete);
  for (int i = 0; i < kBandSliders; ++i) {
    auto* slider = Find<ui::Slider>(*this, "6533_eq_hz_slider_" + std::to_string(i), complete);
    if (slider != nullptr) slider->SetRange(kBandMin, kBandMax);
    bands_[static_cast<std::size_t>(i)] = slider;
  }
  custom_layout_ = Find(*this, "custom_eq_option_layout", complete);
  custom_combo_ = Find<ui::Combo>(*this, "custom_eq_name_combo", complete);
  name_edit_ = Find<ui::Edit>(*this, "custom_eq_name_edit", complete);
  mic_option_ = Find<ui::Option>(*this, "6533_MicIn_option", complete);
  mic_slider_ = Find<ui::Slider>(*this, "6533_MicIn_slider", complete);
  monitor_option_ = Find<ui::Option>(*this, "6533_MicMoniter_option", complete);
  monitor_slider_ = Find<ui::Slider>(*this, "6533_MicMoniter_slider", complete);
  unavailable_label_ = Find<ui::Label>(*this, "audio_unavailable_label", complete);
  curve_ = Find<CChartViewUI>(*this, "6533_eq_curve", complete);
  if (curve_ != nullptr) curve_->SetRange(kBandMin, kBandMax);
  bound_ = true;
  SetCustomLayoutEnabled(false);
  UpdateCurve();
  return complete;
}

int CVoice6533ControlUI::SelectPreset(int n) { return SelectOneOf(eq_options_, n); }

int CVoice6533ControlUI::SelectedPreset() const { return SelectedOneOf(eq_options_); }

void CVoice6533ControlUI::SetBand(int band, int value) {
  if (band < 0 || band >= kBandSliders) return;
  if (auto* slider = bands_[static_cast<std::size_t>(band)]) slider->SetValue(value);
  UpdateCurve();
}

int CVoice6533ControlUI::GetBand(int band) const {
  if (band < 0 || band >= kBandSliders) return -1;
  const auto* slider = bands_[static_cast<std::size_t>(band)];
  return slider != nullptr ? slider->Value() : -1;
}

void CVoice6533ControlUI::UpdateCurve() {
  if (curve_ == nullptr) return;
  std::vector<int> values;
  for (int band = 0; band < kBandSliders; ++band) values.push_back(std::max(GetBand(band), kBandMin));
  curve_->SetValues(std::move(values));
}

void CVoice6533ControlUI::SetCustomLayoutEnabled(bool enabled) {
  custom_layout_enabled_ = enabled;
  if (custom_layout_ != nullptr) custom_layout_->SetEnabled(enabled && available_ && equaliser_);
}

bool CVoice6533ControlUI::CustomLayoutEnabled() const { return custom_layout_enabled_; }

void CVoice6533ControlUI::AddCustomName(const std::string& name) {
  if (custom_combo_ == nullptr) return;
  if (auto* item = custom_combo_->AddItem(name, name)) item->SetFixedSize(0, 30);
}

void CVoice6533ControlUI::RemoveCustom(int index) {
  if (custom_combo_ == nullptr || index < 0) return;
  const int current = custom_combo_->CurSel();
  if (auto* item = custom_combo_->ChildAt(static_cast<std::size_t>(index))) custom_combo_->Remove(item);
  // The selection stays on its item, or goes with it.
  if (current == index) custom_combo_->SelectItem(-1, false);
  else if (current > index) custom_combo_->SelectItem(current - 1, false);
}

void CVoice6533ControlUI::RemoveAllCustom() {
  if (custom_combo_ == nullptr) return;
  custom_combo_->RemoveAll();
  custom_combo_->SelectItem(-1, false);
}

int CVoice6533ControlUI::CustomCount() const {
  return custom_combo_ != nullptr ? static_cast<int>(custom_combo_->Count()) : 0;
}

std::string CVoice6533ControlUI::CustomName(int index) const {
  if (custom_combo_ == nullptr || index < 0) return {};
  const auto* item = custom_combo_->ChildAt(static_cast<std::size_t>(index));
  return item != nullptr ? item->UserData() : std::string();
}

int CVoice6533ControlUI::CurrentCustom() const { return custom_combo_ != nullptr ? custom_combo_->CurSel() : -1; }

void CVoice6533ControlUI::SelectCustom(int index) {
  if (custom_combo_ != nullptr) custom_combo_->SelectItem(index, false);
  SetNameText("");
}

std::string CVoice6533ControlUI::NameText() const { return name_edit_ != nullptr ? name_edit_->Text() : std::string(); }

void CVoice6533ControlUI::SetNameText(const std::string& text) {
  if (name_edit_ != nullptr) name_edit_->SetText(text);
}

void CVoice6533ControlUI::SetMicEnabled(bool enabled) {
  if (mic_option_ != nullptr) mic_option_->Selected(enabled, false);
}
bool CVoice6533ControlUI::MicEnabled() const { return mic_option_ != nullptr && mic_option_->IsSelected(); }
void CVoice6533ControlUI::SetMicLevel(int level) {
  if (mic_slider_ != nullptr) mic_slider_->SetValue(level);
}
int CVoice6533ControlUI::MicLevel() const { return mic_slider_ != nullptr ? mic_slider_->Value() : 0; }
void CVoice6533ControlUI::SetMonitorEnabled(bool enabled) {
  if (monitor_option_ != nullptr) monitor_option_->Selected(enabled, false);
}
bool CVoice6533ControlUI::MonitorEnabled() const { return monitor_option_ != nullptr && monitor_option_->IsSelected(); }
void CVoice6533ControlUI::SetMonitorLevel(int level) {
  if (monitor_slider_ != nullptr) monitor_slider_->SetValue(level);
}
int CVoice6533ControlUI::MonitorLevel() const { return monitor_slider_ != nullptr ? monitor_slider_->Value() : 0; }

void CVoice6533ControlUI::ShowUnavailable(const std::string& reason) {
  available_ = reason.empty();
  unavailable_reason_ = reason;
  if (unavailable_label_ != nullptr) {
    unavailable_label_->SetVisible(!available_);
    const std::string text = GetWindow() != nullptr ? GetWindow()->Text("audio_settings_unavailable")
                                                    : std::string("audio_settings_unavailable");
    unavailable_label_->SetText(available_ ? std::string() : text + " " + reason);
  }
  EnableControls();
}

void CVoice6533ControlUI::ShowSupport(bool equaliser, bool monitoring) {
  equaliser_ = equaliser;
  monitoring_ = monitoring;
  EnableControls();
}

void CVoice6533ControlUI::EnableControls() {
  const bool eq = available_ && equaliser_;
  for (auto* option : eq_options_) {
    if (option != nullptr) option->SetEnabled(eq);
    Tip(option, !available_ || equaliser_);
  }
  for (auto* slider : bands_) {
    if (slider != nullptr) slider->SetEnabled(eq);
    Tip(slider, !available_ || equaliser_);
  }
  SetCustomLayoutEnabled(custom_layout_enabled_);
  for (ui::Control* c : {static_cast<ui::Control*>(mic_option_), static_cast<ui::Control*>(mic_slider_)})
    if (c != nullptr) c->SetEnabled(available_);
  for (ui::Control* c : {static_cast<ui::Control*>(monitor_option_), static_cast<ui::Control*>(monitor_slider_)}) {
    if (c != nullptr) c->SetEnabled(available_ && monitoring_);
    Tip(c, !available_ || monitoring_);
  }
}

}  // namespace brimvex::audio
