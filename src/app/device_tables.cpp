#include "app/device_tables.h"

namespace brimvex::app {

const std::array<SlotRecord, kSupportedDeviceCount>& SupportedDevices() {
  // vendor, product, interface, collection, type, role, found, usage page, usage, has partner, partner row
  static const std::array<SlotRecord, kSupportedDeviceCount> rows{{
      {0x05AC, 0x024E, 1, 4, 1, 0x00, 0, 0xFF1C, 0x0092, 1, 2, {}},
      {0x05AC, 0x024E, 1, 3, 1, 0xFF, 0, 0x000C, 0x0001, 1, 3, {}},
      {0x05AC, 0x024F, 1, 4, 9, 0x00, 0, 0xFF1C, 0x0092, 1, 0, {}},
      {0x05AC, 0x024F, 1, 3, 9, 0xFF, 0, 0x000C, 0x0001, 1, 1, {}},
      {0x5E1D, 0x4A10, 1, 4, 2, 0x00, 0, 0xFF1C, 0x0092, 1, 6, {}},
      {0x5E1D, 0x4A10, 1, 3, 2, 0xFF, 0, 0x000C, 0x0001, 1, 7, {}},
      {0x5E1D, 0x4A11, 1, 4, 6, 0x00, 0, 0xFF1C, 0x0092, 1, 4, {}},
      {0x5E1D, 0x4A11, 1, 3, 6, 0xFF, 0, 0x000C, 0x0001, 1, 5, {}},
      {0x5E1D, 0x4B04, 1, 4, 3, 0x00, 0, 0xFF1C, 0x0092, 0, 0, {}},
      {0x5E1D, 0x4B04, 1, 3, 3, 0xFF, 0, 0x000C, 0x0001, 0, 0, {}},
      {0x0C76, 0x1630, 3, 0, 7, 0x00, 0, 0x000C, 0x0001, 0, 0, {}},
  }};
  return rows;
}

namespace {
constexpr std::string_view kOptionLayout = "XML\\CustomControlXML\\DeviceOption.xml";
constexpr std::string_view kTabHeader = "tab_header_device";
constexpr std::string_view kPowerContainer = "device_power_switch";
}  // namespace

const std::array<DeviceOptionRow, kDeviceOptionCount>& DeviceOptions() {
  static constexpr std::array<DeviceOptionRow, kDeviceOptionCount> rows{{
      {kOptionLayout, kTabHeader, kPowerContainer, "mouse", 1, 0x5E1D, 0x4A10, 2, 0},
      {kOptionLayout, kTabHeader, kPowerContainer, "keyboard", 0, 0x05AC, 0x024E, 1, 0},
      {kOptionLayout, kTabHeader, kPowerContainer, "MousePad", 2, 0x5E1D, 0x4B04, 3, 0},
      {kOptionLayout, kTabHeader, kPowerContainer, "HD", 3, 0x0C76, 0x1630, 7, 0},
  }};
  return rows;
}

const std::array<DevicePageRow, kDeviceOptionCount>& DevicePages() {
  static constexpr std::array<DevicePageRow, kDeviceOptionCount> rows{{
      {15, 11, 1, -1, "XML\\DeviceXml\\mousedevice.xml", "quelt_light"},
      {170, 170, 1, -1, "XML\\DeviceXml\\keyboarddevice.xml", "quelt_light"},
      {15, 0, 0, -1, "XML\\DeviceXml\\mousepaddevice.xml", "quelt_light"},
      {13, 0, 0, -1, "XML\\DeviceXml\\ri6533device.xml", "quelt_light"},
  }};
  return rows;
}

const std::array<UpdateRow, kUpdateRowCount>& UpdateRows() {
  static constexpr std::array<UpdateRow, kUpdateRowCount> rows{{
      {1, 1, 0, "QUELT", "Tamsel", "MS", "MS", ""},
      {1, 1, 0, "QUELT", "Orrin", "KB", "KB", ""},
      {2, 1, 0, "QUELT", "Vesk", "Halvo", "Halvo", ""},
      {0, 1, 0, "QUELT", "ALL", "Halvo", "Halvo", kProgramVersion},
  }};
  return rows;
}

int FindSupportedRow(std::uint16_t vendor_id, std::uint16_t product_id, std::uint16_t type, std::uint16_t role) {
  const auto& rows = SupportedDevices();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const SlotRecord& r = rows[i];
    if (r.vendor_id == vendor_id && r.product_id == product_id && r.type == type && r.role == role)
      return static_cast<int>(i);
  }
  return -1;
}

int FindDeviceOptionRow(std::int32_t vendor_id, std::int32_t product_id, std::int32_t type, std::int32_t sub_kind) {
  const auto& rows = DeviceOptions();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const DeviceOptionRow& r = rows[i];
    if (r.vendor_id == vendor_id && r.product_id == product_id && r.type == type && r.sub_kind == sub_kind)
      return static_cast<int>(i);
  }
  return -1;
}

bool InterfaceMatches(const SlotRecord& row, std::uint16_t vendor_id, std::uint16_t product_id,
                      std::uint16_t interface_number, std::uint16_t collection_number) {
  return row.vendor_id == vendor_id && row.product_id == product_id && row.interface_number == interface_number &&
         row.collection_number == collection_number;
}

bool InterfaceAccepted(const SlotRecord& row, std::uint16_t usage_page, std::uint16_t usage) {
  return row.usage_page == usage_page && row.usage == usage;
}

namespace {
bool IsReceiverType(std::uint16_t type) { return type == kTypeMouseReceiver || type == kTypeKeyboardReceiver; }
bool ValidIndex(std::span<const SlotRecord> slots, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < slots.size();
}
}  // namespace

int DeviceIdentity(std::span<const SlotRecord> slots, int slot) {
  if (!ValidIndex(slots, slot)) return -1;
  const SlotRecord& s = slots[static_cast<std::size_t>(slot)];
  if (s.role != kRoleEvent) {
    if (IsReceiverType(s.type) && s.has_partner == 1) {
      const int partner = s.partner_row;
      if (ValidIndex(slots, partner) && slots[static_cast<std::size_t>(partner)].partner_row == slot) return partner;
    }
    return slot;
  }
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const SlotRecord& c = slots[i];
    if (c.role != kRoleCommand || c.vendor_id != s.vendor_id || c.product_id != s.product_id || c.type != s.type)
      continue;
    if (IsReceiverType(c.type) && c.has_partner == 1 && ValidIndex(slots, c.partner_row)) return c.partner_row;
    return static_cast<int>(i);
  }
  return slot;  // no command slot of the product: the event slot names itself
}

std::vector<UpdateEntry> BuildUpdateList(const std::function<std::int32_t(std::size_t)>& current_version,
                                         std::int32_t installed_version) {
  std::vector<UpdateEntry> list;
  const auto& rows = UpdateRows();
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const UpdateRow& r = rows[k];
    UpdateEntry e{r.version_source,
                  r.flag,
                  0,
                  std::string(r.vendor),
                  std::string(r.project_code),
                  std::string(r.type),
                  std::string(r.name),
                  std::string(r.version)};
    e.current_version = k + 1 == rows.size() ? installed_version : (current_version ? current_version(k) : 0);
    list.push_back(std::move(e));
  }
  return list;
}

}  // namespace brimvex::app
