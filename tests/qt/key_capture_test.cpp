// Key presses reach the model through the Qt window: the keyboard page shown in a Qt window takes
// Shift and A, sent as Qt key events with their X11 scan codes, into its key editor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "appearance/font_table.h"
#include "devices/device_classes.h"
#include "devices/key_set_control_ui.h"
#include "lighting/audio_record_ui.h"
#include "lighting/light_control_ui.h"
#include "macros/macro_control_ui.h"
#include "platform/paths.h"
#include "platform/qt/qt_frontend.h"
#include "platform/qt/window_host_widget.h"
#include "platform/qt/window_input_capture.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/window.h"

namespace brimvex::qt {
namespace {

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

// X11 key codes: the Linux key code plus 8.
constexpr quint32 kScanLeftShift = 42 + 8;
constexpr quint32 kScanA = 30 + 8;

class KeyCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::GetEnv("QT_QPA_PLATFORM")) platform::SetEnv("QT_QPA_PLATFORM", "offscreen");
    frontend_ = CreateQtFrontend("Brimvex", Resources() + "skin/", nullptr);
    ASSERT_NE(frontend_, nullptr);
    ASSERT_TRUE(resources_.LoadResource(Resources() + "skin/"));
    resources_.SetLanguageFolder(Resources() + "lang/");
    ASSERT_TRUE(resources_.LoadLanguage("lan_en.xml"));
    factory_.Register("CSelectPanelUI", devices::SelectPanelCreator());
    factory_.Register("CDeviceKeyButtonUI", devices::DeviceKeyButtonCreator());
    factory_.Register("CKeySetControlUI", devices::KeySetControlCreator());
    factory_.Register("CLightControlUI", [] { return std::make_unique<lighting::CLightControlUI>(); });
    factory_.Register("CAudioRecordUI", [] { return std::make_unique<lighting::CAudioRecordUI>(); });
    factory_.Register("CMacroControlUI", [] { return std::make_unique<macros::CMacroControlUI>(); });
    ui::DialogBuilder builder(resources_, factory_);
    auto page = builder.Create("XML/DeviceXml/keyboarddevice.xml");
    ASSERT_TRUE(page) << page.error;
    // The main window's font table and background.
    appearance::RebuildFontTable(resources_, appearance::kLatinFace);
    page.root->SetBkColor(0xFF14171D);
    // The page beside the profile list.
    window_.SetAttributes(ui::WindowAttributes{650, 433, 0, "Keyboard"});
    window_.AttachRoot(std::move(page.root));
    editor_ = window_.Find<devices::CKeySetControlUI>("KeySetControlItem");
    ASSERT_NE(editor_, nullptr);
    editor_->SetDeviceKind(devices::kDeviceKeyboard);
    window_.SetKeyPressHandler([this](const ui::KeyPress& press) {
      seen_.push_back(press.linux_code);
      return editor_->CaptureLinuxKey(press.linux_code) != devices::CKeySetControlUI::Capture::kNotShown;
    });
    window_.SetHost(frontend_->CreateHost(window_, {}));
    window_.Show();
    QApplication::processEvents();
  }
  void TearDown() override { window_.SetHost(nullptr); }

  QWidget* Host() { return dynamic_cast<QWidget*>(window_.Host()); }
  bool Press(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers, quint32 scan) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, scan, 0, 0);
    QApplication::sendEvent(to, &press);
    return press.isAccepted();
  }

  std::unique_ptr<ui::Frontend> frontend_;
  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
  ui::Window window_{"KeyboardPage", &resources_, nullptr};
  devices::CKeySetControlUI* editor_ = nullptr;
  std::vector<int> seen_;
};

TEST_F(KeyCapture, ShiftAndAFromQtKeyEventsReachTheEditor) {
  editor_->Load(devices::KeyEntry{0, {0x20, 0x00, 0x29}, 0, {0x20, 0x00, 0x29}});
  auto* functions = window_.Find<ui::Combo>("keyset_function_combo");
  for (std::size_t i = 0; i < functions->Count(); ++i)
    if (functions->ChildAt(i)->UserData() == "6") functions->SelectItem(static_cast<int>(i));
  editor_->OnFunctionSelected();
  QApplication::processEvents();
  ASSERT_TRUE(editor_->CaptureShown());

  // Sent to a child widget of the window, as to whatever has the focus.
  QWidget* child = Host()->findChild<QWidget*>("key_64");
  ASSERT_NE(child, nullptr);
  Press(child, Qt::Key_Shift, Qt::ShiftModifier, kScanLeftShift);
  Press(Host(), Qt::Key_A, Qt::ShiftModifier, kScanA);
  EXPECT_EQ(seen_, (std::vector<int>{42, 30}));
  EXPECT_EQ(editor_->SelectedModifierBox(), 2);
  EXPECT_EQ(editor_->KeyName(), "A");
  EXPECT_EQ(editor_->Compose().current, (devices::KeyCode{0x20, 0x02, 0x04}));

  // Auto-repeat and keys without a scan code are not handed over.
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, kScanA, 0, 0, QString(), true);
  QApplication::sendEvent(Host(), &repeat);
  QKeyEvent no_scan(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, 0, 0, 0);
  QApplication::sendEvent(Host(), &no_scan);
  EXPECT_EQ(seen_.size(), 2u);

  // The lights show as rings around the key caps.
  for (int i = 0; i < 126; ++i) {
    auto* light = window_.Find<ui::LiveColorButton>("light_" + std::to_string(i));
    light->SetLiveColor(0xFFFF2020);
    light->RepaintLive();
  }
  const std::string png = "keyboard_page.png";  // kept in the test's folder for a look
  ASSERT_TRUE(RenderWindowToPng(window_, png));
  const QImage image(QString::fromStdString(png));
  ASSERT_FALSE(image.isNull());
  const QWidget* esc = Host()->findChild<QWidget*>("key_0");
  const QPoint cap = esc->mapTo(Host(), QPoint(2, 2));
  const QPoint ring = esc->mapTo(Host(), QPoint(-1, esc->height() / 2));
  EXPECT_GT(image.pixelColor(ring).red(), 200);
  EXPECT_LT(image.pixelColor(ring).green(), 80);
  EXPECT_LT(image.pixelColor(cap).red(), 120) << "the cap stays dark";
}

TEST_F(KeyCapture, TheStopButtonIsFoundInTheWindowsOwnCoordinates) {
  // The macro editor's page in front with its stop button shown, as while recording.
  ui::Control* button = window_.FindControl("macro_btn_stopredio");
  ASSERT_NE(button, nullptr);
  for (ui::Control* c = button; c != nullptr; c = c->Parent()) {
    c->SetVisible(true);
    if (auto* tabs = dynamic_cast<ui::TabLayout*>(c->Parent())) tabs->SelectItem(tabs->IndexOf(c));
  }
  QApplication::processEvents();
  QWidget* stop = Host()->findChild<QWidget*>("macro_btn_stopredio");
  ASSERT_NE(stop, nullptr);
  ASSERT_TRUE(stop->isVisible());
  WindowInputCapture capture(frontend_->Loop());
  std::vector<platform::MouseRecord> seen;
  platform::CaptureSink sink;
  sink.mouse = [&](const platform::MouseRecord& r) { seen.push_back(r); };
  ASSERT_TRUE(capture.Start(sink, false, true));
  struct Case {
    QWidget* to;
    Qt::MouseButton button;
    std::uint32_t message;
    bool over;
  };
  QWidget* other = Host()->findChild<QWidget*>("key_64");
  ASSERT_NE(other, nullptr);
  const Case cases[] = {
      {stop, Qt::LeftButton, 0x0201, true},
      {stop, Qt::RightButton, 0x0204, true},
      {other, Qt::LeftButton, 0x0201, false},
  };
  for (const Case& c : cases) {
    seen.clear();
    const QPointF at(c.to->width() / 2.0, c.to->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, c.to->mapToGlobal(at), c.button, c.button, Qt::NoModifier);
    QApplication::sendEvent(c.to, &press);
    ASSERT_EQ(seen.size(), 1u) << c.message;
    EXPECT_EQ(seen[0].message, c.message);
    EXPECT_EQ(seen[0].over_stop_button, c.over) << c.message;
  }
}

TEST_F(KeyCapture, EveryLabelFitsItsControlInBothLanguages) {
  auto* host = dynamic_cast<WindowHostWidget*>(window_.Host());
  ASSERT_NE(host, nullptr);
  const auto check = [&](const std::vector<std::string>& labels) {
    for (const std::string& name : labels) {
      const ui::Control* c = window_.FindControl(name);
      ASSERT_NE(c, nullptr) << name;
      const QWidget* widget = Host()->findChild<QWidget*>(QString::fromStdString(name));
      ASSERT_NE(widget, nullptr) << name;
      const QFontMetrics metrics(host->FontFor(c->FontId()));
      const QRect text = metrics.boundingRect(QRect(QPoint(0, 0), widget->size()), Qt::AlignCenter | Qt::TextWordWrap,
                                              QString::fromStdString(c->Text()));
      EXPECT_LE(text.width(), widget->width()) << resources_.Language() << " " << name << " \"" << c->Text() << "\"";
      EXPECT_LE(text.height(), widget->height()) << resources_.Language() << " " << name << " \"" << c->Text() << "\"";
    }
  };
  // The key caps, then the system settings below the picture.
  std::vector<std::string> caps;
  for (int i = 0; i < 126; ++i) caps.push_back("key_" + std::to_string(i));
  caps.push_back("keyboard_extra_keys");
  std::vector<std::string> system = {"6flag_option", "wflag_option", "winlockflag_option", "reset_repeat_btn"};
  for (int i = 0; i < 4; ++i) {
    system.push_back("repeat_delay_check_" + std::to_string(i));
    system.push_back("polling_rate_option_" + std::to_string(i));
  }
  for (const auto& [page, labels] : {std::pair{0, caps}, std::pair{3, system}}) {
    window_.Find<ui::TabLayout>("device_function_switch")->SelectItem(page);
    for (const char* language : {"lan_en.xml", "lan_cn.xml"}) {
      ASSERT_TRUE(resources_.LoadLanguage(language));
      resources_.SetLanguage(language);
      resources_.ReloadText();
      QApplication::processEvents();
      check(labels);
    }
  }
}

}  // namespace
}  // namespace brimvex::qt
