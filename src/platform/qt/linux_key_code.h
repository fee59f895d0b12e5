#pragma once
// The Linux key code (linux/input-event-codes.h) of a Qt key event. X11 and Wayland number the
// keys as the kernel does plus 8; the offscreen platform of the tests is taken to do the same.
class QKeyEvent;

namespace brimvex::qt {

// The key's Linux code, or -1 where the platform gives none.
int LinuxKeyCode(const QKeyEvent& event);

}  // namespace brimvex::qt
