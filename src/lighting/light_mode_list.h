#pragma once
// A device's light mode list, read from "default_light.json" of the program data folder: per
// mode its name (a language text key), whether the mode drop-down offers it, and the effect
// code the device firmware uses for it. The mode index of a light record is a position in this
// list; user-defined effects follow the listed modes, one per name of "quelt_light.config".
#include <json/value.h>

#include <optional>
#include <string>
#include <vector>

namespace brimvex::lighting {

struct LightMode {
  std::string name;
  bool visible = true;
  int code = 0;
};

struct LightModeList {
  std::vector<LightMode> modes;
  // The first position whose device code is `code`, or nullopt.
  std::optional<int> IndexOfCode(int code) const;
  // The device code of position `index`, or nullopt past the list.
  std::optional<int> CodeOf(int index) const;
  int Count() const { return static_cast<int>(modes.size()); }
};

// "DefaultLightName"[light table index]: each element's "LightName", "visible" and "value". False
// (list untouched) when the document has no such array; elements that are not objects are kept
// as unnamed, hidden entries so later positions keep their index.
bool ReadLightModeList(const Json::Value& document, int light_table_index, LightModeList& list);
// "LightInfo"[light table index] of "quelt_light.config": each element's "LightName". False
// (names untouched) when the document has no such array.
bool ReadCustomLightNames(const Json::Value& document, int light_table_index, std::vector<std::string>& names);

}  // namespace brimvex::lighting
