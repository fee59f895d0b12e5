#pragma once
// The service's answer to one update request.
#include <cstdint>
#include <string>
#include <string_view>

namespace brimvex::update {

struct UpdateAnswer {
  enum class Kind {
    kParsed,    // a JSON object (its members may still be missing)
    kNotJson,   // not JSON, or not an object, or cut at the buffer's end
  };
  Kind kind = Kind::kNotJson;
  std::string path, name, version_name, version, sha256;
  std::int32_t device_id = 0;
};

// Members of the wrong type read as missing. A cut answer is never parsed.
UpdateAnswer ParseUpdateAnswer(std::string_view bytes, bool cut);

}  // namespace brimvex::update
