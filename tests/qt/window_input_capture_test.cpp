// The window capture fed Qt key and mouse events with their native scan codes: the set-1 pairs
// it hands on, which keys it consumes, repeats, and the releases it makes up on focus loss.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <chrono>

#include "platform/paths.h"
#include "platform/qt/qt_frontend.h"
#include "platform/qt/window_input_capture.h"

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

TEST_F(WindowCapture, KeysAreRecordedAndConsumedButTheLockKeys) {
  struct Case {
    int code;
    bool consumed;
    std::optional<KeyRecord> record;
  };
  const Case cases[] = {
      {30, true, KeyRecord{'A', 0x1E, false, true, {}, 30}},
      {96, true, KeyRecord{0x0D, 0x1C, true, true, {}, 96}},     // keypad Enter
      {54, true, KeyRecord{0xA1, 0x36, true, true, {}, 54}},     // Right Shift
      {119, true, KeyRecord{0x13, 0x45, false, true, {}, 119}},  // Pause
      {92, true, KeyRecord{0, 0x79, false, true, {}, 92}},       // Henkan: no virtual-key code
      {58, false, KeyRecord{0x14, 0x3A, false, true, {}, 58}},   // Caps Lock switches still
      {69, false, KeyRecord{0x90, 0x45, true, true, {}, 69}},
      {113, true, std::nullopt},  // Mute: no macro key, still consumed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    keys_.clear();
    QKeyEvent e(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, static_cast<quint32>(c.code + 8), 0, 0);
    const bool delivered = !capture_->eventFilter(widget_.get(), &e);
    EXPECT_EQ(!delivered, c.consumed);
    ASSERT_EQ(keys_.size(), c.record ? 1u : 0u);
    if (!c.record) continue;
    KeyRecord r = keys_[0];
    r.time = {};
    EXPECT_EQ(r, *c.record);
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


TEST_F(WindowCapture, RecordsLieAsFarApartAsTheEventsStamps) {
  // X server stamps: CLOCK_MONOTONIC milliseconds in 32 bits, the latest a second ago.
  const auto monotonic = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch()).count();
  const long long offsets[] = {-1900, -1893, -1500, -1499, -1000};
  std::vector<long long> placed;
  for (std::size_t k = 0; k < std::size(offsets); ++k) {
    const quint64 stamp = static_cast<std::uint32_t>(monotonic + offsets[k]);
    if (k == 3) {
      QMouseEvent e(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton, Qt::RightButton, Qt::NoModifier);
      e.setTimestamp(stamp);
      capture_->eventFilter(widget_.get(), &e);
      ASSERT_EQ(mice_.size(), 1u);
      placed.push_back(mice_.back().time.count());
      continue;
    }
    QKeyEvent e(k % 2 == 0 ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, 30 + 8, 0, 0);
    e.setTimestamp(stamp);
    capture_->eventFilter(widget_.get(), &e);
    ASSERT_FALSE(keys_.empty());
    placed.push_back(keys_.back().time.count());
  }
  std::vector<long long> pauses;
  for (std::size_t k = 1; k < placed.size(); ++k) pauses.push_back(placed[k] - placed[k - 1]);
  EXPECT_EQ(pauses, (std::vector<long long>{7, 393, 1, 499}));
  EXPECT_LE(placed.back(), frontend_->Loop().Now().count() - 990) << "placed when they happened";
}

}  // namespace
}  // namespace brimvex::qt
