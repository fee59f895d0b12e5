#pragma once
// The leaf controls of the model: label, button, option (with group), check box, progress,
// slider, edit, rich edit and colour palette.
#include <array>
#include <cstdint>
#include <span>
#include <vector>
#include <string>

#include "platform/ui/control.h"

namespace brimvex::ui {

class Label : public Control {
 public:
  Label() : Control("Label") {}

 protected:
  explicit Label(std::string class_name) : Control(std::move(class_name)) {}
};

// A click raises "click".
class Button : public Label {
 public:
  Button() : Label("Button") {}
  bool Activate() override;

 protected:
  explicit Button(std::string class_name) : Label(std::move(class_name)) {}
};

// A button that shows a live colour (an LED of a device picture) under its images: 0xAARRGGBB,
// the alpha being the brightness the colour is shown at. Setting it only stores it; RepaintLive
// tells the window, so the owner decides how often the window repaints.
class LiveColorButton : public Button {
 public:
  LiveColorButton() : Button("LiveColorButton") {}
  std::uint32_t LiveColor() const { return live_color_; }
  // True when the colour changed.
  bool SetLiveColor(std::uint32_t argb) {
    if (argb == live_color_) return false;
    live_color_ = argb;
    return true;
  }
  void RepaintLive() { Changed(Aspect::kPicture); }

 protected:
  explicit LiveColorButton(std::string class_name) : Button(std::move(class_name)) {}

 private:
  std::uint32_t live_color_ = 0;
};

// A selectable button. Options of one group (in one window) are exclusive: a click selects;
// without a group a click toggles. A change raises "selectchanged".
class Option : public Button {
 public:
  Option() : Button("Option") {}
  const std::string& Group() const { return group_; }
  void SetGroup(std::string group) { group_ = std::move(group); }
  bool IsSelected() const { return selected_; }
  // Sets the state; `notify` raises "selectchanged" when it changed.
  void Selected(bool selected, bool notify = true);
  bool Activate() override;
  bool SetAttribute(std::string_view name, std::string_view value) override;
  // Selecting the option shows page `index` of the tab layout `tab_name`.
  void BindTabPage(std::string tab_name, int index);
  const std::string& BoundTab() const { return bind_tab_; }
  int BoundTabIndex() const { return bind_index_; }

 protected:
  explicit Option(std::string class_name) : Button(std::move(class_name)) {}

 private:
  std::string group_;
  std::string bind_tab_;
  int bind_index_ = -1;
  bool selected_ = false;
};

// An option that always toggles; a click also raises "checkclick".
class CheckBox : public Option {
 public:
  CheckBox() : Option("CheckBox") {}
  bool IsChecked() const { return IsSelected(); }
  void SetCheck(bool check, bool notify = true) { Selected(check, notify); }
  bool Activate() override;
};

class Progress : public Label {
 public:
  Progress() : Label("Progress") {}
  int MinValue() const { return min_; }
  int MaxValue() const { return max_; }
  int Value() const { return value_; }
  void SetRange(int min, int max);
  // Clamped into the range; no notification.
  void SetValue(int value);
  bool SetAttribute(std::string_view name, std::string_view value) override;

 protected:
  explicit Progress(std::string class_name) : Label(std::move(class_name)) {}

 private:
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
};

class Slider : public Progress {
 public:
  Slider() : Progress("Slider") {}
  // The thumb is being dragged: raises "movevaluechanged".
  void UserMoveValue(int value);
  // The thumb was released or the value stepped: raises "valuechanged".
  void UserSetValue(int value);
};

// A single-line edit. The user typing raises "textchanged"; focus changes raise "setfocus" and
// "killfocus".
class Edit : public Label {
 public:
  Edit() : Label("Edit") {}
  void UserSetText(std::string text);
  void UserFocus(bool focused);
  bool IsReadOnly() const { return read_only_; }
  int MaxChars() const { return max_chars_; }
  bool SetAttribute(std::string_view name, std::string_view value) override;

 protected:
  explicit Edit(std::string class_name) : Label(std::move(class_name)) {}

 private:
  bool read_only_ = false;
  int max_chars_ = 255;
};

class RichEdit : public Edit {
 public:
  RichEdit() : Edit("RichEdit") {}
};

// Picks a colour; a pick raises "colorchanged" with the colour in wParam.
class ColorPalette : public Control {
 public:
  ColorPalette() : Control("ColorPalette") {}
  std::uint32_t SelectedColor() const { return color_; }
  void SetSelectedColor(std::uint32_t color);
  void UserPickColor(std::uint32_t color);

 private:
  std::uint32_t color_ = 0xFFFF0000;
};

// Spectrum bars: 500 values, painted left to right every 2 pixels as 1-pixel bars rising from the
// bottom by height x value / 8192 (as many as the width holds), in "forecolor" (black by default)
// over the background colour. Setting the values only stores them; RepaintBars tells the window.
class SpectrumBars : public Control {
 public:
  static constexpr std::size_t kValues = 500;
  static constexpr std::int32_t kFullScale = 8192;

  SpectrumBars() : Control("SpectrumBars") {}
  const std::array<std::int32_t, kValues>& Values() const { return values_; }
  // Takes up to 500 values (the rest become 0); true when something changed.
  bool SetValues(std::span<const std::int32_t> values);
  void RepaintBars() { Changed(Aspect::kPicture); }

 protected:
  explicit SpectrumBars(std::string class_name) : Control(std::move(class_name)) {}

 private:
  std::array<std::int32_t, kValues> values_{};
};

// A line through evenly spaced points from left to right, each value placed between "min"
// (bottom) and "max" (top), in "forecolor" over the background colour, with a faint zero line.
class ChartView : public Control {
 public:
  ChartView() : Control("ChartView") {}
  int MinValue() const { return min_; }
  int MaxValue() const { return max_; }
  void SetRange(int min, int max);
  const std::vector<int>& Values() const { return values_; }
  // Stores the points and repaints when they changed.
  void SetValues(std::vector<int> values);
  bool SetAttribute(std::string_view name, std::string_view value) override;

 private:
  int min_ = -20;
  int max_ = 20;
  std::vector<int> values_;
};

}  // namespace brimvex::ui
