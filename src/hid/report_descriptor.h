#pragma once
// Parser of USB HID report descriptors. It faces bytes from devices, so every malformed or
// truncated descriptor is rejected with an error and nothing is read past the end.
//
// A descriptor is split into its top-level collections, in descriptor order. For each one and
// each report type the parser gives what the host HID parser reports: the report byte length
// (the longest report of that type in the collection plus the report-ID byte, which is counted
// even when the descriptor uses no report IDs), the button caps and value caps, and the longest
// usage list per usage page. Input reports can be unpacked into pressed usages and values.
//
// Choices for descriptors the HID standard leaves loose:
// - Rejected (the error names the item's byte offset): an item or long item running past the end,
//   End Collection without a collection, a collection left open, Pop without Push, Push deeper
//   than 64, a main item outside any collection, Report ID 0 or above 255, Report Size or Count
//   above 0xFFFF, a report longer than 65534 data bytes, an unpaired Usage Minimum/Maximum, a
//   usage range across two pages or with its minimum above its maximum, unbalanced or nested
//   Delimiters, a report without an ID in a descriptor that uses IDs, no collection at all.
// - Accepted: unknown and reserved items and long items are skipped; a Logical or Physical
//   Maximum of 1 or 2 bytes is read unsigned when its minimum is not negative (0x25 0xFF is 255);
//   a usage of 1 or 2 bytes takes the Usage Page in effect where it is declared (a usage range:
//   where its second end is), except that when all usages of a main item come before its first
//   Usage Page item, they take the page in effect at the main item (the page written after its
//   usages); 4-byte usages carry their page; only the first set of usages inside Delimiters
//   counts; a data field without usages gets usage 0; a Constant variable field with a non-zero
//   usage is a read-only control with its caps, other Constant fields are padding; one report ID
//   used in two collections shares one bit layout.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brimvex::hid {

enum class ReportType : std::uint8_t { kInput = 0, kOutput = 1, kFeature = 2 };

// One run of usages of a main item's field, as the host parser lists them: a usage range (or a
// field whose slots take consecutive usages) is a range cap; each single usage is its own cap.
// When a field has more slots than usages, the left-over slots take the last usage and are
// counted in the last cap (range or single usage). Array fields give one cap per usage run, all
// describing the same array.
struct ButtonCap {
  std::uint16_t usage_page = 0;
  std::uint8_t report_id = 0;
  bool is_range = false;
  std::uint16_t usage_min = 0;  // the single usage when !is_range
  std::uint16_t usage_max = 0;
  // Layout in the report (bits counted from the start of the report data after the ID byte).
  std::uint32_t bit_offset = 0;
  std::uint16_t bit_size = 0;
  std::uint16_t report_count = 0;
  bool is_array = false;  // array field: each slot holds an index into the usages
  std::int32_t logical_min = 0;
  std::int32_t logical_max = 0;

  bool operator==(const ButtonCap&) const = default;
};

struct ValueCap {
  std::uint16_t usage_page = 0;
  std::uint8_t report_id = 0;
  bool is_range = false;
  std::uint16_t usage_min = 0;
  std::uint16_t usage_max = 0;
  std::uint32_t bit_offset = 0;
  std::uint16_t bit_size = 0;
  std::uint16_t report_count = 0;
  std::int32_t logical_min = 0;
  std::int32_t logical_max = 0;
  std::int32_t physical_min = 0;
  std::int32_t physical_max = 0;

  bool operator==(const ValueCap&) const = default;
};

// The usages a field carries, in descriptor order: one usage (min == max, !is_range) or a range.
struct UsageRun {
  std::uint16_t page = 0;
  std::uint16_t min = 0;
  std::uint16_t max = 0;
  bool is_range = false;

  bool operator==(const UsageRun&) const = default;
};

// One data main item (Input, Output or Feature) as laid out in its report; what the caps are made
// from and what unpacking reads. Constant fields are kept only as variables with a non-zero usage
// (read-only controls); padding only takes bits.
struct ReportField {
  std::uint8_t report_id = 0;
  std::uint32_t bit_offset = 0;  // from the start of the report data after the ID byte
  std::uint16_t bit_size = 0;
  std::uint16_t report_count = 0;
  bool is_button = false;  // 1-bit variable field or array field
  bool is_array = false;
  std::int32_t logical_min = 0;
  std::int32_t logical_max = 0;
  std::int32_t physical_min = 0;
  std::int32_t physical_max = 0;
  // Variable field: slot i takes the i-th usage of the runs, the slots past the last usage take the
  // last usage, usages past the last slot are unused. Array field: a slot value v names the usage
  // at index v - logical_min.
  std::vector<UsageRun> usages;
};

struct TopLevelCollection {
  std::uint16_t usage_page = 0;
  std::uint16_t usage = 0;
  // Report IDs used inside the collection, in order of first appearance; empty when the
  // descriptor uses none (reports then start with the data, and the host sees ID 0).
  std::vector<std::uint8_t> report_ids;
  std::array<std::uint16_t, 3> report_length{};  // indexed by ReportType
  std::array<std::vector<ButtonCap>, 3> button_caps;
  std::array<std::vector<ValueCap>, 3> value_caps;
  std::array<std::vector<ReportField>, 3> fields;  // data fields in descriptor order

  std::uint16_t ReportLength(ReportType t) const { return report_length[static_cast<std::size_t>(t)]; }
  const std::vector<ButtonCap>& ButtonCaps(ReportType t) const { return button_caps[static_cast<std::size_t>(t)]; }
  const std::vector<ValueCap>& ValueCaps(ReportType t) const { return value_caps[static_cast<std::size_t>(t)]; }
  // True for the IDs above, and for ID 0 when the descriptor uses no report IDs.
  bool HasReportId(std::uint8_t id) const;
  // The most usages one report of this type can report pressed for the usage page.
  std::uint32_t MaxUsageListLength(ReportType t, std::uint16_t usage_page) const;
};

struct ReportDescriptor {
  std::vector<TopLevelCollection> collections;
  bool uses_report_ids = false;  // reports on the wire start with their ID byte
};

struct ParseResult {
  std::optional<ReportDescriptor> descriptor;  // nullopt on error
  std::string error;                           // what was wrong and at which byte offset
};

ParseResult ParseReportDescriptor(std::span<const std::uint8_t> bytes);

// Decoding one report of `collection`; `report` starts with the report-ID byte (0 when the
// descriptor uses none). All return false when the report is too short for the field or the
// usage is not in the report with that ID.
//
// The usages of `usage_page` pressed in the report, in field order.
bool GetUsages(const TopLevelCollection& collection, ReportType type, std::uint16_t usage_page,
               std::span<const std::uint8_t> report, std::vector<std::uint16_t>& usages);
// The raw (unsigned, as stored) value of one usage.
bool GetUsageValue(const TopLevelCollection& collection, ReportType type, std::uint16_t usage_page, std::uint16_t usage,
                   std::span<const std::uint8_t> report, std::uint32_t& raw);
// The value sign-extended when the logical minimum is negative and scaled into the physical
// range when one is given (otherwise the logical value). False when it lies outside the
// logical range.
bool GetScaledUsageValue(const TopLevelCollection& collection, ReportType type, std::uint16_t usage_page,
                         std::uint16_t usage, std::span<const std::uint8_t> report, std::int32_t& scaled);

}  // namespace brimvex::hid
