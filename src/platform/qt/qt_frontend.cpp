#include "platform/qt/qt_frontend.h"

#include <QApplication>
#include <QCursor>
#include <QFontDatabase>
#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QSystemTrayIcon>

#include "platform/evdev/desktop_input_capture.h"
#include "platform/input_capture.h"
#include "platform/paths.h"
#include "platform/qt/image_cache.h"
#include "platform/qt/qt_file_chooser.h"
#include "platform/qt/qt_image_probe.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/terminate_watcher.h"
#include "platform/qt/window_host_widget.h"
#include "platform/qt/window_input_capture.h"
#include "platform/ui/container.h"
#include "platform/ui/list_controls.h"

namespace brimvex::qt {
namespace {

class QtTrayIcon final : public ui::TrayIcon {
 public:
  QtTrayIcon(const QIcon& icon, const std::string& tooltip, ui::TrayHandler& handler) : tray_(icon) {
    tray_.setToolTip(QString::fromStdString(tooltip));
    QObject::connect(&tray_, &QSystemTrayIcon::activated, &tray_, [&handler](QSystemTrayIcon::ActivationReason r) {
      if (r == QSystemTrayIcon::Trigger) handler.OnTrayLeftUp();
      if (r == QSystemTrayIcon::Context) handler.OnTrayRightUp();
    });
    tray_.show();
  }
  ~QtTrayIcon() override { tray_.hide(); }
  void SetToolTip(const std::string& tooltip) override { tray_.setToolTip(QString::fromStdString(tooltip)); }

 private:
  QSystemTrayIcon tray_;
};

class QtFrontend final : public ui::Frontend {
 public:
  QtFrontend(const std::string& app_name, const std::string& skin_folder)
      : argv0_(app_name), argv_{argv0_.data(), nullptr}, app_(argc_, argv_.data()) {
    QApplication::setApplicationName(QString::fromStdString(app_name));
    QApplication::setQuitOnLastWindowClosed(false);
    const QString icon = QString::fromStdString(skin_folder + "common/icon.svg");
    QApplication::setWindowIcon(QIcon(icon));
    images_.SetSkinFolder(QString::fromStdString(skin_folder));
    loop_ = std::make_unique<QtEventLoop>();
    capture_ = std::make_unique<WindowInputCapture>(*loop_);
    desktop_ = std::make_unique<platform::DesktopInputCapture>(*loop_, [] { return PointerOverStopButton(); });
    platform::SetCurrentFileChooser(&file_chooser_);
    platform::SetCurrentInputCapture(capture_.get());
    platform::SetDesktopCapture(desktop_.get());
  }
  ~QtFrontend() override {
    platform::SetCurrentFileChooser(nullptr);
    platform::SetCurrentInputCapture(nullptr);
    platform::SetDesktopCapture(nullptr);
    desktop_.reset();
    capture_.reset();
    CloseMenu();
    loop_.reset();
  }

  platform::EventLoop& Loop() override { return *loop_; }

  std::unique_ptr<ui::WindowHost> CreateHost(ui::Window& window, const ui::WindowStyle& style) override {
    return std::make_unique<WindowHostWidget>(window, style, images_);
  }

  std::unique_ptr<ui::TrayIcon> CreateTrayIcon(const std::string& icon_path, const std::string& tooltip,
                                               ui::TrayHandler& handler) override {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return nullptr;
    return std::make_unique<QtTrayIcon>(QIcon(QString::fromStdString(icon_path)), tooltip, handler);
  }

  void PopupMenu(ui::Window& menu) override {
    CloseMenu();
    auto* qmenu = new QMenu();
    qmenu->setAttribute(Qt::WA_DeleteOnClose);
    qmenu->setStyleSheet(
        "QMenu { background: #1b1f26; color: #e8edf2; border: 1px solid #2fb8c4; padding: 4px; }"
        "QMenu::item { padding: 6px 28px; } QMenu::item:selected { background: #2fb8c4; color: #0d0f13; }");
    if (menu.Root() != nullptr) {
      menu.Root()->ForEach([&](ui::Control& c) {
        auto* item = dynamic_cast<ui::MenuElement*>(&c);
        if (item == nullptr || !item->IsVisible()) return;
        QAction* action = qmenu->addAction(QString::fromStdString(item->Text()));
        action->setEnabled(item->IsEnabled());
        const std::string name = item->Name();
        QObject::connect(action, &QAction::triggered, qmenu, [&menu, name] {
          if (ui::Control* target = menu.FindControl(name)) target->Activate();
        });
      });
    }
    menu_ = qmenu;
    qmenu->popup(QCursor::pos());
  }

  void CloseMenu() override {
    if (!menu_.isNull()) menu_->close();
    menu_ = nullptr;
  }

  ui::ScreenSize MonitorSize(const ui::Window& window) const override {
    QScreen* screen = nullptr;
    if (auto* host = dynamic_cast<WindowHostWidget*>(window.Host())) screen = host->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {};
    return {screen->size().width(), screen->size().height()};
  }

  int AddFont(const std::string& bytes) override {
    return QFontDatabase::addApplicationFontFromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  }

  void RemoveFont(int handle) override { QFontDatabase::removeApplicationFont(handle); }

  void SetTerminateHandler(std::function<void()> handler) override { terminate_.SetHandler(std::move(handler)); }

  platform::ImageProbe& PictureProbe() override { return probe_; }

  void SetDisplayChangeHandler(std::function<void()> handler) override {
    display_change_ = std::move(handler);
    if (display_connected_) return;
    display_connected_ = true;
    auto watch = [this](QScreen* screen) {
      QObject::connect(screen, &QScreen::geometryChanged, &display_context_, [this] {
        if (display_change_) display_change_();
      });
    };
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    QObject::connect(qApp, &QGuiApplication::screenAdded, &display_context_, [this, watch](QScreen* screen) {
      watch(screen);
      if (display_change_) display_change_();
    });
    QObject::connect(qApp, &QGuiApplication::screenRemoved, &display_context_, [this] {
      if (display_change_) display_change_();
    });
  }

 private:
  std::string argv0_;
  int argc_ = 1;
  std::array<char*, 2> argv_;
  QApplication app_;
  ImageCache images_;
  QtImageProbe probe_;
  QtFileChooser file_chooser_;
  std::unique_ptr<QtEventLoop> loop_;
  std::unique_ptr<WindowInputCapture> capture_;  // recording's live input, the default
  std::unique_ptr<platform::DesktopInputCapture> desktop_;  // "macro_check_desktop"
  QPointer<QMenu> menu_;
  TerminateWatcher terminate_;
  QObject display_context_;
  std::function<void()> display_change_;
  bool display_connected_ = false;
};

}  // namespace

std::unique_ptr<ui::Frontend> CreateQtFrontend(const std::string& app_name, const std::string& skin_folder,
                                               std::string* error) {
  const auto platform = platform::GetEnv("QT_QPA_PLATFORM");
  const bool has_display = platform.has_value() || platform::GetEnv("DISPLAY").has_value() ||
                           platform::GetEnv("WAYLAND_DISPLAY").has_value();
  if (!has_display) {
    if (error != nullptr) *error = "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    return nullptr;
  }
  return std::make_unique<QtFrontend>(app_name, skin_folder);
}

bool RenderWindowToPng(ui::Window& window, const std::string& path) {
  auto* host = dynamic_cast<WindowHostWidget*>(window.Host());
  if (host == nullptr) return false;
  QApplication::processEvents();
  return host->grab().save(QString::fromStdString(path), "PNG");
}

}  // namespace brimvex::qt
