// The mouse's writes (settings record, key map, macro block, recoil block), its macro keys and
// its own light effects.
#include <algorithm>

#include "devices/device_transaction.h"
#include "devices/key_slots.h"
#include "devices/macro_block.h"
#include "devices/mouse_device.h"
#include "platform/trace.h"

namespace brimvex::devices {
namespace {

using hid::RESULT_FAILED;
using hid::RESULT_OK;
using profiles::KeyEntry;

// The mouse's 15 lights in seven groups around its shell, for the wave and reactive effects.
constexpr std::array<std::array<int, 3>, 7> kLedGroups{{
    {0, 1, 2}, {3, 4, -1}, {5, 6, -1}, {7, 8, -1}, {9, 10, -1}, {11, 12, -1}, {13, 14, -1}}};
constexpr std::uint8_t kWheelLimit = 192;
constexpr std::uint8_t kGlowStep = 15;

}  // namespace

void COmbrixMouseDevice::RepairMacroKeys() {
  LoadNameLists();
  if (ResetUnknownMacroKeys(key_list_, MacroCount())) {
    profile_.SetKeyList(key_list_);
    SaveProfile();
  }
  LoadNameLists();
}

MouseRecordInput COmbrixMouseDevice::RecordInput() const {
  auto& profile = const_cast<profiles::CMouseProfiledata&>(profile_);
  MouseRecordInput in;
  in.light = profile.GetLightInfo();
  in.stages = stages_;
  in.active_stage = active_stage_;
  in.report_rate_index = pointer_.report_rate_index;
  in.corrections = profile.GetCorrections();
  return in;
}

int COmbrixMouseDevice::WriteSettings(int profile, int value, int flag, int width, int height) {
  if (profile < 0 || (profile + 1) * static_cast<int>(kMouseRecordSpacing) > 0xFFFF) return RESULT_FAILED;
  MouseRecordInput in = RecordInput();
  in.value = static_cast<std::uint8_t>(value);
  in.flag = static_cast<std::uint8_t>(flag);
  in.screen_width = static_cast<std::uint16_t>(std::clamp(width, 0, 0xFFFF));
  in.screen_height = static_cast<std::uint16_t>(std::clamp(height, 0, 0xFFFF));
  const MouseRecord record = BuildMouseRecord(in, LightModes());
  hid::CommandChannel& ch = CommandChannelRef();
  StepGate gate(ch, true);
  const int result = RunTransaction(ch, gate, [&] {
    return gate.Step(
        [&] { return ch.WriteParam(record, static_cast<std::uint16_t>(profile * static_cast<int>(kMouseRecordSpacing))); });
  });
  if (result == RESULT_OK) std::copy(record.begin(), record.end(), record_.begin());
  return result;
}

std::vector<int> COmbrixMouseDevice::CollectUsedMacros() {
  return UsedMacros(key_list_, kMousePageKeys, [this](int j) { return KeySlotOf(j); }, MacroCount());
}

int COmbrixMouseDevice::WriteKeyMap(const std::vector<KeyEntry>& keys) {
  hid::CommandChannel& ch = CommandChannelRef();
  if (!ch.IsOpen() || !key_map_usable_) return RESULT_FAILED;
  std::lock_guard lock(ch.CommandLock());
  StepGate gate(ch, true);
  hid::InfoBlock info{};
  if (const int r = gate.Step([&] { return ch.ReadInfo(info); }); r != RESULT_OK) return r;
  const std::size_t n = 3u * info[5];
  if (n != ch.KeyMapSize()) {
    platform::Trace("鼠标按键数已变化，未写键位表");
    return RESULT_FAILED;
  }
  const KeyMapBytes block =
      BuildKeyMapBlock(key_map_, keys, kMousePageKeys, [this](int j) { return KeySlotOf(j); }, MacroCount());
  const int result = RunTransaction(ch, gate, [&] {
    return gate.Step([&] { return ch.WriteKeyMap(std::span<const std::uint8_t>(block.data(), n), 0); });
  });
  if (result == RESULT_OK) key_map_ = block;
  return result;
}

int COmbrixMouseDevice::WriteProfileKeyMap() { return WriteKeyMap(std::vector<KeyEntry>(key_list_)); }

int COmbrixMouseDevice::WriteMacros(const std::vector<int>& macro_indexes) {
  hid::CommandChannel& ch = CommandChannelRef();
  std::lock_guard lock(ch.CommandLock());
  StepGate gate(ch, true);
  hid::InfoBlock info = Info();
  if (ch.IsOpen()) {
    if (const int r = gate.Step([&] { return ch.ReadInfo(info); }); r != RESULT_OK) return BlockWriteFailure(r);
    Info() = info;
    info_copy_ = info;
  }
  const auto names = Macros().Names();
  if (!names || macro_indexes.empty()) return 0;
  if (!ch.IsOpen()) return hid::RESULT_SEND_FAILED;
  std::vector<std::vector<macros::MacroEvent>> events;
  events.reserve(macro_indexes.size());
  for (int index : macro_indexes) events.push_back(Macros().Events(index));
  const MacroBlock block = BuildMacroBlock(events, static_cast<std::size_t>(info[6]) * 128);
  if (block.result != 0) return block.result;
  const int result = RunTransaction(ch, gate, [&] { return gate.Step([&] { return ch.WriteMacros(block.bytes); }); });
  return result == RESULT_OK ? 0 : BlockWriteFailure(result);
}

void COmbrixMouseDevice::SetRecoilSource(std::shared_ptr<const macros::RecoilSource> source) {
  recoil_ = std::move(source);
}

RecoilWrite COmbrixMouseDevice::WriteShootData() {
  RecoilWrite out;
  const auto source = recoil_ ? recoil_ : RecoilFolder(DataFolder());
  // Counted before anything is sent: a block the mouse cannot hold never goes out.
  RecoilBlock block = BuildRecoilBlock(*source);
  out.length = block.length;
  if (block.result != 0) {
    out.result = block.result;
    platform::Trace("压枪数据过大: " + std::to_string(block.length) + " > " + std::to_string(out.limit));
    return out;
  }
  hid::CommandChannel& ch = CommandChannelRef();
  if (!ch.IsOpen()) {
    out.result = hid::RESULT_SEND_FAILED;
    return out;
  }
  std::lock_guard lock(ch.CommandLock());
  StepGate gate(ch, true);
  hid::InfoBlock info{};
  if (const int r = gate.Step([&] { return ch.ReadInfo(info); }); r != RESULT_OK) {
    out.result = BlockWriteFailure(r);
    return out;
  }
  Info() = info;
  info_copy_ = info;
  const int result = RunTransaction(ch, gate, [&] { return gate.Step([&] { return ch.WriteShoot(block.bytes); }); });
  out.result = result == RESULT_OK ? 0 : BlockWriteFailure(result);
  return out;
}

// --- Light effects ------------------------------------------------------------------------------

void COmbrixMouseDevice::DeviceEffect1() {
  std::lock_guard lock(FrameLock());
  const LightInfo& light = LightLocked();
  auto& frame = FrameLocked();
  const std::uint8_t level = BrightnessLevel(light);
  const bool seven = light.multi_color != 0;
  const std::uint32_t limit = seven ? kWheelLimit : static_cast<std::uint32_t>(WaveCurve().size());
  wave_phase_ = (wave_phase_ + 1) % limit;
  for (std::size_t g = 0; g < kLedGroups.size(); ++g) {
    const std::uint32_t at = (wave_phase_ + 7 * static_cast<std::uint32_t>(g)) % limit;
    Rgba c;
    if (seven) {
      const Rgb w = ColorWheel()[at];
      c = Rgba{w.r, w.g, w.b, level};
    } else {
      c = Rgba{light.red, light.green, light.blue,
               static_cast<std::uint8_t>(WaveCurve()[at] * level / 255)};
    }
    for (int led : kLedGroups[g])
      if (led >= 0 && static_cast<std::size_t>(led) < frame.size()) frame[static_cast<std::size_t>(led)] = c;
  }
}

void COmbrixMouseDevice::DeviceEffect2() {
  const int direction = [&] {
    std::lock_guard lock(FrameLock());
    return static_cast<int>(LightLocked().direction);
  }();
  SeedReactiveLevels();
  RotateWaveRow(direction);
  for (std::size_t i = 0; i < kLedGroups.size(); ++i) DecayReactiveLevel(i, GetLightState().mode);
  std::lock_guard lock(FrameLock());
  const LightInfo& light = LightLocked();
  auto& frame = FrameLocked();
  const auto& levels = ReactiveLocked().level;
  wave_phase_ = (wave_phase_ + 1) % 256;
  for (std::size_t g = 0; g < kLedGroups.size(); ++g) {
    Rgb color{light.red, light.green, light.blue};
    if (light.multi_color != 0) color = ColorWheel()[(wave_phase_ + 12 * g) % 256];
    const auto alpha = static_cast<std::uint8_t>(levels[g] * BrightnessLevel(light) / 255);
    for (int led : kLedGroups[g])
      if (led >= 0 && static_cast<std::size_t>(led) < frame.size())
        frame[static_cast<std::size_t>(led)] = Rgba{color.r, color.g, color.b, alpha};
  }
}

void COmbrixMouseDevice::DeviceEffect3() {
  std::lock_guard lock(FrameLock());
  const LightInfo& light = LightLocked();
  auto& frame = FrameLocked();
  for (std::uint8_t& g : glow_) {
    if (glow_rising_) {
      g = static_cast<std::uint8_t>(std::min(255, g + kGlowStep));
    } else {
      g = static_cast<std::uint8_t>(std::max(0, g - kGlowStep));
    }
  }
  if (glow_rising_ && glow_[0] == 255) glow_rising_ = false;
  for (std::size_t i = 0; i < frame.size() && i < glow_.size(); ++i)
    frame[i] = Rgba{light.red, light.green, light.blue, static_cast<std::uint8_t>(glow_[i] * BrightnessLevel(light) / 255)};
}

std::array<std::uint8_t, kMouseLights> COmbrixMouseDevice::GlowLevels() const {
  std::lock_guard lock(FrameLock());
  return glow_;
}

}  // namespace brimvex::devices
