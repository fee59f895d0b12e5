#include "audio/magic_control_ui.h"

#include "audio/option_group.h"
#include "platform/ui/window.h"

namespace brimvex::audio {

CMagicControlUI::CMagicControlUI() : ui::Container("MagicControl", Direction::kVertical) {}

void CMagicControlUI::ChildrenChanged() {
  if (!bound_ && FindControl("magic_enable_option") != nullptr) BindControls();
}

bool CMagicControlUI::BindControls() {
  bool complete = true;
  auto find = [&]<typename T>(T*& slot, const std::string& name) {
    slot = dynamic_cast<T*>(FindControl(name));
    complete = complete && slot != nullptr;
  };
  find(enable_option_, "magic_enable_option");
  find(option_layout_, "magic_option_layout");
  for (int n = 1; n <= kVoiceTypeCount; ++n) find(types_[static_cast<std::size_t>(n - 1)], "magic_option_" + std::to_string(n));
  find(unavailable_label_, "magic_unavailable_label");
  bound_ = true;
  EnableControls();
  return complete;
}

void CMagicControlUI::SetEnabledCheck(bool on) {
  if (enable_option_ != nullptr) enable_option_->Selected(on, false);
}

bool CMagicControlUI::EnabledCheck() const { return enable_option_ != nullptr && enable_option_->IsSelected(); }

void CMagicControlUI::SetOptionsEnabled(bool enabled) {
  options_enabled_ = enabled;
  EnableControls();
}

int CMagicControlUI::SelectType(int n) { return SelectOneOf(types_, n); }

int CMagicControlUI::SelectedType() const { return SelectedOneOf(types_); }

void CMagicControlUI::ShowUnavailable(const std::string& reason) {
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

void CMagicControlUI::ShowSupport(bool voice_changer) {
  supported_ = voice_changer;
  EnableControls();
}

void CMagicControlUI::EnableControls() {
  const bool usable = available_ && supported_;
  if (enable_option_ != nullptr) {
    enable_option_->SetEnabled(usable);
    enable_option_->SetAttribute("tooltipkey", !available_ || supported_ ? "" : "audio_feature_unsupported");
  }
  if (option_layout_ != nullptr) option_layout_->SetEnabled(usable && options_enabled_);
}

}  // namespace brimvex::audio
