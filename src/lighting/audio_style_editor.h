#pragma once
// The style window's behaviour ("music.xml" in a window): the options "audio_select_tab1" to
// "audio_select_tab4" choose the style shown on the sliders "audio_r_slider", "audio_g_slider"
// and "audio_b_slider" (0 to 9); a slider writes its style at once; the edits "audio_edit_name1"
// to "audio_edit_name4" hold the names, an emptied one taking its default name back when it
// loses the focus. "okbtn" ends the modal run with 1, "closebtn" with 0. It edits a copy: the
// caller takes Styles() only after an OK.
#include <optional>

#include "lighting/audio_styles.h"
#include "platform/ui/notification.h"
#include "platform/ui/window.h"

namespace brimvex::lighting {

inline constexpr const char* kMusicLayout = "music.xml";
inline constexpr int kMusicWidth = 369;
inline constexpr int kMusicHeight = 276;

class AudioStyleEditor final : public ui::Notifier {
 public:
  AudioStyleEditor(ui::Window& window, AudioStyleSet styles);
  ~AudioStyleEditor() override;
  AudioStyleEditor(const AudioStyleEditor&) = delete;
  AudioStyleEditor& operator=(const AudioStyleEditor&) = delete;

  void Notify(ui::Notification& n) override;

  const AudioStyleSet& Styles() const { return styles_; }
  // 1 OK, 0 closed, once a button ended the run.
  std::optional<int> Ended() const { return ended_; }

 private:
  void ShowSelected();
  void TakeName(int style);
  void End(int code);

  ui::Window& window_;
  AudioStyleSet styles_;
  std::optional<int> ended_;
};

}  // namespace brimvex::lighting
