#pragma once
// CAudioRecordUI ("AudioRecord" in the skin): the spectrum of the last frame as bars. New values
// are stored at once; the window is asked to repaint at most once per display refresh, and not at
// all while the bars are hidden (their window hidden or minimised, they or a parent invisible) —
// whatever shows them later paints the values they hold then.
#include <cstdint>
#include <span>

#include "platform/event.h"
#include "platform/ui/controls.h"

namespace brimvex::lighting {

// The bars of the light editor's audio page.
inline constexpr const char* kAudioBarsName = "audio_record_bars";

class CAudioRecordUI : public ui::SpectrumBars {
 public:
  static constexpr std::uint32_t kRepaintTimer = 1;

  CAudioRecordUI() : ui::SpectrumBars("AudioRecord") {}

  void ShowValues(std::span<const std::int32_t> values);
  // Whether the bars can be seen now.
  bool Showing() const;
  // How many repaints were asked for (tests).
  int RepaintCount() const { return repaints_; }

  void OnTimer(std::uint32_t id) override;

 private:
  platform::Millis Interval() const;
  void Repaint(platform::Millis now);

  platform::Millis last_repaint_{-1000000};
  bool pending_ = false;
  bool timer_armed_ = false;
  int repaints_ = 0;
};

}  // namespace brimvex::lighting
