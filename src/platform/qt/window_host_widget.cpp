#include "platform/qt/window_host_widget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEnterEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>

#include "platform/qt/control_widget.h"
#include "platform/qt/linux_key_code.h"
#include "platform/ui/container.h"
#include "platform/ui/controls.h"
#include "platform/ui/layout_engine.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/resource_manager.h"

namespace brimvex::qt {
namespace {

Qt::WindowFlags FlagsFor(const ui::WindowStyle& style) {
  Qt::WindowFlags flags = Qt::FramelessWindowHint;
  if (style.popup) return flags | Qt::Popup;
  flags |= style.modal ? Qt::Dialog : Qt::Window;
  if (style.tool_window && !style.modal) flags |= Qt::Tool;
  return flags;
}

QWidget* OwnerWidget(const ui::WindowStyle& style) {
  if (style.owner == nullptr) return nullptr;
  return dynamic_cast<WindowHostWidget*>(style.owner->Host());
}

// The container whose children get widgets of their own: not a combo, whose entries the native
// combo box shows.
ui::Container* ChildWidgetsOf(ui::Control& control) {
  if (dynamic_cast<ui::Combo*>(&control) != nullptr) return nullptr;
  return dynamic_cast<ui::Container*>(&control);
}

}  // namespace

WindowHostWidget::WindowHostWidget(ui::Window& window, const ui::WindowStyle& style, ImageCache& images)
    : QWidget(OwnerWidget(style), FlagsFor(style)), window_(window), style_(style), images_(images) {
  setWindowTitle(QString::fromStdString(window.Title()));
  setObjectName(QString::fromStdString(window.ClassName()));
  design_width_ = window.Attributes().width > 0 ? window.Attributes().width : 400;
  design_height_ = window.Attributes().height > 0 ? window.Attributes().height : 300;
  setFixedSize(Scale(design_width_), Scale(design_height_));
  Rebuild();
  // Key presses go to the focused widget of the window; the filter sees them before it does.
  qApp->installEventFilter(this);
}

WindowHostWidget::~WindowHostWidget() {
  qApp->removeEventFilter(this);
  if (modal_loop_ != nullptr) modal_loop_->quit();
}

void WindowHostWidget::Show(bool show) {
  if (show) {
    QWidget::show();
  } else {
    QWidget::hide();
  }
}

bool WindowHostWidget::IsVisible() const { return QWidget::isVisible(); }

bool WindowHostWidget::IsMinimized() const { return QWidget::isMinimized(); }

void WindowHostWidget::Minimize() { QWidget::showMinimized(); }

void WindowHostWidget::Maximize() {
  // The skinned windows have a fixed size; maximising has nothing to grow into.
}

void WindowHostWidget::Restore() {
  if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) return;
  if (QWidget::isVisible()) {
    QWidget::showNormal();
  } else {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
  }
}

void WindowHostWidget::Center() {
  QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  if (s == nullptr) return;
  QRect area = s->availableGeometry();
  if (auto* owner = qobject_cast<QWidget*>(parent()); owner != nullptr && owner->isVisible())
    area = owner->frameGeometry();
  move(area.center() - QPoint(width() / 2, height() / 2));
}

void WindowHostWidget::BringToFront() {
  QWidget::show();
  raise();
  activateWindow();
}

void WindowHostWidget::Resize(int width, int height) {
  design_width_ = width;
  design_height_ = height;
  setFixedSize(Scale(width), Scale(height));
  PlaceAll();
}

int WindowHostWidget::RunModal() {
  setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  modal_loop_ = &loop;
  modal_code_ = 0;
  QWidget::show();
  raise();
  activateWindow();
  loop.exec();
  modal_loop_ = nullptr;
  QWidget::hide();
  return modal_code_;
}

void WindowHostWidget::EndModal(int code) {
  modal_code_ = code;
  if (modal_loop_ != nullptr) {
    modal_loop_->quit();
  } else {
    QWidget::hide();
  }
}

void WindowHostWidget::ControlChanged(ui::Control& control, ui::Aspect aspect) {
  auto it = widgets_.find(&control);
  if (it == widgets_.end() || it.value().isNull()) {
    // A combo's entries have no widgets of their own: the native combo shows them.
    if (auto* combo = dynamic_cast<ui::Combo*>(control.Parent())) {
      if (auto c = widgets_.find(combo); c != widgets_.end() && !c.value().isNull()) c.value()->Sync(aspect);
    }
    return;
  }
  ControlWidget* w = it.value();
  // Live LEDs and spectrum bars change their picture many times a second: only the widget's
  // own area is painted again, nothing is laid out or synchronised.
  if (aspect == ui::Aspect::kPicture) {
    w->PictureChanged();
    return;
  }
  if (aspect == ui::Aspect::kItems) {
    // Rebuild the children of a container whose children changed.
    if (auto* box = ChildWidgetsOf(control)) {
      for (QObject* child : w->children()) {
        if (auto* cw = dynamic_cast<ControlWidget*>(child)) {
          cw->hide();
          cw->deleteLater();
        }
      }
      for (std::size_t i = 0; i < box->Count(); ++i) ForgetSubtree(*box->ChildAt(i));
      for (auto i = widgets_.begin(); i != widgets_.end();) {
        i = i.value().isNull() ? widgets_.erase(i) : std::next(i);
      }
      for (std::size_t i = 0; i < box->Count(); ++i) Build(*box->ChildAt(i), w);
    }
    w->Sync(aspect);
    PlaceAll();
    return;
  }
  if (aspect == ui::Aspect::kVisible || aspect == ui::Aspect::kStyle) PlaceAll();
  w->Sync(aspect);
  // A drop-down shows its items' texts in its own native widget.
  if (auto* combo = dynamic_cast<ui::Combo*>(control.Parent()); combo != nullptr && aspect == ui::Aspect::kText) {
    if (auto c = widgets_.find(combo); c != widgets_.end() && !c.value().isNull()) c.value()->Sync(aspect);
  }
}

void WindowHostWidget::Relayout() {
  if (root_widget_.isNull() || &root_widget_->Model() != window_.Root()) {
    Rebuild();
    return;
  }
  setFixedSize(Scale(design_width_), Scale(design_height_));
  for (auto& w : widgets_) {
    if (!w.isNull()) w->Sync(ui::Aspect::kStyle);
  }
  PlaceAll();
}

QFont WindowHostWidget::FontFor(int id) const {
  ui::FontSpec spec;
  if (window_.Resources() != nullptr) spec = window_.Resources()->Font(id);
  QFont f;
  // The skin's face first (it may not be installed), then desktop faces that hold the Chinese
  // glyphs, so Chinese text never shows as boxes.
  QStringList families;
  if (!spec.face.empty()) families << QString::fromStdString(spec.face);
  families << FallbackFamilies();
  f.setFamilies(families);
  f.setPixelSize(std::max(1, Scale(spec.size > 0 ? spec.size : 14)));
  f.setBold(spec.bold);
  f.setUnderline(spec.underline);
  f.setItalic(spec.italic);
  return f;
}

const QStringList& WindowHostWidget::FallbackFamilies() {
  static const QStringList families = [] {
    QStringList out;
    const QStringList installed = QFontDatabase::families();
    for (const char* known : {"Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei", "WenQuanYi Zen Hei",
                              "Droid Sans Fallback", "AR PL UMing CN"}) {
      if (installed.contains(QString::fromLatin1(known))) out << QString::fromLatin1(known);
    }
    if (out.isEmpty()) {
      const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
      if (!chinese.isEmpty()) out << chinese.front();
    }
    out << "Noto Sans"
        << "DejaVu Sans";
    return out;
  }();
  return families;
}

ui::Rect WindowHostWidget::ScreenRectOf(const ui::Control& control) const {
  const auto it = widgets_.find(&control);
  if (it == widgets_.end() || it.value().isNull() || !it.value()->isVisibleTo(const_cast<WindowHostWidget*>(this)))
    return {};
  const ControlWidget* w = it.value();
  const QPoint origin = w->mapToGlobal(QPoint(0, 0));
  return ui::Rect{origin.x(), origin.y(), w->width(), w->height()};
}

void WindowHostWidget::Move(int x, int y) { move(x, y); }

void WindowHostWidget::AddLiveWidget(ControlWidget* w) { live_widgets_.append(w); }

void WindowHostWidget::DropUnderPictures(const QWidget* changed) {
  const QRect area = changed != nullptr ? QRect(changed->mapTo(this, QPoint(0, 0)), changed->size()) : QRect();
  for (auto it = live_widgets_.begin(); it != live_widgets_.end();) {
    ControlWidget* live = *it;
    if (live == nullptr) {
      it = live_widgets_.erase(it);
      continue;
    }
    if (changed == nullptr || (live != changed && QRect(live->mapTo(this, QPoint(0, 0)), live->size()).intersects(area)))
      live->DropUnderPicture();
    ++it;
  }
}

bool WindowHostWidget::LeftOutOfPicture(const QWidget* w) const {
  if (picture_of_ == nullptr || w == nullptr) return false;
  if (w == picture_of_ || picture_of_->isAncestorOf(w)) return true;
  // Painted after it: below their nearest common ancestor, w's branch comes later among the
  // children (Qt paints children in that order, later ones on top).
  for (const QWidget* a = w; a->parentWidget() != nullptr; a = a->parentWidget()) {
    const QWidget* common = a->parentWidget();
    if (!common->isAncestorOf(picture_of_)) continue;
    if (common == picture_of_) return true;
    const QWidget* t = picture_of_;
    while (t->parentWidget() != common) t = t->parentWidget();
    if (t == a) return false;  // w is an ancestor of the pictured widget: painted before it
    const QObjectList& order = common->children();
    return order.indexOf(const_cast<QWidget*>(a)) > order.indexOf(const_cast<QWidget*>(t));
  }
  return false;
}

bool WindowHostWidget::InCaption(const QPoint& window_pos) const {
  return window_pos.y() >= 0 && window_pos.y() < Scale(window_.Attributes().caption_height);
}

void WindowHostWidget::closeEvent(QCloseEvent* event) {
  if (style_.popup) {
    // The desktop closes a pop-up that lost the focus; the model decides what follows.
    event->accept();
    QTimer::singleShot(0, this, [this] { window_.HostFocusLost(); });
    return;
  }
  event->ignore();
  if (window_.HasCloseRequestHandler()) {
    QTimer::singleShot(0, this, [this] { window_.HostCloseRequested(); });
    return;
  }
  // Closing from the desktop does what the window's own close button does.
  if (modal_loop_ != nullptr) {
    EndModal(0);
    return;
  }
  QTimer::singleShot(0, this, [this] {
    if (ui::Control* close = window_.FindControl("closebtn")) close->Activate();
  });
}

void WindowHostWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceAll();
  if (window_.Root() != nullptr) window_.SendNotify(window_.Root(), "windowsize");
}

void WindowHostWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange) window_.HostActivated(isActiveWindow());
  // Minimised counts as hidden for the pages: nothing is repainted until it comes back.
  if (event->type() == QEvent::WindowStateChange) window_.HostVisibilityChanged(isVisible() && !isMinimized());
}

void WindowHostWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  window_.HostVisibilityChanged(!isMinimized());
  if (!screen_watched_ && windowHandle() != nullptr) {
    screen_watched_ = true;
    connect(windowHandle(), &QWindow::screenChanged, this, [this](QScreen*) { window_.HostScreenChanged(); });
  }
}

void WindowHostWidget::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  window_.HostPointerInside(true);
}

void WindowHostWidget::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  window_.HostPointerInside(false);
}

void WindowHostWidget::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  window_.HostVisibilityChanged(false);
}

bool WindowHostWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != this) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->isAutoRepeat()) return false;
  const int code = LinuxKeyCode(*key);
  return code >= 0 && window_.HostKeyPress(ui::KeyPress{code});
}

int WindowHostWidget::RefreshRate() const {
  const QScreen* s = screen();
  return s != nullptr ? static_cast<int>(s->refreshRate() + 0.5) : 0;
}

void WindowHostWidget::Rebuild() {
  if (!root_widget_.isNull()) {
    root_widget_->hide();
    root_widget_->deleteLater();
  }
  widgets_.clear();
  root_widget_ = nullptr;
  if (window_.Root() == nullptr) return;
  Build(*window_.Root(), this);
  root_widget_ = widgets_.value(window_.Root());
  PlaceAll();
}

void WindowHostWidget::Build(ui::Control& control, QWidget* parent) {
  auto* w = new ControlWidget(control, *this, parent);
  widgets_.insert(&control, w);
  if (auto* box = ChildWidgetsOf(control)) {
    for (std::size_t i = 0; i < box->Count(); ++i) Build(*box->ChildAt(i), w);
  }
  w->setVisible(control.IsVisible());
}

void WindowHostWidget::ForgetSubtree(ui::Control& control) {
  control.ForEach([this](ui::Control& c) { widgets_.remove(&c); });
}

void WindowHostWidget::PlaceAll() {
  if (placing_ || window_.Root() == nullptr) return;
  placing_ = true;
  ui::LayoutMap map;
  ui::ComputeLayout(*window_.Root(), ui::Rect{0, 0, width(), height()}, window_.Dpi(), map);
  for (auto it = widgets_.begin(); it != widgets_.end(); ++it) {
    ControlWidget* w = it.value();
    if (w == nullptr) continue;
    const ui::Control& c = w->Model();
    const auto r = map.find(&c);
    if (r == map.end()) continue;
    w->setGeometry(r->second.x, r->second.y, r->second.width, r->second.height);
    w->setVisible(c.IsVisible());
  }
  placing_ = false;
  DropUnderPictures(nullptr);
}

}  // namespace brimvex::qt
