#pragma once
// One widget per model control. Most controls are painted from the model (colours, images by
// state, text); edits, combos and sliders wrap the native Qt widget. User input is handed to
// the control's input entry points, which raise the notifications.
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QStaticText>
#include <QWidget>
#include <utility>
#include <vector>

#include "platform/ui/control.h"

class QLineEdit;
class QPlainTextEdit;
class QComboBox;
class QSlider;

namespace brimvex::qt {

class WindowHostWidget;

class ControlWidget : public QWidget {
 public:
  ControlWidget(ui::Control& control, WindowHostWidget& host, QWidget* parent);
  ui::Control& Model() const { return control_; }
  // The model changed; refresh what shows it.
  void Sync(ui::Aspect aspect);
  // Only the picture changed (a live LED's colour, the spectrum bars' values): painted again,
  // nothing synchronised.
  void PictureChanged();
  // What lies under a live LED changed: it is taken again before the next live paint.
  void DropUnderPicture();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Clickable() const;
  void SyncNative();
  QString StateImage() const;
  // Draws the control's text in `r`; the laid-out text is kept while text, font, width and
  // alignment stay, so a repaint (a live LED's, many times a second) does not shape it again.
  void DrawText(QPainter& p, const QRect& r, const QString& text, const QFont& font, Qt::Alignment align,
                bool wrap);
  // The three layers of the picture: the control's background, a live LED's spot, the rest.
  void PaintUnder(QPainter& p, const QRect& r);
  void PaintSpot(QPainter& p, const QRect& r);
  void PaintOver(QPainter& p, const QRect& r);
  // Its own look changed (state, hover, text, size): its pictures go, and those of live LEDs
  // it lies under.
  void OwnLookChanged();
  void TakeUnderPicture();
  bool OpaqueBackground() const;
  void UpdateOpaque();
  // The layer above the spot (with the background too for a kept own picture).
  void TakeOverPicture(bool with_under);

  ui::Control& control_;
  WindowHostWidget& host_;
  bool hot_ = false;
  bool pressed_ = false;
  bool syncing_ = false;
  QPointer<QLineEdit> line_edit_;
  QPointer<QPlainTextEdit> text_edit_;
  QPointer<QComboBox> combo_;
  QPointer<QSlider> slider_;
  QStaticText label_;
  QString label_text_;
  QFont label_font_;
  int label_width_ = -1;
  Qt::Alignment label_align_;
  bool label_wrap_ = false;
  // A live LED (the only control repainted many times a second) paints from pictures: what lies
  // under it (the window below and its own background), its spot, and its own layer above. While
  // the under-picture is held it paints every pixel itself, so nothing beneath is painted again.
  // A small leaf keeps its own picture (over_, with its background) for the repaints an LED
  // under it brings.
  bool live_ = false;
  bool own_picture_ = false;
  QPixmap under_;
  QRegion shown_;  // the part no opaque widget over it hides
  QImage over_;
  bool over_taken_ = false;
  bool over_with_under_ = false;
  bool over_empty_ = true;
  QImage spot_;  // the shape in the LED's colour
  std::vector<std::pair<int, int>> spot_pixels_;  // (offset, coverage) of its pixels in view
  QRegion spot_region_;                            // the view they were picked for
  std::uint32_t spot_color_ = 0;
};

}  // namespace brimvex::qt
