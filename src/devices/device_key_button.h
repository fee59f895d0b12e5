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
};

}  // namespace brimvex::devices
