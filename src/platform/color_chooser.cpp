#include "platform/color_chooser.h"

#include <atomic>

namespace brimvex::platform {
namespace {
std::atomic<ColorChooser*> g_chooser{nullptr};
}

std::optional<std::uint32_t> ScriptedColorChooser::Choose(std::uint32_t initial) {
  shown_.push_back(initial);
  if (answers_.empty()) return std::nullopt;
  const auto answer = answers_.front();
  answers_.pop_front();
  if (answer) return *answer | 0xFF000000u;
  return std::nullopt;
}

ColorChooser& CurrentColorChooser() {
  static ScriptedColorChooser cancelling;
  ColorChooser* c = g_chooser.load();
  return c != nullptr ? *c : cancelling;
}

void SetCurrentColorChooser(ColorChooser* chooser) { g_chooser.store(chooser); }

}  // namespace brimvex::platform
