#pragma once
// One widget per model control. Most controls are painted from the model (colours, images by
// state, text); edits, combos and sliders wrap the native Qt widget. User input is handed to
// the control's input entry points, which raise the notifications.
#include <QFont>
#include <QPointer>
#include <QStaticText>
#include <QWidget>

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

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Clickable() const;
  void SyncNative();
  QString StateImage() const;
  // Draws the control's text in `r`; the laid-out text is kept while text, font, width and
  // alignment stay, so a repaint (a live LED's, many times a second) does not shape it again.
  void DrawText(QPainter& p, const QRect& r, const QString& text, const QFont& font, Qt::Alignment align,
                bool wrap);

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
};

}  // namespace brimvex::qt
