#pragma once
// The picture probe on QImageReader: file size, then the header's size, then a full decode.
#include "platform/image_probe.h"

namespace brimvex::qt {

class QtImageProbe final : public platform::ImageProbe {
 public:
  platform::ImageProbeResult Probe(const std::string& path, const platform::ImageLimits& limits) override;
};

}  // namespace brimvex::qt
