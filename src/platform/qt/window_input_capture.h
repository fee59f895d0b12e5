#pragma once
// Live input from the program's own windows: while capture runs, an application event filter
// hands every key press and release (the native scan code, evdev + 8, turned into the set-1 pair)
// and every mouse button press and release to the sink, stamped with the event's own time mapped
// onto the loop's clock (so the pauses are the user's, however late the UI thread runs). Keys are
// consumed except Caps, Num and Scroll Lock; clicks go on. When the application loses the focus,
// keys and buttons still down get their releases. Shortcuts the desktop keeps (Super+D) never
// reach the window, so they cannot be recorded here.
#include <QObject>
#include <QPointF>
#include <set>
#include <utility>

#include "platform/event_loop.h"
#include "platform/input_capture.h"
#include "platform/input_stamps.h"

namespace brimvex::qt {

// Whether the pointer is over "macro_btn_stopredio" now, for the desktop capture (the cursor's
// place as the windows last saw it).
bool PointerOverStopButton();

class WindowInputCapture final : public QObject, public platform::InputCapture {
 public:
  explicit WindowInputCapture(platform::EventLoop& loop) : loop_(loop) {}
  ~WindowInputCapture() override { Stop(); }

  bool Start(platform::CaptureSink sink, bool keys, bool mouse) override;
  void Stop() override;
  bool Active() const override { return active_; }

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // An event the filter lets through goes on to the parents while a widget ignores it (a mouse
  // event as a copy): the filter sees it again and must not take it twice.
  struct Mark {
    int type = 0;
    std::uint64_t time = 0;
    std::uint64_t detail = 0;  // native scan code or button
    QPointF where;
    friend bool operator==(const Mark&, const Mark&) = default;
  };
  bool SeenBefore(const Mark& mark);

  void ReleaseAll();

  platform::EventLoop& loop_;
  platform::CaptureSink sink_;
  bool keys_ = false, mouse_ = false, active_ = false;
  std::set<int> keys_down_;             // Linux key codes
  std::set<std::pair<std::uint32_t, int>> buttons_down_;  // (release message, extra button)
  Mark last_;
  platform::StampClock stamps_;  // the events' own times on the loop's clock
};

}  // namespace brimvex::qt
