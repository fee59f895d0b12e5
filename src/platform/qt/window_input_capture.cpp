#include "platform/qt/window_input_capture.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/evdev_keys.h"
#include "platform/qt/control_widget.h"
#include "platform/qt/linux_key_code.h"

namespace brimvex::qt {
namespace {

constexpr std::uint8_t kCapsLock = 0x14, kNumLock = 0x90, kScrollLock = 0x91;

// The button's press and release messages and its extra button number (1 back, 2 forward).
struct ButtonMessages {
  std::uint32_t down = 0, up = 0;
  int extra = 0;
};
std::optional<ButtonMessages> MessagesOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return ButtonMessages{0x0201, 0x0202, 0};
    case Qt::RightButton: return ButtonMessages{0x0204, 0x0205, 0};
    case Qt::MiddleButton: return ButtonMessages{0x0207, 0x0208, 0};
    case Qt::BackButton: return ButtonMessages{0x020B, 0x020C, 1};
    case Qt::ForwardButton: return ButtonMessages{0x020B, 0x020C, 2};
    default: return std::nullopt;
  }
}

bool OverStopButtonAt(QWidget* hit) {
  for (QWidget* w = hit; w != nullptr; w = w->parentWidget())
    if (auto* c = dynamic_cast<ControlWidget*>(w)) return c->Model().Name() == "macro_btn_stopredio";
  return false;
}

// Whether the pointer is over the recording's stop button, asked of the window in its own
// coordinates: a Wayland window does not know its place on the screen.
bool OverStopButton(QWidget& receiver, const QMouseEvent& e) {
  QWidget* top = receiver.window();
  return OverStopButtonAt(top->childAt(receiver.mapTo(top, e.position().toPoint())));
}

// The record of a Linux key, or nullopt for a key a macro cannot hold.
std::optional<platform::KeyRecord> RecordOf(int code, bool press, std::chrono::milliseconds now) {
  const auto key = platform::FindEvdevKey(code);
  if (!key || key->set1 == 0) return std::nullopt;
  return platform::KeyRecord{key->vk, key->set1, key->set1_extended, press, now, code};
}

}  // namespace

bool PointerOverStopButton() { return OverStopButtonAt(QApplication::widgetAt(QCursor::pos())); }

bool WindowInputCapture::Start(platform::CaptureSink sink, bool keys, bool mouse) {
  Stop();
  if (qApp == nullptr) return false;
  sink_ = std::move(sink);
  keys_ = keys;
  mouse_ = mouse;
  active_ = true;
  // The X server and most compositors stamp input on CLOCK_MONOTONIC, which steady_clock reads.
  const auto monotonic = std::chrono::duration_cast<platform::Millis>(std::chrono::steady_clock::now().time_since_epoch());
  stamps_.Reset();
  stamps_.Expect(loop_.Now() - monotonic);
  qApp->installEventFilter(this);
  return true;
}

void WindowInputCapture::Stop() {
  if (!active_) return;
  if (qApp != nullptr) qApp->removeEventFilter(this);
  active_ = false;
  sink_ = {};
  keys_down_.clear();
  buttons_down_.clear();
}

void WindowInputCapture::ReleaseAll() {
  const auto now = stamps_.Map(0, loop_.Now());
  for (int code : keys_down_)
    if (const auto r = RecordOf(code, false, now); r && sink_.key) sink_.key(*r);
  keys_down_.clear();
  for (const auto& [message, extra] : buttons_down_)
    if (sink_.mouse) sink_.mouse({message, extra, false, now});
  buttons_down_.clear();
}

bool WindowInputCapture::SeenBefore(const Mark& mark) {
  const bool seen = mark == last_;
  last_ = mark;
  return seen;
}

bool WindowInputCapture::eventFilter(QObject* watched, QEvent* event) {
  if (!active_) return false;
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      if (!keys_ || !qobject_cast<QWidget*>(watched)) return false;
      const auto* k = static_cast<QKeyEvent*>(event);
      const int code = LinuxKeyCode(*k);
      const auto key = platform::FindEvdevKey(code);
      const std::uint8_t vk = key ? key->vk : 0;
      const bool press = event->type() == QEvent::KeyPress;
      const bool passes = vk == kCapsLock || vk == kNumLock || vk == kScrollLock;
      if (passes && SeenBefore({event->type(), k->timestamp(), k->nativeScanCode(), {}})) return false;
      // A held key repeats as release-press pairs: only its presses are passed on.
      if (!(k->isAutoRepeat() && !press)) {
        if (const auto r = RecordOf(code, press, stamps_.Map(k->timestamp(), loop_.Now())); r && sink_.key) {
          if (press) keys_down_.insert(code);
          else keys_down_.erase(code);
          sink_.key(*r);
        }
      }
      return !passes;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
      if (!mouse_ || !qobject_cast<QWidget*>(watched)) return false;
      const auto* m = static_cast<QMouseEvent*>(event);
      if (SeenBefore({event->type(), m->timestamp(), static_cast<std::uint64_t>(m->button()), m->globalPosition()}))
        return false;
      const auto messages = MessagesOf(m->button());
      if (!messages || !sink_.mouse) return false;
      const bool press = event->type() != QEvent::MouseButtonRelease;
      if (press) buttons_down_.insert({messages->up, messages->extra});
      else buttons_down_.erase({messages->up, messages->extra});
      sink_.mouse({press ? messages->down : messages->up, messages->extra,
                   OverStopButton(*static_cast<QWidget*>(watched), *m), stamps_.Map(m->timestamp(), loop_.Now())});
      return false;
    }
    case QEvent::ApplicationDeactivate:
      ReleaseAll();
      return false;
    default:
      return false;
  }
}

}  // namespace brimvex::qt
