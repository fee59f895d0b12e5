#include "macros/device_hook.h"

namespace brimvex::macros {

std::string_view KeyHookMessage(std::uint32_t mode) {
  switch (mode) {
    case kHookSingleKey: return "WM_HOOK_KEY_SINGLEKEY_MSG";
    case 0x002: return "WM_HOOK_KEY_HITKEY_MSG";
    case kHookAppend: return "WM_HOOK_KEY_KBMACRO_MSG";
    case kHookBefore: return "WM_HOOK_KEY_KBMACROPREVIOUS_MSG";
    case kHookAfter: return "WM_HOOK_KEY_KBMACROLATER_MSG";
    case kHookReplace: return "WM_HOOK_KEY_KBMACROSINGLE_MSG";
    default: return {};
  }
}

std::string_view MouseHookMessage(std::uint32_t mode) {
  switch (mode) {
    case kHookAppend: return "WM_HOOK_KEY_MSMACRO_MSG";
    case kHookBefore: return "WM_HOOK_KEY_MSMACROPREVIOUS_MSG";
    case kHookAfter: return "WM_HOOK_KEY_MSMACROLATER_MSG";
    case kHookReplace: return "WM_HOOK_KEY_MSMACROSINGLE_MSG";
    default: return {};
  }
}

std::optional<HookRoute> RouteOfHookMessage(std::string_view name) {
  const std::uint32_t modes[] = {kHookAppend, kHookBefore, kHookAfter, kHookReplace};
  for (int k = 0; k < 4; ++k) {
    if (name == KeyHookMessage(modes[k])) return HookRoute{k, true};
    if (name == MouseHookMessage(modes[k])) return HookRoute{k, false};
  }
  return std::nullopt;
}

int CDeviceHook::SetHook(std::uint32_t mode, Target target, bool keyboard, bool mouse) {
  RemoveHooks();
  const std::string_view key_name = KeyHookMessage(mode);
  const std::string_view mouse_name = MouseHookMessage(mode);
  target_ = std::move(target);
  platform::CaptureSink sink;
  sink.key = [this, key_name](const platform::KeyRecord& r) {
    if (!key_name.empty() && target_) target_(HookMessage{key_name, r});
  };
  sink.mouse = [this, mouse_name](const platform::MouseRecord& r) {
    if (!mouse_name.empty() && target_) target_(HookMessage{mouse_name, r});
  };
  if (!capture_->Start(std::move(sink), keyboard, mouse)) {
    target_ = {};
    return 0;
  }
  installed_ = true;
  mode_ = mode;
  return 1;
}

void CDeviceHook::SetCapture(platform::InputCapture& capture) {
  if (&capture == capture_) return;
  RemoveHooks();
  capture_ = &capture;
}

int CDeviceHook::RemoveHooks() {
  if (!installed_) return 0;
  capture_->Stop();
  installed_ = false;
  target_ = {};
  return 1;
}

}  // namespace brimvex::macros
