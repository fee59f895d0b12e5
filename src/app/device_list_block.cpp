#include "app/device_list_block.h"

#include "app/device_tables.h"

namespace brimvex::app {
namespace {

void PutWord(std::string& block, std::size_t index, std::uint32_t value) {
  for (std::size_t b = 0; b < 4; ++b) block[4 * index + b] = static_cast<char>((value >> (8 * b)) & 0xFF);
}

std::uint32_t Word(std::string_view block, std::size_t index) {
  std::uint32_t v = 0;
  for (std::size_t b = 0; b < 4; ++b) v |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(block[4 * index + b])) << (8 * b);
  return v;
}

}  // namespace

std::string DeviceListBlock() {
  std::string block(kDeviceListBytes, '\0');
  const auto& rows = DeviceOptions();
  const std::uint32_t head[] = {2, 3, 0, 2, static_cast<std::uint32_t>(rows.size())};
  std::size_t i = 0;
  for (std::uint32_t v : head) PutWord(block, i++, v);
  for (const DeviceOptionRow& r : rows) {
    PutWord(block, i++, static_cast<std::uint32_t>(r.vendor_id));
    PutWord(block, i++, static_cast<std::uint32_t>(r.product_id));
    PutWord(block, i++, static_cast<std::uint32_t>(r.type));
  }
  return block;
}

std::optional<std::vector<DeviceListRow>> ParseDeviceListBlock(std::string_view block, std::string* why) {
  if (block.size() != kDeviceListBytes) {
    if (why != nullptr) *why = "the device list is " + std::to_string(block.size()) + " bytes, not 1024";
    return std::nullopt;
  }
  const std::uint32_t count = Word(block, 4);
  if (count > kMaxDeviceListRows) {
    if (why != nullptr) *why = "the device list counts " + std::to_string(count) + " rows (at most 83 fit)";
    return std::nullopt;
  }
  std::vector<DeviceListRow> rows;
  for (std::size_t r = 0; r < count; ++r) {
    const std::size_t at = 5 + 3 * r;
    rows.push_back({Word(block, at), Word(block, at + 1), static_cast<std::int32_t>(Word(block, at + 2))});
  }
  return rows;
}

}  // namespace brimvex::app
