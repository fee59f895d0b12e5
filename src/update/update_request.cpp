#include "update/update_request.h"

#include <cstdio>

namespace brimvex::update {

std::string BuildAppKey(const UpdateEntry& e) {
  if (e.current_version == 0) return "NULL";
  return e.vendor + "_" + std::to_string(e.version_source) + "_" + e.project_code + "_" + e.type + "_" +
         std::to_string(e.flag);
}

std::string BuildRequestBody(const UpdateEntry& e) {
  char version[16];
  if (e.IsProgram()) {
    std::snprintf(version, sizeof version, "%d", e.current_version);
  } else {
    std::snprintf(version, sizeof version, "%x", static_cast<unsigned>(e.current_version));
  }
  std::string body = "app_key=" + BuildAppKey(e) + "&version=" + version;
  body.push_back('\0');
  return body;
}

std::int32_t ParseVersionDigits(std::string_view text, int base) {
  std::uint32_t value = 0;
  for (const char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0 || digit >= base) break;
    value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(value);
}

std::string CurrentVersionText(const UpdateEntry& e) {
  if (e.IsProgram()) return e.version;
  char text[16];
  std::snprintf(text, sizeof text, "V%04x", static_cast<unsigned>(e.current_version));
  return text;
}

std::int32_t ProgramVersionFromDisplay(std::string_view display) {
  std::string digits;
  for (const char c : display)
    if (c != '.') digits.push_back(c);
  if (digits.empty()) return kBuiltProgramVersion;
  return ParseVersionDigits(digits, 10);
}

}  // namespace brimvex::update
