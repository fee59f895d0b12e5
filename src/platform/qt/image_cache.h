#pragma once
// Skin images (SVG drawn by QSvgRenderer, other formats through QImage), loaded once per path
// and drawn at any size. Each size an image is drawn at is rendered once and kept, so a repaint
// is a plain copy: no SVG rasterising or scaling per paint.
#include <QHash>
#include <QPainter>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>

class QSvgRenderer;

namespace brimvex::qt {

class ImageCache {
 public:
  ImageCache();
  ~ImageCache();
  // `path` is relative to the skin folder (or absolute). False when it cannot be loaded.
  bool Draw(QPainter& painter, const QString& path, const QRectF& target);
  // The image's own size at 96 DPI, or an empty size.
  QSizeF NaturalSize(const QString& path);
  void SetSkinFolder(const QString& folder) { folder_ = folder; }

 private:
  struct Entry;
  Entry* Load(const QString& path);
  QString folder_;
  QHash<QString, std::shared_ptr<Entry>> entries_;
};

}  // namespace brimvex::qt
