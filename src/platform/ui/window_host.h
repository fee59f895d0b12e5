#pragma once
// What the model asks of a native window. The Qt frontend implements it with widgets; the
// headless frontend records the state for tests.
#include "platform/ui/control.h"

namespace brimvex::ui {

class WindowHost {
 public:
  virtual ~WindowHost() = default;

  virtual void Show(bool show) = 0;
  virtual bool IsVisible() const = 0;
  virtual bool IsMinimized() const = 0;
  virtual void Minimize() = 0;
  virtual void Maximize() = 0;
  virtual void Restore() = 0;
  virtual void Center() = 0;
  // Raises and activates the window (top-most for a moment).
  virtual void BringToFront() = 0;
  // Client size in pixels at 96 DPI; the host scales it by the window's DPI.
  virtual void Resize(int width, int height) = 0;
  // Shows the window modally and returns the code given to EndModal.
  virtual int RunModal() = 0;
  virtual void EndModal(int code) = 0;
  // A control changed; the host updates what shows it.
  virtual void ControlChanged(Control& control, Aspect aspect) = 0;
  // The tree or the DPI changed: lay everything out again.
  virtual void Relayout() = 0;
  // Refreshes per second of the screen showing the window; 0 when unknown.
  virtual int RefreshRate() const { return 0; }
  // Where a control of the window is on the screen, in pixels; an empty rect when it is not
  // laid out (hidden, or not in this window) or the host cannot tell.
  virtual Rect ScreenRectOf(const Control& /*control*/) const { return {}; }
  // Moves the window's top-left corner to screen pixel (x, y).
  virtual void Move(int /*x*/, int /*y*/) {}
};

}  // namespace brimvex::ui
