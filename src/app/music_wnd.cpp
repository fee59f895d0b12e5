#include "app/music_wnd.h"

#include "lighting/audio_style_editor.h"
#include "platform/trace.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/window.h"

namespace brimvex::app {

std::optional<lighting::AudioStyleSet> OpenMusicWnd(ui::Frontend& frontend, ui::ResourceManager& resources,
                                                    const ui::ControlFactory& factory, ui::Window* owner, int dpi,
                                                    const lighting::AudioStyleSet& styles) {
  ui::Window window("MusicWnd", &resources, &frontend.Loop());
  ui::DialogBuilder builder(resources, factory);
  std::string error;
  if (!builder.BuildWindow(window, lighting::kMusicLayout, &error)) {
    platform::Trace(error);
    return std::nullopt;
  }
  window.SetDpi(dpi);
  lighting::AudioStyleEditor editor(window, styles);
  window.SetHost(frontend.CreateHost(window, ui::WindowStyle{owner, true, true}));
  window.Resize(lighting::kMusicWidth, lighting::kMusicHeight);
  window.CenterWindow();
  window.ShowModal();
  if (editor.Ended() != 1) return std::nullopt;
  return editor.Styles();
}

}  // namespace brimvex::app
