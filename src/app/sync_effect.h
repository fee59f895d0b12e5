#pragma once
// The effect steps of synchronised lighting, as plain arithmetic: one effect type (breathing,
// static, blink, spectrum, off) over the shared colour wheel, breathing curve and brightness
// levels, stepped every few ticks of devices::kLightTickPeriod by the speed setting. Each step
// gives the one colour every taking-part device shows, packed as R in bits 0-7, G 8-15, B 16-23
// and the brightness in 24-31. Also the table that maps a device kind's light modes to the
// effect types and back.
#include <array>
#include <cstdint>
#include <optional>

namespace brimvex::app {

enum class SyncType : std::uint8_t { kBreathing = 0, kStatic = 1, kBlink = 2, kSpectrum = 3, kOff = 4 };

// The sync type a device kind's light mode stands for, or nullopt (the mode does not synchronise).
std::optional<SyncType> SyncTypeOfMode(int kind, int mode);
// The light mode of a device kind for a sync type (nullopt for a kind without lights).
std::optional<int> ModeOfSyncType(int kind, SyncType type);

struct SyncSettings {
  SyncType type = SyncType::kOff;
  std::uint8_t brightness = 0;  // 0..4
  std::uint8_t speed = 0;       // 0..4
  std::uint8_t direction = 0;
  std::uint8_t multi_color = 0;
  std::uint8_t red = 0, green = 0, blue = 0;
};

// Effect ticks per step for speed 0..4 (the same row for every type).
inline constexpr std::array<std::uint8_t, 5> kSyncSpeedTable{28, 23, 18, 13, 7};

class SyncEffect {
 public:
  // `start_ms` is the tick clock when the effect starts (the blink counts from there).
  SyncEffect(const SyncSettings& settings, std::uint32_t start_ms);
  // Ticks between two steps for the speed setting (speeds past 4 read as 4).
  std::uint32_t TicksPerStep() const;
  // One step at `now_ms`; the colour to show.
  std::uint32_t Step(std::uint32_t now_ms);
  const SyncSettings& Settings() const { return settings_; }

 private:
  SyncSettings settings_;
  std::uint8_t phase_ = 0;       // breathing phase, 0..127
  std::uint8_t wheel_ = 0;       // colour-wheel position, 0..191
  std::uint8_t blink_color_ = 0;  // blink colour position, 0..191
  bool blink_on_ = false;
  std::uint32_t last_toggle_ms_;
};

}  // namespace brimvex::app
