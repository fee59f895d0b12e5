#pragma once
// Live input from the program's own windows: while capture runs, an application event filter
// hands every key press and release (the native scan code, evdev + 8, turned into the set-1 pair)
// and every mouse button press and release to the sink, stamped on the loop's clock. Keys are
// consumed except Caps, Num and Scroll Lock; clicks go on. When the application loses the focus,
// keys and buttons still down get their releases. Shortcuts the desktop keeps (Super+D) never
// reach the window, so they cannot be recorded here.
#include <QObject>
#include <set>
#include <utility>

#include "platform/event_loop.h"
#include "platform/input_capture.h"

namespace brimvex::qt {

class WindowInputCapture final : public QObject, public platform::InputCapture {
 public:
  explicit WindowInputCapture(platform::EventLoop& loop) : loop_(loop) {}
  ~WindowInputCapture() override { Stop(); }

  bool Start(platform::CaptureSink sink, bool keys, bool mouse) override;
  void Stop() override;
  bool Active() const override { return active_; }

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // An event the filter lets through goes on to the parents while a widget ignores it: the
  // filter sees it again and must not take it twice.
  bool SeenBefore(const QEvent* event, std::uint64_t stamp);

  void ReleaseAll();

  platform::EventLoop& loop_;
  platform::CaptureSink sink_;
  bool keys_ = false, mouse_ = false, active_ = false;
  std::set<int> keys_down_;             // Linux key codes
  std::set<std::pair<std::uint32_t, int>> buttons_down_;  // (release message, extra button)
  const QEvent* last_event_ = nullptr;
  std::uint64_t last_stamp_ = 0;
};

}  // namespace brimvex::qt
