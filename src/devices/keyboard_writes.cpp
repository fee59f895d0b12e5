// The keyboard's write operations (settings record, key map, macro block) and its macro keys.
#include <algorithm>

#include "devices/device_transaction.h"
#include "devices/keyboard_device.h"
#include "devices/key_map_block.h"
#include "devices/key_slots.h"
#include "devices/macro_block.h"
#include "platform/trace.h"

namespace brimvex::devices {
namespace {

using hid::RESULT_FAILED;
using hid::RESULT_OK;
using profiles::KeyCode;
using profiles::KeyEntry;

}  // namespace

void COmbrixKeyboardDevice::RepairMacroKeys() {
  LoadNameLists();
  if (ResetUnknownMacroKeys(key_list_, MacroCount())) {
    profile_.SetKeyList(key_list_);
    SaveProfile();
  }
  LoadNameLists();
}

int COmbrixKeyboardDevice::WriteSettings(int profile, int value, int /*flag*/, int /*a*/, int /*b*/) {
  if (profile < 0 || (profile + 1) * static_cast<int>(kKeyboardRecordSize) > 0xFFFF) return RESULT_FAILED;
  const KeyboardRecord record = BuildKeyboardRecord(static_cast<std::uint8_t>(value), profile_.GetLightInfo(),
                                                    profile_.GetSystemSettings(), LightModes());
  hid::CommandChannel& ch = CommandChannelRef();
  const int result = Transaction(
      [&] { return ch.WriteParam(record, static_cast<std::uint16_t>(profile * static_cast<int>(kKeyboardRecordSize))); });
  if (result == RESULT_OK) record_ = record;
  return result;
}

std::vector<int> COmbrixKeyboardDevice::CollectUsedMacros() {
  return UsedMacros(key_list_, kKeyboardPageKeys, [this](int j) { return KeySlotOf(j); }, MacroCount());
}

int COmbrixKeyboardDevice::WriteKeyMap(const std::vector<KeyEntry>& keys) {
  hid::CommandChannel& ch = CommandChannelRef();
  if (!ch.IsOpen() || !key_map_usable_) return RESULT_FAILED;
  std::lock_guard lock(ch.CommandLock());
  hid::InfoBlock info{};
  if (const int r = ch.ReadInfo(info); r != RESULT_OK) return r;
  const std::size_t n = 3u * info[5];
  if (n != ch.KeyMapSize()) {
    platform::Trace("键盘按键数已变化，未写键位表");
    return RESULT_FAILED;
  }
  const KeyMapBytes block =
      BuildKeyMapBlock(key_map_, keys, kKeyboardPageKeys, [this](int j) { return KeySlotOf(j); }, MacroCount());
  const int result = Transaction([&] { return ch.WriteKeyMap(std::span<const std::uint8_t>(block.data(), n), 0); });
  if (result == RESULT_OK) key_map_ = block;
  return result;
}

int COmbrixKeyboardDevice::WriteProfileKeyMap() { return WriteKeyMap(std::vector<KeyEntry>(key_list_)); }

int COmbrixKeyboardDevice::WriteMacros(const std::vector<int>& macro_indexes) {
  hid::CommandChannel& ch = CommandChannelRef();
  hid::InfoBlock info = Info();
  if (ch.IsOpen()) {
    if (const int r = ch.ReadInfo(info); r != RESULT_OK) return BlockWriteFailure(r);
    Info() = info;
  }
  const auto names = Macros().Names();
  if (!names || macro_indexes.empty()) return 0;
  if (!ch.IsOpen()) return hid::RESULT_SEND_FAILED;
  std::vector<std::vector<macros::MacroEvent>> events;
  events.reserve(macro_indexes.size());
  for (int index : macro_indexes) events.push_back(Macros().Events(index));
  const MacroBlock block = BuildMacroBlock(events, static_cast<std::size_t>(info[6]) * 128);
  if (block.result != 0) return block.result;
  const int result = Transaction([&] { return ch.WriteMacros(block.bytes); });
  return result == RESULT_OK ? 0 : BlockWriteFailure(result);
}

}  // namespace brimvex::devices
