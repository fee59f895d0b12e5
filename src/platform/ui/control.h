#pragma once
// The toolkit-neutral control model: a tree of named controls with text (or a language key),
// user data, visibility, enabled state, colours, images and tooltip. The renderer follows the
// model through the window's host; user input comes back through the controls' input entry
// points (Activate, UserSetValue, ...), which raise the same notifications a click does.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brimvex::ui {

class Window;
class Container;

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// What changed on a control, so the renderer can update only that. kPicture: only what the
// control paints (a live colour, bar values), never its place, size or native state.
enum class Aspect { kText, kVisible, kEnabled, kState, kItems, kStyle, kPicture };

class Control {
 public:
  explicit Control(std::string class_name = "Control");
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& ClassName() const { return class_name_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // The shown text. SetText drops a language key; SetTextKey resolves the key now and again on
  // every ReloadText.
  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  const std::string& TextKey() const { return text_key_; }
  void SetTextKey(std::string key);
  const std::string& ToolTip() const { return tooltip_; }
  void SetToolTip(std::string tooltip);
  const std::string& ToolTipKey() const { return tooltip_key_; }
  // Re-resolves the text and tooltip keys of this control and its children.
  virtual void ReloadText();

  const std::string& UserData() const { return user_data_; }
  void SetUserData(std::string data) { user_data_ = std::move(data); }
  std::int64_t Tag() const { return tag_; }
  void SetTag(std::int64_t tag) { tag_ = tag; }

  bool IsVisible() const { return visible_; }
  // A change calls OnVisibleChanged.
  void SetVisible(bool visible);
  bool IsEnabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // Colours are 0xAARRGGBB; 0 means none.
  std::uint32_t BkColor() const { return bk_color_; }
  void SetBkColor(std::uint32_t color);
  std::uint32_t TextColor() const { return text_color_; }
  void SetTextColor(std::uint32_t color);
  std::uint32_t BorderColor() const { return border_color_; }
  void SetBorderColor(std::uint32_t color);

  // Images by role: "bkimage", "normalimage", "hotimage", "pushedimage", "disabledimage",
  // "selectedimage", "foreimage", "thumbimage". Paths are relative to the skin folder.
  std::string Image(std::string_view role) const;
  void SetImage(std::string_view role, std::string path);
  const std::map<std::string, std::string, std::less<>>& Images() const { return images_; }

  // Size at 96 DPI; 0 means "take what the parent layout gives".
  int FixedWidth() const { return width_; }
  int FixedHeight() const { return height_; }
  void SetFixedSize(int width, int height);
  // A floating control sits at `FloatPos` inside its parent instead of in the layout flow.
  bool IsFloat() const { return float_; }
  const Rect& FloatPos() const { return float_pos_; }
  const Rect& Padding() const { return padding_; }
  int FontId() const { return font_; }
  const std::string& Align() const { return align_; }

  // Applies one layout attribute. Unknown names are kept (see Attribute) for the renderer;
  // false when a known attribute has a malformed value.
  virtual bool SetAttribute(std::string_view name, std::string_view value);
  std::string Attribute(std::string_view name) const;

  Container* Parent() const { return parent_; }
  Window* GetWindow() const { return window_; }

  // This control or the first descendant with that name (depth first), or nullptr.
  virtual Control* FindControl(std::string_view name);
  // Calls f on this control and every descendant, parents first.
  virtual void ForEach(const std::function<void(Control&)>& f);

  // What a click does. Disabled or hidden controls ignore it. Returns whether it acted.
  virtual bool Activate();
  // A control timer fired; by default the window is told with a "timer" notification.
  virtual void OnTimer(std::uint32_t id);
  // The pointer came onto (true) or left the control; the default does nothing.
  virtual void OnMouseHover(bool /*over*/) {}
  // A right click; returns whether it acted (the default does not).
  virtual bool RightClick() { return false; }
  // The window was shown or hidden (minimised counts as hidden). Called on every control of
  // the tree; the default does nothing.
  virtual void OnWindowVisibility(bool /*visible*/) {}
  // The control's own visible flag changed (a tab page selected or left, for one).
  virtual void OnVisibleChanged() {}

  // Raises a notification from this control to its window's notifiers (nothing when detached).
  void Notify(const char* type, std::uint64_t wparam = 0, std::int64_t lparam = 0);

 protected:
  void Changed(Aspect aspect);
  std::string Resolve(const std::string& key) const;

 private:
  friend class Container;
  friend class Window;
  void AttachTo(Window* window);

  std::string class_name_;
  std::string name_;
  std::string text_;
  std::string text_key_;
  std::string tooltip_;
  std::string tooltip_key_;
  std::string user_data_;
  std::int64_t tag_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::uint32_t bk_color_ = 0;
  std::uint32_t text_color_ = 0;
  std::uint32_t border_color_ = 0;
  std::map<std::string, std::string, std::less<>> images_;
  std::map<std::string, std::string, std::less<>> attributes_;
  int width_ = 0;
  int height_ = 0;
  bool float_ = false;
  Rect float_pos_;
  Rect padding_;
  int font_ = -1;
  std::string align_;
  Container* parent_ = nullptr;
  Window* window_ = nullptr;
};

// Parses "#AARRGGBB", "#RRGGBB", "0xAARRGGBB" (RRGGBB gets alpha FF).
bool ParseColor(std::string_view text, std::uint32_t& color);
// Parses "a,b,c,d" into up to four integers; false on anything else.
bool ParseInts(std::string_view text, std::vector<int>& out);

}  // namespace brimvex::ui
