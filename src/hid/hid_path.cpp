#include "hid/hid_path.h"

#include <cstdio>

namespace brimvex::hid {

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::size_t FindNoCase(std::string_view text, std::string_view key) {
  if (key.empty() || key.size() > text.size()) return std::string_view::npos;
  for (std::size_t i = 0; i + key.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < key.size() && Lower(text[i + k]) == Lower(key[k])) ++k;
    if (k == key.size()) return i;
  }
  return std::string_view::npos;
}
}  // namespace

std::uint32_t PathField(std::string_view path, std::string_view key) {
  const std::size_t at = FindNoCase(path, key);
  if (at == std::string_view::npos) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = at + key.size(); i < path.size(); ++i) {
    const int d = HexDigit(path[i]);
    if (d < 0) break;
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  return value;
}

std::size_t CollectionIndexFromPath(std::string_view path) {
  const std::uint32_t col = PathField(path, kCollectionKey);
  return col == 0 ? 0 : col - 1;
}

std::string FormatInterfacePath(std::string_view scheme, std::string_view node, std::uint16_t vendor_id,
                                std::uint16_t product_id, std::optional<std::uint8_t> interface_number,
                                std::size_t collection, std::size_t collection_count) {
  char keys[64];
  int n = std::snprintf(keys, sizeof keys, "#vid_%04x&pid_%04x", vendor_id, product_id);
  std::string path;
  path.reserve(scheme.size() + node.size() + 32);
  path.append(scheme).append(":").append(node).append(keys, static_cast<std::size_t>(n));
  if (interface_number) {
    n = std::snprintf(keys, sizeof keys, "&mi_%02x", *interface_number);
    path.append(keys, static_cast<std::size_t>(n));
  }
  if (collection_count >= 2) {
    n = std::snprintf(keys, sizeof keys, "&col%02zx", collection + 1);
    path.append(keys, static_cast<std::size_t>(n));
  }
  return path;
}

bool PathKeysMatch(std::string_view path, std::uint16_t vendor_id, std::uint16_t product_id) {
  const bool has_vid = FindNoCase(path, kVendorKey) != std::string_view::npos;
  const bool has_pid = FindNoCase(path, kProductKey) != std::string_view::npos;
  return (!has_vid || (PathField(path, kVendorKey) & 0xFFFF) == vendor_id) &&
         (!has_pid || (PathField(path, kProductKey) & 0xFFFF) == product_id);
}

std::optional<std::string_view> PathNode(std::string_view path, std::string_view scheme) {
  if (path.size() <= scheme.size() || path.substr(0, scheme.size()) != scheme || path[scheme.size()] != ':')
    return std::nullopt;
  std::string_view rest = path.substr(scheme.size() + 1);
  return rest.substr(0, rest.find('#'));
}

}  // namespace brimvex::hid
