#include "hid/command_report.h"

#include <numeric>

namespace brimvex::hid {

std::string_view ResultName(int result) {
  switch (result) {
    case RESULT_OK:
      return "RESULT_OK";
    case RESULT_FAILED:
      return "RESULT_FAILED";
    case RESULT_SEND_FAILED:
      return "RESULT_SEND_FAILED";
    case RESULT_LINK_DOWN:
      return "RESULT_LINK_DOWN";
    case RESULT_DEVICE_FF:
      return "RESULT_DEVICE_FF";
    case RESULT_DEVICE_FE:
      return "RESULT_DEVICE_FE";
    case RESULT_BAD_PAGE:
      return "RESULT_BAD_PAGE";
    default:
      return "RESULT_UNKNOWN";
  }
}

std::uint16_t ReportChecksum(const Report& report) {
  const unsigned sum = std::accumulate(report.begin() + kOffsetCode, report.end(), 0u);
  return static_cast<std::uint16_t>(sum & 0xFFFFu);
}

void StoreChecksum(Report& report) {
  const std::uint16_t sum = ReportChecksum(report);
  report[kOffsetChecksum] = static_cast<std::uint8_t>(sum & 0xFF);
  report[kOffsetChecksum + 1] = static_cast<std::uint8_t>(sum >> 8);
}

Report MakeRequest(std::uint8_t code, std::uint8_t length, std::uint16_t offset) {
  Report r{};
  r[0] = kCommandReportId;
  r[kOffsetCode] = code;
  r[kOffsetLength] = length;
  r[kOffsetAddress] = static_cast<std::uint8_t>(offset & 0xFF);
  r[kOffsetAddress + 1] = static_cast<std::uint8_t>(offset >> 8);
  StoreChecksum(r);
  return r;
}

std::string FormatTraceLine(const Report& report, std::size_t first) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string line;
  line.reserve(120);
  for (std::size_t i = 0; i < 32; ++i) {
    if (i > 0) {
      if (i % 4 != 0) {
        line += ' ';
      } else {
        line += i <= 12 ? "   " : "  ";
      }
    }
    const std::uint8_t b = report[first + i];
    line += kDigits[b >> 4];
    line += kDigits[b & 0x0F];
  }
  return line;
}

}  // namespace brimvex::hid
