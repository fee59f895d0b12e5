#pragma once
// The built-in product tables: which HID interfaces belong to the peripherals, how the
// interfaces of one product pair up, which page and selector entry a product gets, and which
// products the update check asks about.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hid/slot_record.h"
#include "update/update_entry.h"

namespace brimvex::app {

// Device type codes.
inline constexpr std::uint16_t kTypeKeyboard = 1;
inline constexpr std::uint16_t kTypeKeyboardReceiver = 9;
inline constexpr std::uint16_t kTypeMouse = 2;
inline constexpr std::uint16_t kTypeMouseReceiver = 6;
inline constexpr std::uint16_t kTypeMousePad = 3;
inline constexpr std::uint16_t kTypeHeadset = 7;

// Interface roles.
inline constexpr std::uint16_t kRoleCommand = 0;
inline constexpr std::uint16_t kRoleEvent = 0xFF;

// One supported interface; the live slots of discovery use the same record.
using SlotRecord = hid::SlotRecord;

inline constexpr std::size_t kSupportedDeviceCount = 11;
const std::array<SlotRecord, kSupportedDeviceCount>& SupportedDevices();

struct DeviceOptionRow {
  std::string_view layout_file;
  std::string_view tab_header;
  std::string_view power_container;
  std::string_view kind_name;
  std::int32_t ordinal;
  std::int32_t vendor_id;
  std::int32_t product_id;
  std::int32_t type;
  std::int32_t sub_kind;
};

struct DevicePageRow {
  std::int32_t light_count;
  std::int32_t key_count;
  std::int32_t power_display;
  std::int32_t mouse_parameter;
  std::string_view layout_file;
  std::string_view light_settings_name;
};

struct UpdateRow {
  std::int32_t version_source;
  std::int32_t flag;
  std::int32_t current_version;
  std::string_view vendor;
  std::string_view project_code;
  std::string_view type;
  std::string_view name;
  std::string_view version;
};

inline constexpr std::size_t kDeviceOptionCount = 4;
inline constexpr std::size_t kUpdateRowCount = 4;
inline constexpr std::string_view kProgramVersion = "V1.0.0.0";

const std::array<DeviceOptionRow, kDeviceOptionCount>& DeviceOptions();
// Same order as DeviceOptions(), selected by the device-option row number.
const std::array<DevicePageRow, kDeviceOptionCount>& DevicePages();
const std::array<UpdateRow, kUpdateRowCount>& UpdateRows();

// First row whose four fields match, or -1.
int FindSupportedRow(std::uint16_t vendor_id, std::uint16_t product_id, std::uint16_t type, std::uint16_t role);
int FindDeviceOptionRow(std::int32_t vendor_id, std::int32_t product_id, std::int32_t type, std::int32_t sub_kind);

// A discovered interface matches a row on vendor, product, interface and collection number;
// after opening it is accepted as that row when its usage page and usage agree too.
bool InterfaceMatches(const SlotRecord& row, std::uint16_t vendor_id, std::uint16_t product_id,
                      std::uint16_t interface_number, std::uint16_t collection_number);
bool InterfaceAccepted(const SlotRecord& row, std::uint16_t usage_page, std::uint16_t usage);

// The slot that names the device object a slot belongs to (index into `slots`).
int DeviceIdentity(std::span<const SlotRecord> slots, int slot);

// The update entries; current_version(k) gives the version of the device behind selector entry
// k (0 when none or its channel is closed), installed_version the program's own.
using UpdateEntry = update::UpdateEntry;
std::vector<UpdateEntry> BuildUpdateList(const std::function<std::int32_t(std::size_t)>& current_version,
                                         std::int32_t installed_version);

}  // namespace brimvex::app
