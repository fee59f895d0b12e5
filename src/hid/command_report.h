#pragma once
// Building, checksumming and tracing 64-byte command reports.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "hid/command_codes.h"

namespace brimvex::hid {

using Report = std::array<std::uint8_t, kReportSize>;

// Sum of bytes 3..63, low 16 bits.
std::uint16_t ReportChecksum(const Report& report);
// Stores the checksum little-endian at bytes 1-2.
void StoreChecksum(Report& report);
// A zeroed request with the ID, the code, length and offset, checksummed.
Report MakeRequest(std::uint8_t code, std::uint8_t length = 0, std::uint16_t offset = 0);
// Bytes first..first+31 in the trace layout: eight groups of four, three blanks between the
// first four groups, two between the later ones.
std::string FormatTraceLine(const Report& report, std::size_t first);

}  // namespace brimvex::hid
