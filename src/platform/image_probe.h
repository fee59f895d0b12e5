#pragma once
// Checks a picture file before the program takes it: the size from the file's header first, so a
// huge picture is refused without being decoded, then a full decode. The window frontend gives
// the real probe (its toolkit decodes the pictures it draws).
#include <cstdint>
#include <string>

namespace brimvex::platform {

struct ImageLimits {
  int max_width = 8192;
  int max_height = 8192;
  std::uint64_t max_file_bytes = 32ull << 20;
  // False: the header alone (size and format), for a picture that was decoded when it was taken.
  bool decode = true;
};

struct ImageProbeResult {
  enum class Status {
    kOk,
    kTooLarge,  // the file or the picture's size is past the limits (not decoded)
    kNotImage,  // no readable header, or the decode failed (truncated, not a picture)
    kUnreadable,  // missing, a folder, or no permission
  };
  Status status = Status::kNotImage;
  int width = 0;
  int height = 0;
  std::string reason;  // for traces and brimvexctl, in English
  bool ok() const { return status == Status::kOk; }
};

class ImageProbe {
 public:
  virtual ~ImageProbe() = default;
  virtual ImageProbeResult Probe(const std::string& path, const ImageLimits& limits) = 0;
};

}  // namespace brimvex::platform
