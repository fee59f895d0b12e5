// The Qt frontend offscreen: the main window renders to a PNG at its size, mouse input on a
// widget reaches the controller as the notification a click raises, and DPI 144 scales it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QEvent>
#include <QEventLoop>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "app/main_wnd.h"
#include "app/message_box.h"
#include "platform/paths.h"
#include "platform/qt/qt_frontend.h"
#include "platform/registered_messages.h"
#include "platform/ui/container.h"
#include "platform/ui/controls.h"

namespace brimvex::qt {
namespace {

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::GetEnv("QT_QPA_PLATFORM")) platform::SetEnv("QT_QPA_PLATFORM", "offscreen");
    frontend_ = CreateQtFrontend("Brimvex", Resources() + "skin/", nullptr);
    ASSERT_NE(frontend_, nullptr);
    ASSERT_TRUE(resources_.LoadResource(Resources() + "skin/"));
    resources_.SetLanguageFolder(Resources() + "lang/");
    messages_.app_instance = platform::RegisterWindowMessage(app::kAppInstanceName);
    app::RegisterGuidMessages(messages_);
    wnd_ = std::make_unique<app::CMainWnd>(*frontend_, resources_, factory_, messages_, nullptr);
    std::string error;
    ASSERT_TRUE(wnd_->Create(&error)) << error;
    QApplication::processEvents();
  }
  void TearDown() override { wnd_.reset(); }
  QWidget* HostWidget() { return dynamic_cast<QWidget*>(wnd_->Window().Host()); }

  std::unique_ptr<ui::Frontend> frontend_;
  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
  app::AppMessages messages_;
  std::unique_ptr<app::CMainWnd> wnd_;
};

TEST_F(RenderTest, MainWindowRendersToPng) {
  const std::string png = "main_window.png";  // kept in the test's folder for a look
  ASSERT_TRUE(RenderWindowToPng(wnd_->Window(), png));
  QImage image(QString::fromStdString(png));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 800);
  EXPECT_EQ(image.height(), 572);
  EXPECT_EQ(HostWidget()->windowTitle().toStdString(), "Brimvex");
  EXPECT_TRUE(HostWidget()->windowFlags() & Qt::FramelessWindowHint);
  // Dark skin background in a corner of the page area, and something drawn where the hint is.
  const QColor corner = image.pixelColor(20, 100);
  EXPECT_LT(corner.lightness(), 80);
  int bright = 0;
  for (int x = 300; x < 500; ++x) bright += image.pixelColor(x, 290).lightness() > 120 ? 1 : 0;
  for (int y = 180; y < 340; ++y) bright += image.pixelColor(400, y).lightness() > 120 ? 1 : 0;
  EXPECT_GT(bright, 0);
}

// A live-colour button (a device's LED) is painted in its colour at its brightness, and the
// controls hear when the window is hidden or shown.
class VisibilityProbe : public ui::Control {
 public:
  void OnWindowVisibility(bool visible) override { seen.push_back(visible); }
  std::vector<bool> seen;
};

TEST_F(RenderTest, ALiveColorButtonShowsItsLedAndPagesHearOfHiding) {
  auto* root = dynamic_cast<ui::Container*>(wnd_->Window().Root());
  ASSERT_NE(root, nullptr);
  auto led = std::make_unique<ui::LiveColorButton>();
  led->SetName("probe_led");
  ASSERT_TRUE(led->SetAttribute("float", "true"));
  ASSERT_TRUE(led->SetAttribute("pos", "10,100,40,40"));
  auto* button = static_cast<ui::LiveColorButton*>(root->Add(std::move(led)));
  auto* probe = static_cast<VisibilityProbe*>(root->Add(std::make_unique<VisibilityProbe>()));
  EXPECT_TRUE(button->SetLiveColor(0x80FF0000));  // red at half brightness
  button->RepaintLive();
  QApplication::processEvents();
  const std::string png = "live_color.png";
  ASSERT_TRUE(RenderWindowToPng(wnd_->Window(), png));
  const QColor c = QImage(QString::fromStdString(png)).pixelColor(30, 120);
  EXPECT_NEAR(c.red(), 128, 3);
  EXPECT_LT(c.green(), 10);
  EXPECT_LT(c.blue(), 10);

  wnd_->Window().Show(true);
  QApplication::processEvents();
  wnd_->Window().Show(false);
  QApplication::processEvents();
  ASSERT_FALSE(probe->seen.empty());
  EXPECT_TRUE(std::find(probe->seen.begin(), probe->seen.end(), true) != probe->seen.end());
  EXPECT_FALSE(probe->seen.back());
  EXPECT_GT(wnd_->Window().RefreshRate(), 0);
}

// A shown LED repaints from the picture it keeps of what lies under it: each colour change shows
// on screen around the opaque cap over it, the cap stays, and a changed background is taken
// again rather than shown from the old picture.
TEST_F(RenderTest, AShownLedKeepsWhatLiesUnderAndAroundItsCap) {
  auto* root = dynamic_cast<ui::Container*>(wnd_->Window().Root());
  ASSERT_NE(root, nullptr);
  auto add = [&](std::unique_ptr<ui::Control> c, const char* pos, const char* bk) {
    EXPECT_TRUE(c->SetAttribute("float", "true"));
    EXPECT_TRUE(c->SetAttribute("pos", pos));
    if (bk != nullptr) {
      EXPECT_TRUE(c->SetAttribute("bkcolor", bk));
    }
    return root->Add(std::move(c));
  };
  ui::Control* ground = add(std::make_unique<ui::Label>(), "200,100,60,60", "#FF0000FF");
  auto* led = static_cast<ui::LiveColorButton*>(add(std::make_unique<ui::LiveColorButton>(), "210,110,40,40", nullptr));
  add(std::make_unique<ui::Label>(), "220,120,20,20", "#FF202020");  // the cap
  wnd_->Window().Show(true);
  QApplication::processEvents();
  QWidget* host = HostWidget();
  // What the window shows, as its backing store holds it.
  auto shown = [&] {
    QApplication::processEvents();
    return host->screen()->grabWindow(host->winId()).toImage();
  };
  struct Step {
    std::uint32_t led;
    std::uint32_t ground;  // 0: unchanged
    QRgb ring, corner;
  };
  const Step steps[] = {
      {0xFFFF0000, 0, qRgb(255, 0, 0), qRgb(0, 0, 255)},
      {0xFF00FF00, 0, qRgb(0, 255, 0), qRgb(0, 0, 255)},
      {0xFF00FF00, 0xFFFFFF00, qRgb(0, 255, 0), qRgb(255, 255, 0)},
      {0xFF0000FF, 0, qRgb(0, 0, 255), qRgb(255, 255, 0)},
      {0x80FF0000, 0, qRgb(128, 0, 0), qRgb(255, 255, 0)},
  };
  for (const Step& step : steps) {
    if (step.ground != 0) ground->SetBkColor(step.ground);
    led->SetLiveColor(step.led);
    led->RepaintLive();
    for (const QImage& image : {shown(), host->grab().toImage()}) {
      ASSERT_FALSE(image.isNull());
      const QColor ring = image.pixelColor(215, 130);
      EXPECT_NEAR(ring.red(), qRed(step.ring), 3) << std::hex << step.led;
      EXPECT_NEAR(ring.green(), qGreen(step.ring), 3) << std::hex << step.led;
      EXPECT_NEAR(ring.blue(), qBlue(step.ring), 3) << std::hex << step.led;
      EXPECT_EQ(image.pixel(210, 110) & 0xFFFFFF, step.corner & 0xFFFFFF) << "under the spot's rounded corner";
      EXPECT_EQ(image.pixel(230, 130) & 0xFFFFFF, 0x202020u) << "the cap";
      EXPECT_EQ(image.pixel(205, 105) & 0xFFFFFF, step.corner & 0xFFFFFF) << "beside the LED";
    }
  }
}

// Spectrum bars: a 1-pixel bar every 2 pixels, height x value / 8192 from the bottom, in the
// fore colour over the background, as many as the width holds.
TEST_F(RenderTest, SpectrumBarsRiseByTheirValues) {
  auto* root = dynamic_cast<ui::Container*>(wnd_->Window().Root());
  ASSERT_NE(root, nullptr);
  auto bars = std::make_unique<ui::SpectrumBars>();
  ASSERT_TRUE(bars->SetAttribute("float", "true"));
  ASSERT_TRUE(bars->SetAttribute("pos", "100,100,10,100"));  // five bars
  ASSERT_TRUE(bars->SetAttribute("bkcolor", "#FFFFFFFF"));
  bars->SetAttribute("forecolor", "#FFFF0000");
  auto* spectrum = static_cast<ui::SpectrumBars*>(root->Add(std::move(bars)));
  std::vector<std::int32_t> values{8192, 4096, 0, 20000, -5, 8192};
  EXPECT_TRUE(spectrum->SetValues(values));
  spectrum->RepaintBars();
  QApplication::processEvents();
  const std::string png = "audio_bars.png";
  ASSERT_TRUE(RenderWindowToPng(wnd_->Window(), png));
  const QImage image(QString::fromStdString(png));
  // The bar's height in the column at x (red pixels from the bottom up).
  auto height = [&](int x) {
    int h = 0;
    for (int y = 199; y >= 100 && image.pixelColor(x, y).green() < 64; --y) ++h;
    return h;
  };
  EXPECT_EQ(height(100), 100);
  EXPECT_EQ(height(101), 0);  // the gap between bars
  EXPECT_EQ(height(102), 50);
  EXPECT_EQ(height(104), 0);
  EXPECT_EQ(height(106), 100);  // past full scale: full height
  EXPECT_EQ(height(108), 0);    // below zero: nothing
  EXPECT_EQ(image.pixelColor(100, 150).red(), 255);
}

TEST_F(RenderTest, AMouseClickOnAWidgetRaisesTheClick) {
  auto* button = HostWidget()->findChild<QWidget*>("control_light_status");
  ASSERT_NE(button, nullptr);
  const QPointF at(button->width() / 2.0, button->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(button, &press);
  QApplication::sendEvent(button, &release);
  EXPECT_EQ(wnd_->LightControl(), 0);
  EXPECT_EQ(wnd_->Window().FindControl("control_light_status")->TextKey(), "control_light_off");
}

// Runs the Qt loop until `widget` has been resized to `size` (at once when it has that size); the
// limit only turns a hang into a failure.
bool WaitForSize(QWidget* widget, QSize size) {
  if (widget->size() == size) return true;
  QEventLoop loop;
  struct Filter : QObject {
    Filter(QEventLoop& l, QSize s) : loop(l), want(s) {}
    bool eventFilter(QObject* o, QEvent* e) override {
      if (e->type() == QEvent::Resize && static_cast<QWidget*>(o)->size() == want) loop.quit();
      return false;
    }
    QEventLoop& loop;
    QSize want;
  } filter(loop, size);
  widget->installEventFilter(&filter);
  QTimer::singleShot(20000, &loop, &QEventLoop::quit);
  loop.exec();
  widget->removeEventFilter(&filter);
  return widget->size() == size;
}

TEST_F(RenderTest, Dpi144ScalesTheWindow) {
  // The start-up's layout timer picks the DPI for the monitor; on a slow run it would fire after
  // the DPI set here and put it back.
  frontend_->Loop().KillTimer(wnd_.get(), app::kTimerLayout);
  wnd_->Window().SetDpi(144);
  // The window system applies the new size asynchronously (one pass of the loop is not always
  // enough on a slow build): wait for the resize itself.
  ASSERT_TRUE(WaitForSize(HostWidget(), QSize(1200, 858))) << HostWidget()->width();
  EXPECT_EQ(HostWidget()->width(), 1200);
  EXPECT_EQ(HostWidget()->height(), 858);
  auto* close = HostWidget()->findChild<QWidget*>("closebtn");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->width(), 60);
  EXPECT_EQ(close->x() + close->width(), 1200);
}

// Waits (processing events) until pred() holds; false after the limit.
template <typename Pred>
bool ProcessUntil(Pred pred, int limit_ms = 5000) {
  for (int waited = 0; waited < limit_ms && !pred(); waited += 5) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(5);
  }
  return pred();
}

QMenu* OpenMenu() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (auto* menu = qobject_cast<QMenu*>(top); menu != nullptr && menu->isVisible()) return menu;
  }
  return nullptr;
}

TEST_F(RenderTest, TrayMenuOpensTheAboutWindowThenExits) {
  ASSERT_TRUE(resources_.LoadLanguage("lan_en.xml"));
  resources_.ReloadText();
  wnd_->OnTrayRightUp();
  ASSERT_TRUE(ProcessUntil([] { return OpenMenu() != nullptr; }));
  QMenu* menu = OpenMenu();
  QStringList items;
  for (QAction* a : menu->actions()) items << a->text();
  EXPECT_EQ(items, (QStringList{"Settings", "About", "Exit"}));
  menu->actions()[1]->trigger();
  ASSERT_TRUE(ProcessUntil([&] { return wnd_->AboutWindow() != nullptr; }));
  ui::Window* about = wnd_->AboutWindow();
  EXPECT_TRUE(about->IsVisible());
  ASSERT_TRUE(RenderWindowToPng(*about, "about_window.png"));
  EXPECT_EQ(QImage("about_window.png").size(), QSize(800, 572));
  // "exit" ends the program the orderly way.
  wnd_->OnTrayRightUp();
  ASSERT_TRUE(ProcessUntil([] { return OpenMenu() != nullptr; }));
  OpenMenu()->actions()[2]->trigger();
  ASSERT_TRUE(ProcessUntil([&] { return wnd_->Destroyed(); }));
  EXPECT_EQ(wnd_->AboutWindow(), nullptr);
  EXPECT_TRUE(frontend_->Loop().HasQuit());
}

TEST_F(RenderTest, MessageBoxRunsModallyAndAnswers) {
  ASSERT_TRUE(resources_.LoadLanguage("lan_en.xml"));
  bool rendered = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* host = dynamic_cast<ui::WindowHost*>(top);
      if (top->objectName() != "MsgWnd" || host == nullptr || !top->isVisible()) continue;
      rendered = top->grab().save("message_box.png", "PNG");
      EXPECT_EQ(top->width(), 400);
      // A click on the confirm button's widget answers the box.
      auto* confirm = top->findChild<QWidget*>("confirm_btn");
      ASSERT_NE(confirm, nullptr);
      const QPointF at(10, 10);
      QMouseEvent press(QEvent::MouseButtonPress, at, confirm->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
      QMouseEvent release(QEvent::MouseButtonRelease, at, confirm->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                          Qt::NoModifier);
      QApplication::sendEvent(confirm, &press);
      QApplication::sendEvent(confirm, &release);
    }
  });
  app::MessageBoxArgs args;
  args.owner = &wnd_->Window();
  args.text = "message_text_22";
  args.button_mode = 1;
  EXPECT_EQ(app::ShowMessageBox(*frontend_, resources_, factory_, args), 1);
  EXPECT_TRUE(rendered);
}

}  // namespace
}  // namespace brimvex::qt
