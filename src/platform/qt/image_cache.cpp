#include "platform/qt/image_cache.h"

#include <QImage>
#include <QPaintDevice>
#include <QSvgRenderer>

namespace brimvex::qt {
namespace {

// Sizes kept per image; a window being resized through many sizes starts again.
constexpr qsizetype kSizesKept = 8;

quint64 SizeKey(const QSize& s) { return static_cast<quint64>(s.width()) << 32 | static_cast<quint32>(s.height()); }

}  // namespace

struct ImageCache::Entry {
  std::unique_ptr<QSvgRenderer> svg;
  QImage image;
  bool ok = false;
  QHash<quint64, QImage> rendered;  // by pixel size, premultiplied
};

ImageCache::ImageCache() = default;
ImageCache::~ImageCache() = default;

ImageCache::Entry* ImageCache::Load(const QString& path) {
  if (auto it = entries_.find(path); it != entries_.end()) return it->get();
  auto e = std::make_shared<Entry>();
  QString file = path;
  file.replace('\\', '/');
  if (!file.startsWith('/')) file = folder_ + file;
  if (file.endsWith(".svg", Qt::CaseInsensitive)) {
    e->svg = std::make_unique<QSvgRenderer>(file);
    e->ok = e->svg->isValid();
  } else {
    e->ok = e->image.load(file);
  }
  entries_.insert(path, e);
  return e.get();
}

bool ImageCache::Draw(QPainter& painter, const QString& path, const QRectF& target) {
  Entry* e = Load(path);
  if (!e->ok) return false;
  const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
  const QSize pixels = (target.size() * ratio).toSize();
  if (pixels.isEmpty()) return true;
  QImage& sized = e->rendered[SizeKey(pixels)];
  if (sized.isNull()) {
    if (e->rendered.size() > kSizesKept) {
      e->rendered.clear();
      return Draw(painter, path, target);
    }
    if (e->svg) {
      sized = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
      sized.fill(Qt::transparent);
      QPainter p(&sized);
      p.setRenderHint(QPainter::Antialiasing);
      e->svg->render(&p, QRectF(QPointF(0, 0), QSizeF(pixels)));
    } else {
      sized = e->image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                  .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    sized.setDevicePixelRatio(ratio);
  }
  painter.drawImage(target, sized);
  return true;
}

QSizeF ImageCache::NaturalSize(const QString& path) {
  Entry* e = Load(path);
  if (!e->ok) return {};
  return e->svg ? QSizeF(e->svg->defaultSize()) : QSizeF(e->image.size());
}

}  // namespace brimvex::qt
