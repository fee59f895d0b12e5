// Feeds arbitrary bytes to the report-descriptor parser. Input layout: a 16-bit little-endian
// descriptor length, the descriptor, then reports, each a length byte and its bytes. When the
// descriptor parses, every report is unpacked against every collection and report type, and the
// results are checked against the caps.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "hid/report_descriptor.h"

namespace {

using brimvex::hid::ReportType;
using brimvex::hid::TopLevelCollection;

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

void Unpack(const TopLevelCollection& tlc, ReportType type, std::span<const std::uint8_t> report) {
  std::vector<std::uint16_t> usages;
  for (const auto& cap : tlc.ButtonCaps(type)) {
    if (GetUsages(tlc, type, cap.usage_page, report, usages)) {
      // Never more usages than the page's longest list, and never the "no event" usage 0.
      Check(usages.size() <= tlc.MaxUsageListLength(type, cap.usage_page));
      for (std::uint16_t u : usages) Check(u != 0);
    } else {
      Check(usages.empty());
    }
  }
  for (const auto& cap : tlc.ValueCaps(type)) {
    // Bounded so that a 0..0xFFFF range costs no more than a handful of usages.
    const std::uint32_t last = std::min<std::uint32_t>(cap.usage_max, std::uint32_t{cap.usage_min} + 8);
    for (std::uint32_t u = cap.usage_min; u <= last; ++u) {
      std::uint32_t raw = 0;
      std::int32_t scaled = 0;
      const bool have_raw = GetUsageValue(tlc, type, cap.usage_page, static_cast<std::uint16_t>(u), report, raw);
      const bool have_scaled =
          GetScaledUsageValue(tlc, type, cap.usage_page, static_cast<std::uint16_t>(u), report, scaled);
      Check(have_raw || !have_scaled);
    }
  }
}

void CheckCaps(const TopLevelCollection& tlc, ReportType type) {
  // Every cap lies inside the report length (which counts the ID byte).
  const std::uint64_t length = tlc.ReportLength(type);
  auto inside = [&](std::uint64_t offset, std::uint64_t size, std::uint64_t count) {
    return (offset + size * count + 7) / 8 + 1 <= length;
  };
  for (const auto& c : tlc.ButtonCaps(type)) {
    Check(inside(c.bit_offset, c.bit_size, c.report_count));
    Check(c.usage_min <= c.usage_max);
  }
  for (const auto& c : tlc.ValueCaps(type)) {
    Check(inside(c.bit_offset, c.bit_size, c.report_count));
    Check(c.usage_min <= c.usage_max);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  if (input.size() < 2) return 0;
  const std::size_t length = std::min<std::size_t>(input[0] | (std::size_t{input[1]} << 8), input.size() - 2);
  // Exactly the descriptor's bytes, so a read past its end is caught.
  const std::vector<std::uint8_t> descriptor(input.begin() + 2,
                                             input.begin() + 2 + static_cast<std::ptrdiff_t>(length));
  const auto result = brimvex::hid::ParseReportDescriptor(descriptor);
  Check(result.descriptor.has_value() != !result.error.empty());
  if (!result.descriptor) return 0;
  Check(!result.descriptor->collections.empty());

  auto rest = input.subspan(2 + length);
  std::vector<std::vector<std::uint8_t>> reports;
  while (!rest.empty()) {
    const std::size_t n = std::min<std::size_t>(rest[0], rest.size() - 1);
    reports.emplace_back(rest.begin() + 1, rest.begin() + 1 + static_cast<std::ptrdiff_t>(n));
    rest = rest.subspan(1 + n);
  }
  for (const auto& tlc : result.descriptor->collections) {
    for (auto type : {ReportType::kInput, ReportType::kOutput, ReportType::kFeature}) {
      CheckCaps(tlc, type);
      for (const auto& report : reports) Unpack(tlc, type, report);
    }
  }
  return 0;
}
