#include "platform/qt/qt_image_probe.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace brimvex::qt {

platform::ImageProbeResult QtImageProbe::Probe(const std::string& path, const platform::ImageLimits& limits) {
  using Status = platform::ImageProbeResult::Status;
  platform::ImageProbeResult r;
  const QString file = QString::fromStdString(path);
  const QFileInfo info(file);
  if (!info.exists() || !info.isFile() || !info.isReadable()) {
    r.status = Status::kUnreadable;
    r.reason = "the file cannot be read";
    return r;
  }
  if (static_cast<std::uint64_t>(info.size()) > limits.max_file_bytes) {
    r.status = Status::kTooLarge;
    r.reason = "the file is larger than " + std::to_string(limits.max_file_bytes >> 20) + " MiB";
    return r;
  }
  QImageReader reader(file);
  reader.setDecideFormatFromContent(true);
  // Qt's own allocation limit would refuse large pictures with a warning; ours is checked first.
  reader.setAllocationLimit(0);
  const QSize size = reader.size();
  if (!reader.canRead() || !size.isValid()) {
    r.status = Status::kNotImage;
    r.reason = "not a picture";
    return r;
  }
  r.width = size.width();
  r.height = size.height();
  if (size.width() > limits.max_width || size.height() > limits.max_height) {
    r.status = Status::kTooLarge;
    r.reason = "the picture is " + std::to_string(size.width()) + " x " + std::to_string(size.height()) +
               " pixels, more than " + std::to_string(limits.max_width) + " x " + std::to_string(limits.max_height);
    return r;
  }
  if (!limits.decode) {
    r.status = Status::kOk;
    return r;
  }
  const QImage image = reader.read();
  if (image.isNull()) {
    r.status = Status::kNotImage;
    r.reason = "the picture cannot be decoded: " + reader.errorString().toStdString();
    return r;
  }
  r.status = Status::kOk;
  return r;
}

}  // namespace brimvex::qt
