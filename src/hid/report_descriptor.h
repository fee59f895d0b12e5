#pragma once
// Parser of USB HID report descriptors. It faces bytes from devices, so every malformed or
// truncated descriptor is rejected with an error and nothing is read past the end.
//
// A descriptor is split into its top-level collections, in descriptor order. For each one and
// each report type the parser gives what the host HID parser reports: the report byte length
// (the longest report of that type in the collection plus the report-ID byte, which is counted
// even when the descriptor uses no report IDs), the button caps and value caps, and the longest
// usage list per usage page. Input reports can be unpacked into pressed usages and values.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brimvex::hid {

enum class ReportType : std::uint8_t { kInput = 0, kOutput = 1, kFeature = 2 };

// One main item's field in a report, with the usages it carries. A field with usages given as a
// range (or more usages than counts) is a range cap.
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

  std::uint16_t ReportLength(ReportType t) const { return report_length[static_cast<std::size_t>(t)]; }
  const std::vector<ButtonCap>& ButtonCaps(ReportType t) const { return button_caps[static_cast<std::size_t>(t)]; }
  const std::vector<ValueCap>& ValueCaps(ReportType t) const { return value_caps[static_cast<std::size_t>(t)]; }
  bool HasReportId(std::uint8_t id) const;
  // The most usages one report of this type can report pressed for the usage page.
  std::uint32_t MaxUsageListLength(ReportType t, std::uint16_t usage_page) const;
};

struct ReportDescriptor {
  std::vector<TopLevelCollection> collections;
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
bool GetUsageValue(const TopLevelCollection& collection, ReportType type, std::uint16_t usage_page,
                   std::uint16_t usage, std::span<const std::uint8_t> report, std::uint32_t& raw);
// The value sign-extended when the logical minimum is negative and scaled into the physical
// range when one is given (otherwise the logical value). False when it lies outside the
// logical range.
bool GetScaledUsageValue(const TopLevelCollection& collection, ReportType type, std::uint16_t usage_page,
                         std::uint16_t usage, std::span<const std::uint8_t> report, std::int32_t& scaled);

}  // namespace brimvex::hid
