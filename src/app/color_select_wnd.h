#pragma once
// CColorSelectWnd: the colour picker dialog ("ColorSelectWnd", "PalletDialog.xml"), run modally
// through the frontend over the palette store of the application folder (its default copy in the
// program data folder). Used for the mouse's resolution-step colours.
#include <cstdint>

#include "platform/ui/control_factory.h"
#include "platform/ui/frontend.h"
#include "platform/ui/resource_manager.h"

namespace brimvex::app {

struct ColorSelectArgs {
  ui::Window* owner = nullptr;
  int dpi = 96;  // 48, 72, 96, 120, 144, 168 or 192; others trace "SET_WND DPI SET ERROR" and use 96
  std::uint32_t color = 0xFF000000;
  bool seven_color_allowed = false;
};

struct ColorSelectResult {
  int code = 0;  // 1 chosen, 0 cancelled (or no dialog), 2 no palette
  std::uint32_t color = 0;
};

ColorSelectResult OpenColorSelect(ui::Frontend& frontend, ui::ResourceManager& resources,
                                  const ui::ControlFactory& factory, const ColorSelectArgs& args);

}  // namespace brimvex::app
