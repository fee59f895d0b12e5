#include "platform/qt/image_cache.h"

#include <QImage>
#include <QSvgRenderer>

namespace brimvex::qt {

struct ImageCache::Entry {
  std::unique_ptr<QSvgRenderer> svg;
  QImage image;
  bool ok = false;
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
  if (e->svg) {
    e->svg->render(&painter, target);
  } else {
    painter.drawImage(target, e->image);
  }
  return true;
}

QSizeF ImageCache::NaturalSize(const QString& path) {
  Entry* e = Load(path);
  if (!e->ok) return {};
  return e->svg ? QSizeF(e->svg->defaultSize()) : QSizeF(e->image.size());
}

}  // namespace brimvex::qt
