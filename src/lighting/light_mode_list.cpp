#include "lighting/light_mode_list.h"

namespace brimvex::lighting {
namespace {

// doc[key][index] when it is an array; nullptr otherwise (no lookup ever throws).
const Json::Value* Row(const Json::Value& document, const char* key, int index) {
  if (!document.isObject() || index < 0) return nullptr;
  const Json::Value& table = document[key];
  if (!table.isArray() || static_cast<Json::ArrayIndex>(index) >= table.size()) return nullptr;
  const Json::Value& row = table[static_cast<Json::ArrayIndex>(index)];
  return row.isArray() ? &row : nullptr;
}

std::string Text(const Json::Value& object, const char* key) {
  const Json::Value& v = object[key];
  return v.isString() ? v.asString() : std::string();
}

}  // namespace

std::optional<int> LightModeList::IndexOfCode(int code) const {
  for (std::size_t i = 0; i < modes.size(); ++i)
    if (modes[i].code == code) return static_cast<int>(i);
  return std::nullopt;
}

std::optional<int> LightModeList::CodeOf(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= modes.size()) return std::nullopt;
  return modes[static_cast<std::size_t>(index)].code;
}

bool ReadLightModeList(const Json::Value& document, int light_table_index, LightModeList& list) {
  const Json::Value* row = Row(document, "DefaultLightName", light_table_index);
  if (row == nullptr) return false;
  list.modes.clear();
  for (const Json::Value& e : *row) {
    LightMode m;
    if (e.isObject()) {
      m.name = Text(e, "LightName");
      const Json::Value& visible = e["visible"];
      m.visible = visible.isBool() ? visible.asBool() : visible.isInt64() ? visible.asInt64() != 0 : false;
      const Json::Value& value = e["value"];
      m.code = value.isInt64() && value.asInt64() >= 0 && value.asInt64() <= 255
                   ? static_cast<int>(value.asInt64())
                   : -1;
    } else {
      m.visible = false;
      m.code = -1;
    }
    list.modes.push_back(std::move(m));
  }
  return true;
}

bool ReadCustomLightNames(const Json::Value& document, int light_table_index, std::vector<std::string>& names) {
  const Json::Value* row = Row(document, "LightInfo", light_table_index);
  if (row == nullptr) return false;
  names.clear();
  for (const Json::Value& e : *row) names.push_back(e.isObject() ? Text(e, "LightName") : std::string());
  return true;
}

}  // namespace brimvex::lighting
