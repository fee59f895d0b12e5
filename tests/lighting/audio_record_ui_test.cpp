// The spectrum bars: values stored at once, repaints paced to the display, none while hidden.
#include "lighting/audio_record_ui.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless_event_loop.h"
#include "platform/ui/container.h"
#include "platform/ui/headless_frontend.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/window.h"

namespace brimvex::lighting {
namespace {

using platform::Millis;

class AudioRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto root = std::make_unique<ui::VerticalLayout>();
    auto group = std::make_unique<ui::VerticalLayout>();
    group->SetName("audio_group");
    bars_ = static_cast<CAudioRecordUI*>(group->Add(std::make_unique<CAudioRecordUI>()));
    group_ = root->Add(std::move(group));
    window_.AttachRoot(std::move(root));
    window_.SetHost(frontend_.CreateHost(window_, ui::WindowStyle{}));
    window_.Show(true);
  }
  std::vector<std::int32_t> Values(std::int32_t v) { return std::vector<std::int32_t>(500, v); }

  ui::HeadlessFrontend frontend_;
  ui::ResourceManager resources_;
  ui::Window window_{"MainWnd", &resources_, &frontend_.Loop()};
  CAudioRecordUI* bars_ = nullptr;
  ui::Control* group_ = nullptr;
};

TEST_F(AudioRecordTest, RepaintsAtMostOncePerDisplayRefresh) {
  auto& loop = frontend_.HeadlessLoop();
  ASSERT_EQ(window_.RefreshRate(), 60);  // 16 ms a refresh
  bars_->ShowValues(Values(100));
  EXPECT_EQ(bars_->RepaintCount(), 1);
  // Frames every 5 ms: stored at once, painted when the refresh is due, the last one included.
  for (int i = 1; i <= 6; ++i) {
    loop.AdvanceClock(Millis(5));
    bars_->ShowValues(Values(100 + i));
    EXPECT_EQ(bars_->Values()[0], 100 + i);
  }
  EXPECT_EQ(bars_->RepaintCount(), 2);
  loop.AdvanceClock(Millis(20));
  EXPECT_EQ(bars_->RepaintCount(), 3);
  // Nothing new: nothing to paint.
  bars_->ShowValues(Values(106));
  loop.AdvanceClock(Millis(100));
  EXPECT_EQ(bars_->RepaintCount(), 3);
  // 500 values at most; a short frame leaves the rest at 0.
  bars_->ShowValues(std::vector<std::int32_t>(600, 9));
  EXPECT_EQ(bars_->Values()[499], 9);
  bars_->ShowValues(std::vector<std::int32_t>(3, 9));
  EXPECT_EQ(bars_->Values()[3], 0);
}

TEST_F(AudioRecordTest, NeverRepaintsWhileHidden) {
  auto& loop = frontend_.HeadlessLoop();
  struct Case {
    const char* what;
    std::function<void()> hide;
    std::function<void()> show;
  };
  const Case cases[] = {
      {"window hidden", [&] { window_.Show(false); }, [&] { window_.Show(true); }},
      {"window minimised", [&] { window_.Minimize(); }, [&] { window_.Restore(); }},
      {"its group hidden", [&] { group_->SetVisible(false); }, [&] { group_->SetVisible(true); }},
  };
  std::int32_t v = 1;
  for (const auto& c : cases) {
    loop.AdvanceClock(Millis(100));
    c.hide();
    const int before = bars_->RepaintCount();
    bars_->ShowValues(Values(++v));
    loop.AdvanceClock(Millis(100));
    EXPECT_EQ(bars_->RepaintCount(), before) << c.what;
    EXPECT_EQ(bars_->Values()[0], v) << c.what;  // kept for when it shows again
    c.show();
    bars_->ShowValues(Values(++v));
    EXPECT_EQ(bars_->RepaintCount(), before + 1) << c.what;
  }
}

}  // namespace
}  // namespace brimvex::lighting
