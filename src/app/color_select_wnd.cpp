#include "app/color_select_wnd.h"

#include <algorithm>
#include <array>

#include "lighting/color_picker.h"
#include "lighting/palette_store.h"
#include "platform/trace.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/window.h"
#include "profiles/file_helpers.h"

namespace brimvex::app {

ColorSelectResult OpenColorSelect(ui::Frontend& frontend, ui::ResourceManager& resources,
                                  const ui::ControlFactory& factory, const ColorSelectArgs& args) {
  static constexpr std::array<int, 7> kDpis = {48, 72, 96, 120, 144, 168, 192};
  ui::Window window("ColorSelectWnd", &resources, &frontend.Loop());
  ui::DialogBuilder builder(resources, factory);
  std::string error;
  if (!builder.BuildWindow(window, "PalletDialog.xml", &error)) {
    platform::Trace(error);
    return {};
  }
  window.SetTitle("PalletDialog");
  int dpi = args.dpi;
  if (std::find(kDpis.begin(), kDpis.end(), dpi) == kDpis.end()) {
    platform::Trace("SET_WND DPI SET ERROR");
    dpi = 96;
  }
  window.SetDpi(dpi);
  lighting::ColorPicker picker(window, lighting::PaletteStorePath(profiles::GetApplicationFolder()),
                               lighting::PaletteStorePath(profiles::GetProgramDataFolder()));
  picker.Open(args.color, false, args.seven_color_allowed);
  window.SetHost(frontend.CreateHost(window, ui::WindowStyle{args.owner, true, true}));
  window.Resize(window.Attributes().width, window.Attributes().height);
  window.CenterWindow();
  window.ShowModal();
  const int code = picker.Ended().value_or(lighting::kPickerCancelled);
  return {code, code == lighting::kPickerConfirmed ? picker.Color() : args.color};
}

}  // namespace brimvex::app
