#include "lighting/audio_style_editor.h"

#include <algorithm>
#include <string>

#include "platform/ui/controls.h"

namespace brimvex::lighting {
namespace {

constexpr const char* kSliders[3] = {"audio_r_slider", "audio_g_slider", "audio_b_slider"};

std::string Numbered(const char* prefix, int style) { return prefix + std::to_string(style + 1); }

// The style of a numbered name ("audio_select_tab3" -> 2), or -1.
int StyleOf(const std::string& name, std::string_view prefix) {
  if (name.size() != prefix.size() + 1 || name.compare(0, prefix.size(), prefix) != 0) return -1;
  const int n = name.back() - '1';
  return n >= 0 && n < kAudioStyleCount ? n : -1;
}

int& ValueOf(AudioStyle& s, int slider) { return slider == 0 ? s.r : slider == 1 ? s.g : s.b; }

}  // namespace

AudioStyleEditor::AudioStyleEditor(ui::Window& window, AudioStyleSet styles)
    : window_(window), styles_(std::move(styles)) {
  styles_.selected = std::clamp(styles_.selected, 0, kAudioStyleCount - 1);
  window_.AddNotifier(this);
  for (int s = 0; s < kAudioStyleCount; ++s) {
    if (auto* e = window_.Find<ui::Edit>(Numbered("audio_edit_name", s)))
      e->SetText(styles_.styles[static_cast<std::size_t>(s)].name);
    if (auto* o = window_.Find<ui::Option>(Numbered("audio_select_tab", s))) o->Selected(s == styles_.selected, false);
  }
  for (const char* name : kSliders)
    if (auto* slider = window_.Find<ui::Slider>(name)) slider->SetRange(0, 9);
  ShowSelected();
}

AudioStyleEditor::~AudioStyleEditor() { window_.RemoveNotifier(this); }

void AudioStyleEditor::ShowSelected() {
  AudioStyle& style = styles_.styles[static_cast<std::size_t>(styles_.selected)];
  for (int i = 0; i < 3; ++i)
    if (auto* slider = window_.Find<ui::Slider>(kSliders[i])) slider->SetValue(ValueOf(style, i));
}

void AudioStyleEditor::TakeName(int style) {
  auto* edit = window_.Find<ui::Edit>(Numbered("audio_edit_name", style));
  if (edit == nullptr) return;
  std::string& name = styles_.styles[static_cast<std::size_t>(style)].name;
  name = edit->Text();
  if (!name.empty()) return;
  name = std::string(kDefaultAudioStyleNames[static_cast<std::size_t>(style)]);
  edit->SetText(name);
}

void AudioStyleEditor::End(int code) {
  ended_ = code;
  window_.EndModal(code);
}

void AudioStyleEditor::Notify(ui::Notification& n) {
  if (n.sender == nullptr) return;
  const std::string& name = n.sender->Name();
  const std::string_view type = n.type;
  if (type == ui::notify::kSelectChanged) {
    const int style = StyleOf(name, "audio_select_tab");
    const auto* option = dynamic_cast<const ui::Option*>(n.sender);
    if (style < 0 || option == nullptr || !option->IsSelected()) return;
    styles_.selected = style;
    ShowSelected();
  } else if (type == ui::notify::kValueChanged || type == ui::notify::kMoveValueChanged) {
    for (int i = 0; i < 3; ++i) {
      const auto* slider = dynamic_cast<const ui::Slider*>(n.sender);
      if (name != kSliders[i] || slider == nullptr) continue;
      ValueOf(styles_.styles[static_cast<std::size_t>(styles_.selected)], i) = std::clamp(slider->Value(), 0, 9);
    }
  } else if (type == ui::notify::kKillFocus) {
    if (const int style = StyleOf(name, "audio_edit_name"); style >= 0) TakeName(style);
  } else if (type == ui::notify::kClick) {
    if (name == "okbtn") {
      // A name typed without leaving its edit counts too.
      for (int s = 0; s < kAudioStyleCount; ++s) TakeName(s);
      End(1);
    } else if (name == "closebtn") {
      End(0);
    }
  }
}

}  // namespace brimvex::lighting
