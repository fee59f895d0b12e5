#include "devices/key_slots.h"

#include <algorithm>

#include "platform/trace.h"
#include "profiles/file_helpers.h"
#include "profiles/profile_document.h"

namespace brimvex::devices {
namespace {

constexpr char kHex[] = "0123456789abcdef";

std::string ToHex(std::span<const std::uint8_t> bytes) {
  std::string s;
  s.reserve(2 * bytes.size());
  for (std::uint8_t b : bytes) {
    s.push_back(kHex[b >> 4]);
    s.push_back(kHex[b & 0x0F]);
  }
  return s;
}

std::optional<std::vector<std::uint8_t>> FromHex(const std::string& s) {
  if (s.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> out;
  out.reserve(s.size() / 2);
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < s.size(); i += 2) {
    const int hi = nibble(s[i]);
    const int lo = nibble(s[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
  }
  return out;
}

bool SlotHolds(std::span<const std::uint8_t> key_map, int slot, const profiles::KeyCode& code) {
  const auto at = static_cast<std::size_t>(3 * slot);
  return at + 2 < key_map.size() && key_map[at] == code.type && key_map[at + 1] == code.p1 &&
         key_map[at + 2] == code.p2;
}

}  // namespace

std::vector<int> MatchKeySlots(std::span<const profiles::KeyCode> factory_codes, std::span<const std::uint8_t> key_map,
                               int key_count, std::span<const int> kept) {
  const int slots = std::clamp(key_count, 0, static_cast<int>(key_map.size() / 3));
  std::vector<int> slot_of(factory_codes.size(), kNoSlot);
  std::vector<bool> owned(static_cast<std::size_t>(slots), false);
  for (std::size_t j = 0; j < kept.size() && j < slot_of.size(); ++j) {
    const int k = kept[j];
    if (k >= 0 && k < slots && !owned[static_cast<std::size_t>(k)]) {
      slot_of[j] = k;
      owned[static_cast<std::size_t>(k)] = true;
    }
  }
  for (std::size_t j = 0; j < factory_codes.size(); ++j) {
    if (slot_of[j] != kNoSlot) continue;
    for (int k = 0; k < slots; ++k) {
      if (!owned[static_cast<std::size_t>(k)] && SlotHolds(key_map, k, factory_codes[j])) {
        slot_of[j] = k;
        owned[static_cast<std::size_t>(k)] = true;
        break;
      }
    }
  }
  return slot_of;
}

std::string InterfaceKind(const std::string& path) {
  const auto colon = path.find(':');
  return colon == std::string::npos ? std::string() : path.substr(0, colon);
}

std::optional<KeptKeySlots> ReadKeptKeySlots(const std::string& path) {
  const std::string text = profiles::ReadTextFile(path);
  if (text.empty()) return std::nullopt;
  const Json::Value doc = profiles::ReadJson(path);
  auto unusable = [&](const char* why) -> std::optional<KeptKeySlots> {
    platform::Trace(std::string("key slot file not used (") + why + "): " + path);
    profiles::KeepAside(path);
    return std::nullopt;
  };
  if (!doc.isObject()) return unusable("not a JSON object");
  const Json::Value& count = doc["KeyCount"];
  const Json::Value& source = doc["Source"];
  const Json::Value& positions = doc["KeyPositions"];
  const Json::Value& slots = doc["Slots"];
  if (!count.isInt() || !source.isString() || !positions.isString() || !slots.isArray())
    return unusable("members missing");
  KeptKeySlots kept;
  kept.key_count = count.asInt();
  kept.source = source.asString();
  auto bytes = FromHex(positions.asString());
  if (!bytes) return unusable("bad key positions");
  kept.positions = std::move(*bytes);
  for (const Json::Value& s : slots) {
    if (!s.isInt()) return unusable("bad slot");
    kept.slots.push_back(s.asInt());
  }
  return kept;
}

bool WriteKeptKeySlots(const std::string& path, const KeptKeySlots& kept) {
  Json::Value doc(Json::objectValue);
  doc["KeyCount"] = kept.key_count;
  doc["Source"] = kept.source;
  doc["KeyPositions"] = ToHex(kept.positions);
  Json::Value& slots = doc["Slots"] = Json::Value(Json::arrayValue);
  for (int s : kept.slots) slots.append(s);
  return profiles::WriteJson(path, doc);
}

bool KeptSlotsFit(const KeptKeySlots& kept, int key_count, std::span<const std::uint8_t> positions,
                  const std::string& source, std::size_t page_keys) {
  return kept.key_count == key_count && kept.source == source && kept.slots.size() == page_keys &&
         kept.positions.size() == positions.size() && std::equal(kept.positions.begin(), kept.positions.end(), positions.begin());
}

}  // namespace brimvex::devices

namespace brimvex::devices {

std::vector<int> LearnKeySlots(const std::string& path, std::span<const profiles::KeyCode> factory_codes,
                               std::span<const std::uint8_t> key_map, int key_count,
                               std::span<const std::uint8_t> positions, const std::string& source, bool usable) {
  const auto kept = usable ? ReadKeptKeySlots(path) : std::nullopt;
  if (kept && KeptSlotsFit(*kept, key_count, positions, source, factory_codes.size()))
    return MatchKeySlots(factory_codes, key_map, key_count, kept->slots);
  std::vector<int> slots = MatchKeySlots(factory_codes, key_map, key_count);
  if (usable) {
    platform::Trace(kept ? "键位表与保存的不同，重新学习: " + path : "学习键位表: " + path);
    if (!WriteKeptKeySlots(path, {key_count, source, std::vector<std::uint8_t>(positions.begin(), positions.end()), slots}))
      platform::Trace("键位表未保存: " + path);
  }
  return slots;
}

}  // namespace brimvex::devices
