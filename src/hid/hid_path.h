#pragma once
// The keys of an interface path ("hidraw:/dev/hidraw3#vid_05ac&pid_024e&mi_01&col04"): reading
// them the way the discovery does, and writing them the way both HID backends name interfaces.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brimvex::hid {

inline constexpr std::string_view kVendorKey = "vid_";
inline constexpr std::string_view kProductKey = "pid_";
inline constexpr std::string_view kInterfaceKey = "&mi_";
inline constexpr std::string_view kCollectionKey = "&col";

// The hexadecimal number right after the first case-insensitive occurrence of `key`; 0 when the
// key is missing or no hexadecimal digit follows. Digits past 32 bits keep the low 32 bits.
std::uint32_t PathField(std::string_view path, std::string_view key);

// The path's top-level collection as an index into the descriptor's collections: "&col" n gives
// n - 1, a path without it (or with "&col00") gives 0.
std::size_t CollectionIndexFromPath(std::string_view path);

// "<scheme>:<node>#vid_xxxx&pid_xxxx[&mi_xx][&colNN]": "&mi_" only when the interface number is
// known, "&col" only when the interface has two or more top-level collections (`collection` is the
// 0-based index, written from 1).
std::string FormatInterfacePath(std::string_view scheme, std::string_view node, std::uint16_t vendor_id,
                                std::uint16_t product_id, std::optional<std::uint8_t> interface_number,
                                std::size_t collection, std::size_t collection_count);

// False when the path carries a "vid_" or "pid_" key that differs from the given identity (a
// path without the keys matches any).
bool PathKeysMatch(std::string_view path, std::uint16_t vendor_id, std::uint16_t product_id);

// The node part of a path of the scheme ("/dev/hidraw3" for "hidraw:/dev/hidraw3#..."), or nullopt
// when the path has another scheme.
std::optional<std::string_view> PathNode(std::string_view path, std::string_view scheme);

}  // namespace brimvex::hid
