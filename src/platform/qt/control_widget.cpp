#include "platform/qt/control_widget.h"

#include <QComboBox>
#include <QEnterEvent>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTextOption>
#include <QWindow>
#include <algorithm>

#include "platform/qt/window_host_widget.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/palette_face.h"

namespace brimvex::qt {
namespace {

QColor Argb(std::uint32_t v) {
  return QColor(static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF),
                static_cast<int>(v >> 24));
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The largest widget (in pixels) whose own picture is kept.
constexpr int kOwnPictureArea = 256 * 256;

constexpr const char* kNativeStyle =
    "QLineEdit, QPlainTextEdit, QComboBox { background: #1b1f26; color: #e8edf2; border: 1px solid #3a414c;"
    " border-radius: 3px; padding: 2px 6px; selection-background-color: #2fb8c4; }"
    "QComboBox QAbstractItemView { background: #1b1f26; color: #e8edf2; selection-background-color: #2fb8c4; }"
    "QSlider::groove:horizontal { height: 4px; background: #3a414c; border-radius: 2px; }"
    "QSlider::sub-page:horizontal { background: #2fb8c4; border-radius: 2px; }"
    "QSlider::handle:horizontal { width: 12px; margin: -5px 0; background: #e8edf2; border-radius: 6px; }";

}  // namespace

ControlWidget::ControlWidget(ui::Control& control, WindowHostWidget& host, QWidget* parent)
    : QWidget(parent), control_(control), host_(host) {
  setObjectName(Q(control.Name()));
  if (dynamic_cast<ui::Combo*>(&control) != nullptr) {
    combo_ = new QComboBox(this);
    combo_->setStyleSheet(kNativeStyle);
    QObject::connect(combo_, &QComboBox::activated, this, [this](int index) {
      if (!syncing_) static_cast<ui::Combo&>(control_).SelectItem(index);
    });
  } else if (auto* slider = dynamic_cast<ui::Slider*>(&control)) {
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setStyleSheet(kNativeStyle);
    slider_->setRange(slider->MinValue(), slider->MaxValue());
    QObject::connect(slider_, &QSlider::sliderMoved, this, [this](int v) {
      if (!syncing_) static_cast<ui::Slider&>(control_).UserMoveValue(v);
    });
    QObject::connect(slider_, &QSlider::sliderReleased, this, [this] {
      if (!syncing_) static_cast<ui::Slider&>(control_).UserSetValue(slider_->value());
    });
    QObject::connect(slider_, &QSlider::valueChanged, this, [this](int v) {
      if (!syncing_ && !slider_->isSliderDown()) static_cast<ui::Slider&>(control_).UserSetValue(v);
    });
  } else if (dynamic_cast<ui::RichEdit*>(&control) != nullptr) {
    text_edit_ = new QPlainTextEdit(this);
    text_edit_->setStyleSheet(kNativeStyle);
    text_edit_->installEventFilter(this);
    QObject::connect(text_edit_, &QPlainTextEdit::textChanged, this, [this] {
      if (!syncing_) static_cast<ui::Edit&>(control_).UserSetText(text_edit_->toPlainText().toStdString());
    });
  } else if (auto* edit = dynamic_cast<ui::Edit*>(&control)) {
    line_edit_ = new QLineEdit(this);
    line_edit_->setStyleSheet(kNativeStyle);
    line_edit_->setReadOnly(edit->IsReadOnly());
    line_edit_->installEventFilter(this);
    QObject::connect(line_edit_, &QLineEdit::textEdited, this, [this](const QString& t) {
      if (!syncing_) static_cast<ui::Edit&>(control_).UserSetText(t.toStdString());
    });
  }
  if (Clickable()) setCursor(Qt::PointingHandCursor);
  UpdateOpaque();
  live_ = dynamic_cast<const ui::LiveColorButton*>(&control) != nullptr;
  if (live_) host_.AddLiveWidget(this);
  // A leaf whose look follows only its own state, told by Sync and its input: its picture is
  // kept, for the many repaints a live LED beneath it brings. Lists (the selection is the
  // list's), palettes, progress and bars paint live state of their own and are left out.
  own_picture_ = !live_ && dynamic_cast<const ui::Container*>(&control) == nullptr &&
                 dynamic_cast<const ui::ListElement*>(&control) == nullptr &&
                 dynamic_cast<const ui::ColorPalette*>(&control) == nullptr &&
                 dynamic_cast<const ui::Progress*>(&control) == nullptr &&
                 dynamic_cast<const ui::SpectrumBars*>(&control) == nullptr && combo_.isNull() &&
                 slider_.isNull() && line_edit_.isNull() && text_edit_.isNull();
  SyncNative();
}

bool ControlWidget::Clickable() const {
  return dynamic_cast<const ui::Button*>(&control_) != nullptr ||
         dynamic_cast<const ui::ListElement*>(&control_) != nullptr ||
         dynamic_cast<const ui::ColorPalette*>(&control_) != nullptr;
}

void ControlWidget::Sync(ui::Aspect aspect) {
  (void)aspect;
  SyncNative();
  OwnLookChanged();
  update();
}

bool ControlWidget::OpaqueBackground() const { return (control_.BkColor() >> 24) == 0xFF; }

void ControlWidget::UpdateOpaque() {
  // A widget that paints every pixel itself spares Qt painting what lies beneath it.
  const bool opaque = OpaqueBackground() || !under_.isNull();
  if (testAttribute(Qt::WA_OpaquePaintEvent) != opaque) setAttribute(Qt::WA_OpaquePaintEvent, opaque);
}

void ControlWidget::PictureChanged() {
  if (!live_) {
    over_taken_ = false;
    host_.DropUnderPictures(this);  // the spectrum bars, if a live LED lies over them
    update();
    return;
  }
  if (under_.isNull() && isVisible()) TakeUnderPicture();
  // Only what the opaque widgets over it leave visible (the ring around a key cap) changes.
  if (!under_.isNull()) {
    update(shown_);
  } else {
    update();
  }
}

void ControlWidget::OwnLookChanged() {
  over_taken_ = false;
  DropUnderPicture();
  UpdateOpaque();
  host_.DropUnderPictures(this);
}

void ControlWidget::DropUnderPicture() {
  if (under_.isNull()) return;
  under_ = QPixmap();
  UpdateOpaque();
}

void ControlWidget::TakeUnderPicture() {
  QPixmap picture;
  if (OpaqueBackground()) {
    picture = QPixmap((QSizeF(size()) * devicePixelRatioF()).toSize());
    picture.setDevicePixelRatio(devicePixelRatioF());
    picture.fill(Qt::transparent);
  } else {
    QWidget* top = window();
    host_.BeginUnderPicture(this);
    picture = top->grab(QRect(mapTo(top, QPoint(0, 0)), size()));
    host_.EndUnderPicture();
  }
  if (picture.isNull()) return;
  {
    QPainter p(&picture);
    PaintUnder(p, rect());
  }
  under_ = picture;
  // Opaque siblings painted over it hide part of it for good.
  shown_ = QRegion(rect());
  if (QWidget* parent = parentWidget()) {
    const QObjectList& order = parent->children();
    for (auto i = order.indexOf(this) + 1; i < order.size(); ++i) {
      auto* above = qobject_cast<QWidget*>(order[i]);
      if (above != nullptr && above->isVisible() && above->testAttribute(Qt::WA_OpaquePaintEvent))
        shown_ -= above->geometry().translated(-pos());
    }
  }
  UpdateOpaque();
}

void ControlWidget::TakeOverPicture(bool with_under) {
  if (over_taken_ && over_with_under_ == with_under) return;
  const qreal ratio = devicePixelRatioF();
  over_ = QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
  over_.setDevicePixelRatio(ratio);
  over_.fill(Qt::transparent);
  {
    QPainter p(&over_);
    p.setRenderHint(QPainter::Antialiasing);
    if (with_under) PaintUnder(p, rect());
    PaintOver(p, rect());
  }
  over_taken_ = true;
  over_with_under_ = with_under;
  over_empty_ = true;
  for (int y = 0; y < over_.height() && over_empty_; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(over_.constScanLine(y));
    for (int x = 0; x < over_.width(); ++x) {
      if (qAlpha(line[x]) != 0) {
        over_empty_ = false;
        break;
      }
    }
  }
}

void ControlWidget::SyncNative() {
  syncing_ = true;
  setToolTip(Q(control_.ToolTip()));
  setEnabled(control_.IsEnabled());
  const QFont font = host_.FontFor(control_.FontId());
  if (combo_) {
    auto& combo = static_cast<ui::Combo&>(control_);
    combo_->setFont(font);
    combo_->clear();
    for (std::size_t i = 0; i < combo.Count(); ++i) combo_->addItem(Q(combo.ChildAt(i)->Text()));
    combo_->setCurrentIndex(combo.CurSel());
  }
  if (slider_) {
    auto& s = static_cast<ui::Slider&>(control_);
    slider_->setRange(s.MinValue(), s.MaxValue());
    if (!slider_->isSliderDown()) slider_->setValue(s.Value());
  }
  if (line_edit_) {
    line_edit_->setFont(font);
    if (line_edit_->text().toStdString() != control_.Text()) line_edit_->setText(Q(control_.Text()));
  }
  if (text_edit_) {
    text_edit_->setFont(font);
    if (text_edit_->toPlainText().toStdString() != control_.Text()) text_edit_->setPlainText(Q(control_.Text()));
  }
  syncing_ = false;
}

QString ControlWidget::StateImage() const {
  const auto* option = dynamic_cast<const ui::Option*>(&control_);
  auto pick = [&](std::string_view role) { return Q(control_.Image(role)); };
  QString img;
  if (!control_.IsEnabled()) img = pick("disabledimage");
  if (img.isEmpty() && option != nullptr && option->IsSelected()) img = pick("selectedimage");
  if (img.isEmpty() && pressed_) img = pick("pushedimage");
  if (img.isEmpty() && hot_) img = pick("hotimage");
  if (img.isEmpty()) img = pick("normalimage");
  return img;
}

void ControlWidget::paintEvent(QPaintEvent*) {
  if (host_.LeftOutOfPicture(this)) return;
  QPainter p(this);
  const QRect r = rect();
  if (live_ && !under_.isNull()) {
    p.drawPixmap(0, 0, under_);
    PaintSpot(p, r);
    TakeOverPicture(false);
    if (!over_empty_) p.drawImage(0, 0, over_);
    return;
  }
  // An LED without a spot (a key cap over the lights) looks like any other leaf.
  const bool spotless = !live_ || (static_cast<const ui::LiveColorButton&>(control_).LiveColor() >> 24) == 0;
  if ((own_picture_ || (live_ && spotless)) && r.width() * r.height() <= kOwnPictureArea) {
    TakeOverPicture(true);
    if (!over_empty_) p.drawImage(0, 0, over_);
    return;
  }
  p.setRenderHint(QPainter::Antialiasing);
  PaintUnder(p, r);
  PaintSpot(p, r);
  PaintOver(p, r);
}

void ControlWidget::PaintUnder(QPainter& p, const QRect& r) {
  p.setRenderHint(QPainter::Antialiasing);
  if (control_.BkColor() != 0) p.fillRect(r, Argb(control_.BkColor()));
  const QString bk = Q(control_.Image("bkimage"));
  if (!bk.isEmpty()) {
    const QSizeF natural = host_.Images().NaturalSize(bk);
    if (control_.Align() == "center" && !natural.isEmpty()) {
      const QSizeF size(host_.Scale(static_cast<int>(natural.width())),
                        host_.Scale(static_cast<int>(natural.height())));
      host_.Images().Draw(p, bk, QRectF(QPointF(r.center()) - QPointF(size.width() / 2, size.height() / 2), size));
    } else {
      host_.Images().Draw(p, bk, r);
    }
  }
  if (auto* item = dynamic_cast<const ui::ListElement*>(&control_)) {
    const auto* list = dynamic_cast<const ui::List*>(item->Parent());
    if (list != nullptr && list->CurSel() == list->IndexOf(item)) p.fillRect(r, QColor(47, 184, 196, 70));
  }
}

void ControlWidget::PaintSpot(QPainter& p, const QRect& r) {
  if (!live_) return;
  // The LED as it looks: the colour at its brightness, a rounded spot under the images. The
  // shape is drawn once per size; a colour change only tints the pixels of it left in view.
  const std::uint32_t c = static_cast<const ui::LiveColorButton&>(control_).LiveColor();
  const int a = static_cast<int>(c >> 24);
  if (a == 0) return;
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = (QSizeF(r.size()) * ratio).toSize();
  if (pixels.isEmpty()) return;
  const QRegion in_view = under_.isNull() ? QRegion(r) : shown_;
  if (spot_.size() != pixels || spot_region_ != in_view) {
    QImage cover(pixels, QImage::Format_ARGB32_Premultiplied);
    cover.setDevicePixelRatio(ratio);
    cover.fill(Qt::transparent);
    QPainter shape(&cover);
    shape.setRenderHint(QPainter::Antialiasing);
    shape.setPen(Qt::NoPen);
    shape.setBrush(Qt::white);
    const qreal radius = std::min(r.width(), r.height()) / 4.0;
    shape.drawRoundedRect(QRectF(QPointF(0, 0), QSizeF(r.size())).adjusted(1, 1, -1, -1), radius, radius);
    shape.end();
    spot_pixels_.clear();
    for (int y = 0; y < pixels.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(cover.constScanLine(y));
      for (int x = 0; x < pixels.width(); ++x) {
        const int k = qAlpha(line[x]);
        if (k != 0 && in_view.contains(QPoint(static_cast<int>(x / ratio), static_cast<int>(y / ratio))))
          spot_pixels_.push_back({y * pixels.width() + x, k});
      }
    }
    spot_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    spot_.setDevicePixelRatio(ratio);
    spot_.fill(Qt::transparent);
    spot_region_ = in_view;
    spot_color_ = ~c;
  }
  if (spot_color_ != c) {
    spot_color_ = c;
    auto lit = [a](std::uint32_t v) { return static_cast<int>(v & 0xFFu) * a / 255; };
    const int red = lit(c >> 16);
    const int green = lit(c >> 8);
    const int blue = lit(c);
    auto* out = reinterpret_cast<QRgb*>(spot_.bits());
    for (const auto& [at, k] : spot_pixels_)
      out[at] = qRgba(red * k / 255, green * k / 255, blue * k / 255, k);
  }
  p.drawImage(r.topLeft(), spot_);
}

void ControlWidget::PaintOver(QPainter& p, const QRect& r) {
  if (hot_ && Clickable() && control_.IsEnabled()) {
    std::uint32_t hot = 0;
    if (ui::ParseColor(control_.Attribute("hotcolor"), hot)) {
      p.fillRect(r, Argb(hot));
    } else if (control_.Image("hotimage").empty()) {
      p.fillRect(r, QColor(255, 255, 255, 22));
    }
  }
  const QString state = StateImage();
  if (!state.isEmpty()) host_.Images().Draw(p, state, r);
  if (auto* option = dynamic_cast<const ui::Option*>(&control_);
      option != nullptr && option->IsSelected() && control_.Image("selectedimage").empty()) {
    p.fillRect(QRect(r.left(), r.bottom() - host_.Scale(2), r.width(), host_.Scale(2)), QColor(47, 184, 196));
  }
  if (auto* progress = dynamic_cast<const ui::Progress*>(&control_);
      progress != nullptr && dynamic_cast<const ui::Slider*>(&control_) == nullptr) {
    const int span = std::max(1, progress->MaxValue() - progress->MinValue());
    const int w = r.width() * (progress->Value() - progress->MinValue()) / span;
    std::uint32_t fore = 0xFF2FB8C4;
    ui::ParseColor(control_.Attribute("forecolor"), fore);
    p.fillRect(QRect(r.left(), r.top(), w, r.height()), Argb(fore));
  }
  if (auto* bars = dynamic_cast<const ui::SpectrumBars*>(&control_)) {
    std::uint32_t fore = 0xFF000000;
    ui::ParseColor(control_.Attribute("forecolor"), fore);
    const QColor color = Argb(fore);
    const auto& values = bars->Values();
    for (std::size_t k = 0; k < values.size() && static_cast<int>(2 * k) < r.width(); ++k) {
      const auto value = std::clamp<std::int64_t>(values[k], 0, ui::SpectrumBars::kFullScale);
      const int h = static_cast<int>(r.height() * value / ui::SpectrumBars::kFullScale);
      if (h > 0) p.fillRect(QRect(r.left() + static_cast<int>(2 * k), r.bottom() + 1 - h, 1, h), color);
    }
  }
  if (auto* chart = dynamic_cast<const ui::ChartView*>(&control_); chart != nullptr && !chart->Values().empty()) {
    std::uint32_t fore = 0xFF2FB8C4;
    ui::ParseColor(control_.Attribute("forecolor"), fore);
    const auto& values = chart->Values();
    const double span = chart->MaxValue() - chart->MinValue();
    const auto y_of = [&](int v) {
      const double clamped = std::clamp(v, chart->MinValue(), chart->MaxValue());
      return r.bottom() - (clamped - chart->MinValue()) / span * (r.height() - 1);
    };
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.drawLine(QPointF(r.left(), y_of(0)), QPointF(r.right(), y_of(0)));
    QPolygonF line;
    const double step = values.size() > 1 ? static_cast<double>(r.width()) / static_cast<double>(values.size() - 1) : 0;
    for (std::size_t k = 0; k < values.size(); ++k) line << QPointF(r.left() + step * static_cast<double>(k), y_of(values[k]));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Argb(fore), host_.Scale(2)));
    p.drawPolyline(line);
    p.setRenderHint(QPainter::Antialiasing, false);
  }
  if (auto* palette = dynamic_cast<const ui::ColorPalette*>(&control_)) {
    // Painted from the palette's own ColorAt, pixel by pixel, so a pick takes the colour shown.
    const int w = r.width();
    const int h = r.height();
    QImage face(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
      auto* line = reinterpret_cast<QRgb*>(face.scanLine(y));
      for (int x = 0; x < w; ++x) line[x] = ui::PaletteColorAt(*palette, x, y, w, h);
    }
    p.drawImage(r.topLeft(), face);
    const ui::PaletteMark m = ui::PaletteMarkOf(*palette, w, h);
    const int strip = ui::PaletteStripHeight(h);
    p.setPen(QPen(QColor(255, 255, 255), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPoint(r.left() + m.x, r.top() + m.y), 4, 4);
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.drawEllipse(QPoint(r.left() + m.x, r.top() + m.y), 5, 5);
    if (strip > 0) p.drawRect(QRect(r.left() + m.strip_x - 1, r.bottom() + 1 - strip, 3, strip - 1));
  }
  if (control_.BorderColor() != 0) {
    p.setPen(Argb(control_.BorderColor()));
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
  if (combo_ || slider_ || line_edit_ || text_edit_ || control_.Text().empty()) return;
  const QFont font = host_.FontFor(control_.FontId());
  p.setPen(control_.TextColor() != 0 ? Argb(control_.TextColor()) : QColor(0xE8, 0xED, 0xF2));
  Qt::Alignment align = Qt::AlignLeft;
  const std::string& where = control_.Align();
  const bool button = dynamic_cast<const ui::Button*>(&control_) != nullptr;
  if (where == "center" || (where.empty() && button)) {
    align = Qt::AlignHCenter;
  } else if (where == "right") {
    align = Qt::AlignRight;
  }
  DrawText(p, r, Q(control_.Text()), font, align, control_.Attribute("wordwrap") == "true");
}

void ControlWidget::DrawText(QPainter& p, const QRect& r, const QString& text, const QFont& font,
                             Qt::Alignment align, bool wrap) {
  if (text != label_text_ || font != label_font_ || r.width() != label_width_ || align != label_align_ ||
      wrap != label_wrap_) {
    label_text_ = text;
    label_font_ = font;
    label_width_ = r.width();
    label_align_ = align;
    label_wrap_ = wrap;
    label_.setText(text);
    label_.setTextFormat(Qt::PlainText);
    QTextOption option(align);
    option.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::NoWrap);
    label_.setTextOption(option);
    // Wrapped text is laid out in the width; a single line is placed by its own width below.
    label_.setTextWidth(wrap ? r.width() : -1);
    label_.prepare(QTransform(), font);
  }
  p.setFont(font);
  const QSizeF size = label_.size();
  qreal x = r.left();
  if (!wrap && align == Qt::AlignHCenter) x += (r.width() - size.width()) / 2;
  if (!wrap && align == Qt::AlignRight) x += r.width() - size.width();
  const qreal y = r.top() + (r.height() - size.height()) / 2;
  p.drawStaticText(QPointF(x, y), label_);
}

void ControlWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && control_.IsEnabled() && control_.RightClick()) return;
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  if (auto* palette = dynamic_cast<ui::ColorPalette*>(&control_)) {
    const QPoint at = event->position().toPoint();
    ui::PalettePickAt(*palette, at.x(), at.y(), width(), height());
    return;
  }
  if (Clickable()) {
    pressed_ = true;
    OwnLookChanged();
    update();
    return;
  }
  const QPoint in_window = mapTo(window(), event->position().toPoint());
  if (host_.InCaption(in_window) && window()->windowHandle() != nullptr) {
    window()->windowHandle()->startSystemMove();
    return;
  }
  QWidget::mousePressEvent(event);
}

void ControlWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return QWidget::mouseReleaseEvent(event);
  pressed_ = false;
  const bool inside = rect().contains(event->position().toPoint());
  QPointer<ControlWidget> self(this);
  OwnLookChanged();
  update();
  if (inside) control_.Activate();
  if (self) self->update();
}

void ControlWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (auto* item = dynamic_cast<ui::ListElement*>(&control_)) {
    item->DoubleClick();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

void ControlWidget::enterEvent(QEnterEvent* event) {
  hot_ = true;
  control_.OnMouseHover(true);
  OwnLookChanged();
  update();
  QWidget::enterEvent(event);
}

void ControlWidget::leaveEvent(QEvent* event) {
  hot_ = false;
  pressed_ = false;
  control_.OnMouseHover(false);
  OwnLookChanged();
  update();
  QWidget::leaveEvent(event);
}

void ControlWidget::resizeEvent(QResizeEvent* event) {
  for (QWidget* native : {static_cast<QWidget*>(combo_.data()), static_cast<QWidget*>(slider_.data()),
                          static_cast<QWidget*>(line_edit_.data()), static_cast<QWidget*>(text_edit_.data())}) {
    if (native != nullptr) native->setGeometry(rect());
  }
  over_taken_ = false;
  DropUnderPicture();
  QWidget::resizeEvent(event);
}

void ControlWidget::moveEvent(QMoveEvent* event) {
  DropUnderPicture();
  QWidget::moveEvent(event);
}

bool ControlWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    QPointer<ControlWidget> self(this);
    static_cast<ui::Edit&>(control_).UserFocus(event->type() == QEvent::FocusIn);
    if (!self) return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace brimvex::qt
