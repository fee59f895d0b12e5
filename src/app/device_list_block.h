#pragma once
// The device list the program sends the peer "VudiRuvu" on UWM_DEVICE_LIST_QUERY: 1024 bytes of
// 32-bit little-endian integers 2, 3, 0, 2, the row count, then vendor id, product id and
// device type of each device-option row; the rest zero.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brimvex::app {

inline constexpr std::string_view kDeviceListPeer = "VudiRuvu";
inline constexpr std::size_t kDeviceListBytes = 1024;
inline constexpr std::int64_t kDeviceListKind = 5;
// What fits after the five leading integers.
inline constexpr std::size_t kMaxDeviceListRows = (kDeviceListBytes / 4 - 5) / 3;

struct DeviceListRow {
  std::uint32_t vendor_id = 0;
  std::uint32_t product_id = 0;
  std::int32_t type = 0;
  bool operator==(const DeviceListRow&) const = default;
};

// The block for the program's device-option rows.
std::string DeviceListBlock();
// The rows of a received block; nullopt (with the reason) when it is not 1024 bytes or counts
// more rows than fit.
std::optional<std::vector<DeviceListRow>> ParseDeviceListBlock(std::string_view block, std::string* why = nullptr);

}  // namespace brimvex::app
