#include "platform/qt/window_input_capture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/evdev_keys.h"
#include "platform/qt/control_widget.h"
#include "platform/qt/linux_key_code.h"
#include "platform/set1_scan.h"

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

// Whether the pointer is over the recording's stop button: the window knows its own controls,
// not its place on the screen (a Wayland window never does).
bool OverStopButton(const QMouseEvent& e) {
  for (QWidget* w = QApplication::widgetAt(e.globalPosition().toPoint()); w != nullptr; w = w->parentWidget())
    if (auto* c = dynamic_cast<ControlWidget*>(w)) return c->Model().Name() == "macro_btn_stopredio";
  return false;
}

}  // namespace

bool WindowInputCapture::Start(platform::CaptureSink sink, bool keys, bool mouse) {
  Stop();
  if (qApp == nullptr) return false;
  sink_ = std::move(sink);
  keys_ = keys;
  mouse_ = mouse;
  active_ = true;
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
  const auto now = loop_.Now();
  for (int code : keys_down_) {
    const auto scan = platform::Set1ScanOf(code);
    const auto key = platform::FindEvdevKey(code);
    if (scan && sink_.key) sink_.key({key ? key->vk : std::uint8_t{0}, scan->code, scan->extended, false, now});
  }
  keys_down_.clear();
  for (const auto& [message, extra] : buttons_down_)
    if (sink_.mouse) sink_.mouse({message, extra, false, now});
  buttons_down_.clear();
}

bool WindowInputCapture::SeenBefore(const QEvent* event, std::uint64_t stamp) {
  const bool seen = event == last_event_ && stamp == last_stamp_;
  last_event_ = event;
  last_stamp_ = stamp;
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
      const std::uint64_t stamp = (static_cast<std::uint64_t>(k->timestamp()) << 16) ^ k->nativeScanCode() ^ (press ? 1u << 15 : 0u);
      if (passes && SeenBefore(event, stamp)) return false;
      // A held key repeats as release-press pairs: only its presses are passed on.
      if (!(k->isAutoRepeat() && !press)) {
        if (const auto scan = platform::Set1ScanOf(code); scan && sink_.key) {
          if (press) keys_down_.insert(code);
          else keys_down_.erase(code);
          sink_.key({vk, scan->code, scan->extended, press, loop_.Now()});
        }
      }
      return !passes;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
      if (!mouse_ || !qobject_cast<QWidget*>(watched)) return false;
      const auto* m = static_cast<QMouseEvent*>(event);
      const std::uint64_t stamp = (static_cast<std::uint64_t>(m->timestamp()) << 16) ^
                                  static_cast<std::uint64_t>(m->button()) ^ static_cast<std::uint64_t>(event->type());
      if (SeenBefore(event, stamp)) return false;
      const auto messages = MessagesOf(m->button());
      if (!messages || !sink_.mouse) return false;
      const bool press = event->type() != QEvent::MouseButtonRelease;
      if (press) buttons_down_.insert({messages->up, messages->extra});
      else buttons_down_.erase({messages->up, messages->extra});
      sink_.mouse({press ? messages->down : messages->up, messages->extra, OverStopButton(*m), loop_.Now()});
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
