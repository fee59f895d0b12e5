#pragma once
// A model window shown as a frameless Qt top-level widget: it builds one ControlWidget per
// control, places them with the model's layout at the window's DPI, drags the window by its
// caption band, runs modal windows in a nested loop, and hands the key presses it gets while it
// has the focus to the model window first.
#include <QEventLoop>
#include <QFont>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>

#include "platform/qt/image_cache.h"
#include "platform/ui/frontend.h"
#include "platform/ui/window.h"

namespace brimvex::qt {

class ControlWidget;

class WindowHostWidget final : public QWidget, public ui::WindowHost {
 public:
  WindowHostWidget(ui::Window& window, const ui::WindowStyle& style, ImageCache& images);
  ~WindowHostWidget() override;

  // ui::WindowHost
  void Show(bool show) override;
  bool IsVisible() const override;
  bool IsMinimized() const override;
  void Minimize() override;
  void Maximize() override;
  void Restore() override;
  void Center() override;
  void BringToFront() override;
  void Resize(int width, int height) override;
  int RunModal() override;
  void EndModal(int code) override;
  void ControlChanged(ui::Control& control, ui::Aspect aspect) override;
  void Relayout() override;
  int RefreshRate() const override;
  ui::Rect ScreenRectOf(const ui::Control& control) const override;
  void Move(int x, int y) override;

  ui::Window& Model() const { return window_; }
  ImageCache& Images() { return images_; }
  int Dpi() const { return window_.Dpi(); }
  int Scale(int v) const { return window_.Scale(v); }
  // The font of the skin's font table for `id`, scaled to the DPI.
  QFont FontFor(int id) const;
  // Installed faces with Chinese glyphs (then Latin ones), asked for after the skin's face.
  static const QStringList& FallbackFamilies();
  // True when a press at this window position should drag the window.
  bool InCaption(const QPoint& window_pos) const;

  // Live LEDs keep a picture of what lies under them, so a colour change paints the LED alone
  // and not the window beneath it. A widget that changed drops the pictures it shows in (null:
  // all of them); a live widget registers once.
  void AddLiveWidget(ControlWidget* w);
  void DropUnderPictures(const QWidget* changed);
  // While `w`'s under-picture is taken from the window, `w` and whatever is painted after it
  // paint nothing.
  void BeginUnderPicture(const QWidget* w) { picture_of_ = w; }
  void EndUnderPicture() { picture_of_ = nullptr; }
  bool LeftOutOfPicture(const QWidget* w) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Rebuild();
  void Build(ui::Control& control, QWidget* parent);
  void PlaceAll();
  void ForgetSubtree(ui::Control& control);

  ui::Window& window_;
  ui::WindowStyle style_;
  ImageCache& images_;
  QHash<const ui::Control*, QPointer<ControlWidget>> widgets_;
  QPointer<ControlWidget> root_widget_;
  int design_width_ = 0;
  int design_height_ = 0;
  QEventLoop* modal_loop_ = nullptr;
  bool screen_watched_ = false;
  int modal_code_ = 0;
  bool placing_ = false;
  QList<QPointer<ControlWidget>> live_widgets_;
  const QWidget* picture_of_ = nullptr;
};

}  // namespace brimvex::qt
