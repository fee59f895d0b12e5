#include "platform/qt/linux_key_code.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace brimvex::qt {

int LinuxKeyCode(const QKeyEvent& event) {
  const QString platform = QGuiApplication::platformName();
  const bool evdev_plus_8 = platform == "xcb" || platform.startsWith("wayland") || platform == "offscreen";
  const quint32 scan = event.nativeScanCode();
  if (!evdev_plus_8 || scan < 8) return -1;
  return static_cast<int>(scan - 8);
}

}  // namespace brimvex::qt
