#pragma once
// MusicWnd: the capture styles' window ("MusicWnd", "music.xml", 369 x 276), a modal tool window
// centred over its owner, editing a copy of the style set (lighting/audio_style_editor.h).
#include <optional>

#include "lighting/audio_styles.h"
#include "platform/ui/control_factory.h"
#include "platform/ui/frontend.h"
#include "platform/ui/resource_manager.h"

namespace brimvex::app {

// The edited set after OK; nullopt when the window was closed or could not be built.
std::optional<lighting::AudioStyleSet> OpenMusicWnd(ui::Frontend& frontend, ui::ResourceManager& resources,
                                                    const ui::ControlFactory& factory, ui::Window* owner, int dpi,
                                                    const lighting::AudioStyleSet& styles);

}  // namespace brimvex::app
