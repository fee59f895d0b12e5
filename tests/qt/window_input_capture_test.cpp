// The window capture fed Qt key and mouse events with their native scan codes: the set-1 pairs
// it hands on, which keys it consumes, repeats, and the releases it makes up on focus loss.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/paths.h"
#include "platform/qt/qt_frontend.h"
#include "platform/qt/window_input_capture.h"
#include "platform/set1_scan.h"

namespace brimvex::qt {
namespace {

using platform::KeyRecord;
using platform::MouseRecord;

class WindowCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::GetEnv("QT_QPA_PLATFORM")) platform::SetEnv("QT_QPA_PLATFORM", "offscreen");
    frontend_ = CreateQtFrontend("Brimvex", platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/skin/", nullptr);
    ASSERT_NE(frontend_, nullptr);
    capture_ = std::make_unique<WindowInputCapture>(frontend_->Loop());
    widget_ = std::make_unique<QWidget>();
    widget_->resize(100, 100);
    widget_->show();
    platform::CaptureSink sink;
    sink.key = [this](const KeyRecord& r) { keys_.push_back(r); };
    sink.mouse = [this](const MouseRecord& r) { mice_.push_back(r); };
    ASSERT_TRUE(capture_->Start(sink, true, true));
  }
  void TearDown() override {
    capture_.reset();
    widget_.reset();
    frontend_.reset();
  }
  std::unique_ptr<ui::Frontend> frontend_;
  std::unique_ptr<WindowInputCapture> capture_;
  std::unique_ptr<QWidget> widget_;
  std::vector<KeyRecord> keys_;
  std::vector<MouseRecord> mice_;
};

TEST(Set1Scan, LinuxCodesGiveTheHooksPairs) {
  struct Case {
    int code;
    std::optional<platform::Set1Scan> scan;
  };
  const Case cases[] = {
      {30, platform::Set1Scan{0x1E, false}},  // A
      {54, platform::Set1Scan{0x36, true}},   // Right Shift
      {69, platform::Set1Scan{0x45, true}},   // Num Lock
      {119, platform::Set1Scan{0x45, false}}, // Pause
      {96, platform::Set1Scan{0x1C, true}},   // keypad Enter
      {28, platform::Set1Scan{0x1C, false}},  // Enter
      {125, platform::Set1Scan{0x5B, true}},  // Left Super
      {113, std::nullopt},                    // KEY_MUTE: no macro key
      {0, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::Set1ScanOf(c.code), c.scan) << c.code;
}

TEST_F(WindowCapture, KeysAreRecordedAndConsumedButTheLockKeys) {
  struct Case {
    int code;
    bool consumed;
    KeyRecord record;
  };
  const Case cases[] = {
      {30, true, {'A', 0x1E, false, true, {}}},
      {96, true, {0x0D, 0x1C, true, true, {}}},
      {58, false, {0x14, 0x3A, false, true, {}}},  // Caps Lock switches still
      {69, false, {0x90, 0x45, true, true, {}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    keys_.clear();
    QKeyEvent e(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, static_cast<quint32>(c.code + 8), 0, 0);
    const bool delivered = !capture_->eventFilter(widget_.get(), &e);
    EXPECT_EQ(!delivered, c.consumed);
    ASSERT_EQ(keys_.size(), 1u);
    KeyRecord r = keys_[0];
    r.time = {};
    EXPECT_EQ(r, c.record);
  }
}

TEST_F(WindowCapture, RepeatsArePressesOnlyAndFocusLossReleasesWhatIsHeld) {
  auto send = [&](QEvent::Type t, int code, bool repeat) {
    QKeyEvent e(t, Qt::Key_unknown, Qt::NoModifier, static_cast<quint32>(code + 8), 0, 0, QString(), repeat);
    capture_->eventFilter(widget_.get(), &e);
  };
  send(QEvent::KeyPress, 30, false);
  send(QEvent::KeyRelease, 30, true);
  send(QEvent::KeyPress, 30, true);
  send(QEvent::KeyPress, 42, false);  // Left Shift, still held
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::BackButton, Qt::BackButton, Qt::NoModifier);
  capture_->eventFilter(widget_.get(), &press);
  QEvent deactivate(QEvent::ApplicationDeactivate);
  capture_->eventFilter(qApp, &deactivate);
  std::vector<std::pair<int, bool>> keys;
  for (const auto& k : keys_) keys.emplace_back(k.scan, k.press);
  EXPECT_EQ(keys, (std::vector<std::pair<int, bool>>{{0x1E, true}, {0x1E, true}, {0x2A, true}, {0x1E, false}, {0x2A, false}}));
  ASSERT_EQ(mice_.size(), 2u);
  EXPECT_EQ(mice_[0].message, 0x020Bu);
  EXPECT_EQ(mice_[0].extra_button, 1);
  EXPECT_EQ(mice_[1].message, 0x020Cu);
  capture_->Stop();
  send(QEvent::KeyPress, 31, false);
  EXPECT_EQ(keys_.size(), 5u) << "nothing once stopped";
}

}  // namespace
}  // namespace brimvex::qt
