#pragma once
// Small helpers of the profile tests: files from text, text from files, JSON from text.
#include <json/reader.h>
#include <json/value.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace Json {
// Lets test failures show documents as text.
inline void PrintTo(const Value& v, std::ostream* os) { *os << v.toStyledString(); }
}  // namespace Json

namespace brimvex::profiles::testing {

inline void WriteBytes(const std::filesystem::path& p, std::string_view bytes) {
  std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline Json::Value Parse(std::string_view text) {
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value v;
  std::string errors;
  if (!reader->parse(text.data(), text.data() + text.size(), &v, &errors)) throw std::runtime_error(errors);
  return v;
}

// Documents as the styled text they are saved as. jsoncpp compares arrays grown by a lookup
// (sparse) and parsed arrays (dense) as unequal even when they hold the same elements.
inline std::string Text(const Json::Value& v) { return v.toStyledString(); }
inline std::string Text(std::string_view json_text) { return Parse(json_text).toStyledString(); }
inline std::string Text(const char* json_text) { return Text(std::string_view(json_text)); }
inline std::string Text(const std::string& json_text) { return Text(std::string_view(json_text)); }

// A profile file text with one section.
inline std::string ProfileText(std::string_view section) {
  return std::string(R"({"profilename": "Mine", "profileUUID": "2026_01_02_03_04_05_006", "Device": [)") +
         std::string(section) + "]}";
}

}  // namespace brimvex::profiles::testing
