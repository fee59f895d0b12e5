// The keyboard's lights: the mode table of its light worker, the live frame, custom colours, the
// user-defined effect engine, the overlays and the key notices.
#include <algorithm>

#include "devices/effect_step.h"
#include "devices/keyboard_audio_effects.h"
#include "devices/keyboard_device.h"
#include "platform/trace.h"

namespace brimvex::devices {
namespace {

using D = COmbrixUSBDevice;
using hid::RESULT_FAILED;
using hid::RESULT_OK;
using platform::Millis;

constexpr std::array<std::uint8_t, 5> kThreshold{5, 4, 3, 2, 1};
constexpr std::size_t kStreamBytes = 3 * kKeyboardPageKeys;  // 378

template <int Mode>
constexpr D::LightModeRow Own(std::array<std::uint8_t, 5> threshold = kThreshold) {
  return {Mode, threshold, static_cast<void (D::*)()>(&COmbrixKeyboardDevice::template EffectStep<Mode>)};
}

// Mode index, threshold in keyboard ticks for speed 0..4, step.
const std::array<D::LightModeRow, 29> kKeyboardModes{{
    Own<1>(),
    Own<2>(),
    Own<3>(),
    {4, kThreshold, &D::PreviewSpectrum},
    {5, kThreshold, &D::PreviewBreathing},
    {6, kThreshold, &D::PreviewStatic},
    Own<7>(),
    Own<8>(),
    Own<9>(),
    Own<10>(),
    Own<11>(),
    Own<12>(),
    Own<13>(),
    Own<14>(),
    Own<15>(),
    Own<16>({4, 4, 4, 4, 4}),
    Own<17>({4, 4, 4, 4, 0}),
    Own<18>(),
    Own<19>(),
    Own<21>(),
    Own<22>(),
    {23, kThreshold, &D::PreviewBlink},
    Own<24>(),
    Own<25>(),
    {26, kThreshold, &D::PreviewBreathingFourColors},
    {27, kThreshold, &D::PreviewBlinkFourColors},
    {28, kThreshold, &D::PreviewOff},
    Own<29>({2, 2, 2, 2, 2}),
    Own<30>(),
}};

}  // namespace

template <int Mode>
void COmbrixKeyboardDevice::EffectStep() {
  if constexpr (Mode == kAudioMode) {
    // The band values the controller handed over, drawn by the audio mode.
    const AudioLightState a = GetAudioLightState();
    std::lock_guard lock(FrameLock());
    AudioStep(LightLocked(), AudioLookOf(a.mode, a.color), audio_bands_, effects_, FrameLocked());
    return;
  }
  std::lock_guard lock(FrameLock());
  KeyboardEffectStep(Mode, LightLocked(), effects_, FrameLocked());
}

std::array<std::uint8_t, 512> COmbrixKeyboardDevice::PositionedColors(const std::vector<Rgba>& frame,
                                                                      bool scaled) const {
  std::array<std::uint8_t, 512> bytes{};
  const auto& map1 = KeyIndexMap(1);
  for (int l = 0; l < kKeyboardPageKeys && static_cast<std::size_t>(l) < frame.size(); ++l) {
    const auto it = map1.find(l);
    if (it == map1.end() || it->second < 0 || it->second >= static_cast<int>(kMaxLeds)) continue;
    const Rgba& e = frame[static_cast<std::size_t>(l)];
    const auto at = static_cast<std::size_t>(3 * it->second);
    const auto c = [&](std::uint8_t v) { return scaled ? static_cast<std::uint8_t>(v * e.a / 256) : v; };
    bytes[at] = c(e.r);
    bytes[at + 1] = c(e.g);
    bytes[at + 2] = c(e.b);
  }
  return bytes;
}

bool COmbrixKeyboardDevice::StreamsFrame() const {
  // The host drives the keys in the audio and host-colour modes, and while the keyboard takes
  // part in synchronised lighting (whose worker paints the frame).
  const std::uint8_t mode = GetLightState().mode;
  const hid::CommandChannel& ch = CommandChannelRef();
  return HostLightControl() && ch.IsOpen() && (mode == kAudioMode || mode == kHostColorsMode || ch.LightSync());
}

int COmbrixKeyboardDevice::SendLedFrame() {
  if (!HostLightControl()) return RESULT_OK;
  const std::vector<Rgba> frame = FrameSnapshot();
  ShowFrameOnPage(frame);
  if (!StreamsFrame()) return RESULT_OK;
  const auto bytes = PositionedColors(frame, true);
  return StreamFrame(std::span<const std::uint8_t>(bytes.data(), kStreamBytes));
}

void COmbrixKeyboardDevice::SetCustomKeyColor(int light) {
  const LightInfo info = GetLightState();
  if (info.mode != kCustomColorsMode || light < 0 || static_cast<std::size_t>(light) >= LedCount()) return;
  SetLedColor(light, Rgba{info.red, info.green, info.blue, BrightnessLevel(info)});
  const std::vector<Rgba> frame = FrameSnapshot();
  std::vector<profiles::CustomColor> colors;
  for (const Rgba& e : frame) colors.push_back({e.r, e.g, e.b, e.a});
  profile_.SetCustomColors(colors, info.custom_group);
  SaveProfile();
  hid::CommandChannel& ch = CommandChannelRef();
  if (!ch.IsOpen() || ch.IsWireless() || !key_map_usable_) return;
  const auto bytes = PositionedColors(frame, false);
  const int result = ch.WriteKeyColors(std::span<const std::uint8_t>(bytes.data(), 3u * Info()[5]), info.custom_group);
  if (result != RESULT_OK) platform::Trace("自定义颜色写入失败: " + std::string(hid::ResultName(result)));
}

void COmbrixKeyboardDevice::FillCustomColors(bool on) {
  const LightInfo info = GetLightState();
  const Rgba color = on ? Rgba{info.red, info.green, info.blue, BrightnessLevel(info)} : Rgba{0, 0, 0, BrightnessLevel(info)};
  {
    std::lock_guard lock(FrameLock());
    std::fill(FrameLocked().begin(), FrameLocked().end(), color);
  }
  SendCustomColors();
  std::vector<profiles::CustomColor> colors(LedCount(), profiles::CustomColor{color.r, color.g, color.b, color.a});
  profile_.SetCustomColors(colors, info.custom_group);
  SaveProfile();
}

int COmbrixKeyboardDevice::SendCustomColors() {
  hid::CommandChannel& ch = CommandChannelRef();
  if (GetLightState().mode != kCustomColorsMode) return RESULT_OK;  // nothing to send
  if (!ch.IsOpen() || !key_map_usable_) return RESULT_FAILED;
  const auto bytes = PositionedColors(FrameSnapshot(), true);
  return ch.WriteKeyColors(std::span<const std::uint8_t>(bytes.data(), 3u * Info()[5]), 0);
}

void COmbrixKeyboardDevice::SelectCustomGroup(int group) {
  if (group < 0 || group > 255) return;
  profile_.SetCustomGroupIndex(group);
  LightInfo info = GetLightState();
  info.custom_group = static_cast<std::uint8_t>(group);
  SetLightInfo(info);
  profile_.SetLightInfo(info);
  SaveProfile();
}

int COmbrixKeyboardDevice::LoadCustomGroup() {
  RunModeStart(kCustomColorsMode);
  return SendCustomColors();
}

// --- Light worker and key notices ----------------------------------------------------------------

std::span<const COmbrixUSBDevice::LightModeRow> COmbrixKeyboardDevice::LightModeTable() const { return kKeyboardModes; }

Millis COmbrixKeyboardDevice::StepPeriod(int mode, int speed) {
  const auto row = std::find_if(kKeyboardModes.begin(), kKeyboardModes.end(),
                                [&](const LightModeRow& r) { return r.mode == mode; });
  if (row == kKeyboardModes.end()) return Millis(0);
  const std::uint8_t threshold = row->threshold[static_cast<std::size_t>(std::clamp(speed, 0, 4))];
  return std::max<std::uint8_t>(1, threshold) * kKeyboardLightTick;
}

void COmbrixKeyboardDevice::BeginCustomStep(Millis now) {
  // A step starts from its beginning: breathing dark, blinking lit.
  custom_step_began_ = now;
  custom_preview_ = PreviewState{};
  custom_preview_.blink_on = true;
  custom_preview_.blink_tick = static_cast<std::uint32_t>(now.count());
}

Millis COmbrixKeyboardDevice::CustomEffectStep() {
  const Millis now = Loop().Now();
  std::lock_guard lock(FrameLock());
  std::vector<profiles::EffectStep>& steps = CustomEffectsLocked();
  auto& frame = FrameLocked();
  if (steps.empty()) {
    devices::PreviewOff(frame);
    return platform::kInfinite;
  }
  int& position = CustomEffectPositionLocked();
  if (position < 0 || static_cast<std::size_t>(position) >= steps.size()) position = 0;
  if (EffectStepOver(steps[static_cast<std::size_t>(position)], (now - custom_step_began_).count())) {
    position = static_cast<int>((static_cast<std::size_t>(position) + 1) % steps.size());
    BeginCustomStep(now);
  }
  const profiles::EffectStep& step = steps[static_cast<std::size_t>(position)];
  PaintEffectStep(step, custom_preview_, static_cast<std::uint32_t>(now.count()), frame);
  return kThreshold[std::min<std::size_t>(step.speed, 4)] * kKeyboardLightTick;
}

Millis COmbrixKeyboardDevice::LightOverlayStep() {
  const auto now = static_cast<std::uint32_t>(Loop().Now().count());
  std::lock_guard frame_lock(FrameLock());
  std::lock_guard effect_lock(EffectLock());
  const auto& entries = PerLightEffectsLocked();
  if (std::none_of(entries.begin(), entries.end(), [](const profiles::LedEntry& e) { return e.present != 0; }))
    return platform::kInfinite;
  OverlayStep(entries, overlays_, now, FrameLocked());
  return kKeyboardLightTick;
}

void COmbrixKeyboardDevice::OnKeyNotice(int slot, bool pressed) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= held_.size()) return;
  held_[static_cast<std::size_t>(slot)].store(pressed);
  std::lock_guard lock(FrameLock());
  const std::uint8_t light = light_of_slot_[static_cast<std::size_t>(slot)];
  if (light != kNoCell) devices::KeyEvent(LightLocked().mode, light, pressed, effects_);
}

void COmbrixKeyboardDevice::KeyEvent(int key, int action) {
  std::lock_guard lock(FrameLock());
  devices::KeyEvent(LightLocked().mode, key, action == 1, effects_);
}

bool COmbrixKeyboardDevice::KeyHeld(int slot) const {
  return slot >= 0 && static_cast<std::size_t>(slot) < held_.size() && held_[static_cast<std::size_t>(slot)].load();
}

KeyboardEffectState COmbrixKeyboardDevice::EffectSnapshot() const {
  std::lock_guard lock(FrameLock());
  return effects_;
}

void COmbrixKeyboardDevice::AudioLevels(std::span<const int> values) {
  const std::size_t n = std::min(values.size(), audio_bands_.size());
  const bool beats =
      GetLightState().mode == kAudioMode && GetAudioLightState().mode % 256 == 2 && n == audio_bands_.size();
  // A beat: a press at LED position 51 for the reactive effects.
  int light = 51;
  for (const auto& [page_light, position] : KeyIndexMap(1))
    if (position == 51) light = page_light;
  // The light worker draws the bands under the same lock.
  std::lock_guard lock(FrameLock());
  std::copy_n(values.begin(), n, audio_bands_.begin());
  if (!beats) return;
  // 64-bit: a band can be as large as 2^31 - 1.
  std::int64_t sum = 0;
  for (int v : audio_bands_) {
    const std::int64_t scaled = static_cast<std::int64_t>(v) * 600 / 2000;
    sum += scaled > 600 ? 500 : 600 - scaled;
  }
  const auto average = static_cast<int>(sum / static_cast<std::int64_t>(audio_bands_.size()));
  audio_total_ += 25 - average * 25 / 600;
  if (audio_total_ < 71) return;
  audio_total_ = 0;
  devices::KeyEvent(kAudioMode, light, true, effects_);
}

void COmbrixKeyboardDevice::AudioColor(std::span<const int> values) {
  std::copy_n(values.begin(), std::min(values.size(), audio_colors_.size()), audio_colors_.begin());
}

}  // namespace brimvex::devices
