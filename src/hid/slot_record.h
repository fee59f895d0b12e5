#pragma once
// The record that names one supported HID interface: the rows of the product table, the live
// slots of discovery, and the identity a device object carries.
#include <cstdint>
#include <string>

namespace brimvex::hid {

struct SlotRecord {
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::uint16_t interface_number = 0;
  std::uint16_t collection_number = 0;
  std::uint16_t type = 0;
  std::uint16_t role = 0;
  std::uint32_t found = 0;
  std::uint16_t usage_page = 0;
  std::uint16_t usage = 0;
  std::uint16_t has_partner = 0;
  std::uint16_t partner_row = 0;
  std::string path;
};

// Two records name the same device when their identifying fields agree (not found flag or path).
inline bool SameIdentity(const SlotRecord& a, const SlotRecord& b) {
  return a.vendor_id == b.vendor_id && a.product_id == b.product_id && a.interface_number == b.interface_number &&
         a.collection_number == b.collection_number && a.type == b.type && a.role == b.role;
}

}  // namespace brimvex::hid
