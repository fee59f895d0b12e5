#pragma once
// CDeviceHook: the recording and key capture hooks over the live input port. Each record the
// port hands over becomes the hook message of the mode (a name of the registered messages) and
// goes to the target on the UI thread.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <variant>

#include "platform/input_capture.h"

namespace brimvex::macros {

inline constexpr std::uint32_t kHookSingleKey = 0x001;
inline constexpr std::uint32_t kHookAppend = 0x004;
inline constexpr std::uint32_t kHookBefore = 0x008;
inline constexpr std::uint32_t kHookAfter = 0x010;
inline constexpr std::uint32_t kHookReplace = 0x020;

// The message names of a mode for keys and for mouse buttons ("" when the mode sends none).
std::string_view KeyHookMessage(std::uint32_t mode);
std::string_view MouseHookMessage(std::uint32_t mode);

struct HookMessage {
  std::string_view name;
  std::variant<platform::KeyRecord, platform::MouseRecord> record;
};

class CDeviceHook {
 public:
  using Target = std::function<void(const HookMessage&)>;
  explicit CDeviceHook(platform::InputCapture& capture) : capture_(&capture) {}
  ~CDeviceHook() { RemoveHooks(); }

  // Removes an earlier hook, then captures for this mode; 0 when capture cannot start (mode and
  // target are then not stored), else 1.
  int SetHook(std::uint32_t mode, Target target, bool keyboard, bool mouse);
  // Nonzero when a hook was removed.
  int RemoveHooks();
  bool Installed() const { return installed_; }
  std::uint32_t Mode() const { return mode_; }
  platform::InputCapture& Capture() { return *capture_; }
  // The capture later hooks use; an installed hook is removed first.
  void SetCapture(platform::InputCapture& capture);

 private:
  platform::InputCapture* capture_;
  bool installed_ = false;
  std::uint32_t mode_ = 0;
  Target target_;
};

}  // namespace brimvex::macros

namespace brimvex::macros {

// Where the recording hook messages go: the placement of the message's handler and whether it
// carries a key (true) or a mouse button record; nullopt for other names.
struct HookRoute {
  int placement = 0;  // 0 append, 1 before, 2 after, 3 replace
  bool key = false;
};
std::optional<HookRoute> RouteOfHookMessage(std::string_view name);

}  // namespace brimvex::macros
