#include "lighting/audio_record_ui.h"

#include <algorithm>

#include "platform/ui/container.h"
#include "platform/ui/window.h"

namespace brimvex::lighting {

bool CAudioRecordUI::Showing() const {
  const ui::Window* window = GetWindow();
  if (window == nullptr || window->Loop() == nullptr || !window->IsVisible() || window->IsMinimized()) return false;
  for (const ui::Control* c = this; c != nullptr; c = c->Parent())
    if (!c->IsVisible()) return false;
  return true;
}

platform::Millis CAudioRecordUI::Interval() const {
  return platform::Millis(1000 / std::max(GetWindow()->RefreshRate(), 1));
}

void CAudioRecordUI::ShowValues(std::span<const std::int32_t> values) {
  if (!SetValues(values) || !Showing()) return;
  const platform::Millis now = GetWindow()->Loop()->Now();
  const platform::Millis wait = last_repaint_ + Interval() - now;
  if (wait <= platform::Millis(0)) {
    Repaint(now);
    return;
  }
  // Too soon: the latest values are painted once the refresh is due.
  pending_ = true;
  if (!timer_armed_) timer_armed_ = GetWindow()->SetTimer(this, kRepaintTimer, wait);
}

void CAudioRecordUI::OnTimer(std::uint32_t id) {
  if (id != kRepaintTimer) return ui::SpectrumBars::OnTimer(id);
  GetWindow()->KillTimer(this, kRepaintTimer);
  timer_armed_ = false;
  if (pending_ && Showing()) Repaint(GetWindow()->Loop()->Now());
  pending_ = false;
}

void CAudioRecordUI::Repaint(platform::Millis now) {
  last_repaint_ = now;
  pending_ = false;
  ++repaints_;
  RepaintBars();
}

}  // namespace brimvex::lighting
