#include "platform/input_capture.h"

#include <atomic>

namespace brimvex::platform {
namespace {

class NoCapture final : public InputCapture {
 public:
  bool Start(CaptureSink, bool, bool) override { return false; }
  void Stop() override {}
  bool Active() const override { return false; }
  std::string Problem() const override { return "no live input"; }
};

NoCapture g_none;
std::atomic<InputCapture*> g_current{nullptr};
std::atomic<InputCapture*> g_desktop{nullptr};

}  // namespace

InputCapture& CurrentInputCapture() {
  InputCapture* c = g_current.load();
  return c != nullptr ? *c : g_none;
}

void SetCurrentInputCapture(InputCapture* capture) { g_current.store(capture); }

InputCapture* DesktopCapture() { return g_desktop.load(); }

void SetDesktopCapture(InputCapture* capture) { g_desktop.store(capture); }

}  // namespace brimvex::platform
