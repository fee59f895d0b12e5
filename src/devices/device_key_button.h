#pragma once
// CDeviceKeyButtonUI: one key or light of the device picture ("key_N" / "light_N"). A light
// button carries the live colour of its LED (colour and brightness), which the renderer paints.
// Setting the colour only stores it; Repaint tells the window, so a device paces repaints.
#include "devices/light_preview.h"
#include "platform/ui/controls.h"

namespace brimvex::devices {

class CDeviceKeyButtonUI : public ui::LiveColorButton {
 public:
  CDeviceKeyButtonUI() : ui::LiveColorButton("DeviceKeyButton") {}

  Rgba LedColor() const;
  // True when the colour changed.
  bool SetLedColor(Rgba color);
  void Repaint() { RepaintLive(); }
  // A state the button shows on top of its colour (the FN key while the function switch is on
  // its first page).
  bool StateFlag() const { return state_flag_; }
  void SetStateFlag(bool on) { state_flag_ = on; }

 private:
  bool state_flag_ = false;
};

}  // namespace brimvex::devices
