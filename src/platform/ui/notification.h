#pragma once
// A notification raised by a control: {type, sender, wParam, lParam}, handed to the window's
// notifier on the UI thread.
#include <cstdint>
#include <string>

namespace brimvex::ui {

class Control;

struct Notification {
  std::string type;  // "click", "selectchanged", "itemselect", "valuechanged", "timer", ...
  Control* sender = nullptr;
  std::uint64_t wparam = 0;
  std::int64_t lparam = 0;
};

class Notifier {
 public:
  virtual ~Notifier() = default;
  virtual void Notify(Notification& notification) = 0;
};

// Notification type names used by the program.
namespace notify {
inline constexpr const char* kClick = "click";
inline constexpr const char* kSelectChanged = "selectchanged";
inline constexpr const char* kItemSelect = "itemselect";
inline constexpr const char* kItemClick = "itemclick";
inline constexpr const char* kItemActivate = "itemactivate";
inline constexpr const char* kValueChanged = "valuechanged";
inline constexpr const char* kMoveValueChanged = "movevaluechanged";
inline constexpr const char* kTextChanged = "textchanged";
inline constexpr const char* kSetFocus = "setfocus";
inline constexpr const char* kKillFocus = "killfocus";
inline constexpr const char* kCheckClick = "checkclick";
inline constexpr const char* kWindowInit = "windowinit";
inline constexpr const char* kWindowSize = "windowsize";
inline constexpr const char* kTimer = "timer";
inline constexpr const char* kColorChanged = "colorchanged";
inline constexpr const char* kMouseEnter = "msenter";
inline constexpr const char* kMouseLeave = "msleave";
inline constexpr const char* kDoubleClick = "dbclick";
inline constexpr const char* kMenu = "menu";
}  // namespace notify

}  // namespace brimvex::ui

#include <functional>

namespace brimvex::ui {

// A notifier that calls a function.
class FunctionNotifier final : public Notifier {
 public:
  explicit FunctionNotifier(std::function<void(Notification&)> f) : f_(std::move(f)) {}
  void Notify(Notification& notification) override { f_(notification); }

 private:
  std::function<void(Notification&)> f_;
};

}  // namespace brimvex::ui
