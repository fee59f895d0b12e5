#pragma once
// One entry of the update list: a connected device whose firmware version is known, or the
// program itself (version source 0).
#include <cstdint>
#include <string>

namespace brimvex::update {

struct UpdateEntry {
  std::int32_t version_source = 0;
  std::int32_t flag = 0;
  std::int32_t current_version = 0;
  std::string vendor, project_code, type, name, version;

  bool IsProgram() const { return version_source == 0; }
};

}  // namespace brimvex::update
