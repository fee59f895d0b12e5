#pragma once
// Live input for macro recording and key capture. While capture runs, an adapter hands every
// key press and release and every mouse button event, in order, to the sink on the UI thread,
// stamped on the loop's monotonic clock. Adapters: the main window's key and mouse events (the
// default), the desktop's input devices (optional), and a scripted source for tests.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace brimvex::platform {

struct KeyRecord {
  std::uint8_t vk = 0;      // Windows virtual-key code (0 when the key has none)
  std::uint8_t scan = 0;    // set-1 scan code
  bool extended = false;    // the scan code's extended flag
  bool press = false;       // press (auto-repeats are presses too) or release
  std::chrono::milliseconds time{0};
  int linux_code = -1;      // the Linux key code, -1 when the source has none
  friend bool operator==(const KeyRecord&, const KeyRecord&) = default;
};

struct MouseRecord {
  std::uint32_t message = 0;   // 0x0201 ... 0x0208, 0x020B / 0x020C for the extra buttons
  int extra_button = 0;        // 1 back, 2 forward (extra button messages only)
  bool over_stop_button = false;  // the pointer is over "macro_btn_stopredio"
  std::chrono::milliseconds time{0};
  friend bool operator==(const MouseRecord&, const MouseRecord&) = default;
};

struct CaptureSink {
  std::function<void(const KeyRecord&)> key;
  std::function<void(const MouseRecord&)> mouse;
};

class InputCapture {
 public:
  virtual ~InputCapture() = default;
  // Starts delivering to the sink (replacing an earlier one); false when capture cannot start.
  // With `keys` false no key records come, with `mouse` false no mouse records.
  virtual bool Start(CaptureSink sink, bool keys, bool mouse) = 0;
  // Stops delivery; no record reaches the sink once it returns.
  virtual void Stop() = 0;
  virtual bool Active() const = 0;
  // Why the last Start failed, for the user ("" when it did not).
  virtual std::string Problem() const { return {}; }
  // Whether Start can be tried at all (the desktop capture: a node under /dev/input is readable).
  virtual bool Available() const { return true; }
};

// A capture the test drives: records given to Key and Mouse reach the sink at once while
// capture runs (dropped otherwise), exactly as stamped.
class ScriptedCapture : public InputCapture {
 public:
  bool Start(CaptureSink sink, bool keys, bool mouse) override {
    if (refuse) return false;
    sink_ = std::move(sink);
    keys_ = keys;
    mouse_ = mouse;
    active_ = true;
    ++starts;
    return true;
  }
  void Stop() override {
    active_ = false;
    sink_ = {};
  }
  bool Active() const override { return active_; }
  bool Key(const KeyRecord& r) {
    if (!active_ || !keys_ || !sink_.key) return false;
    sink_.key(r);
    return true;
  }
  bool Mouse(const MouseRecord& r) {
    if (!active_ || !mouse_ || !sink_.mouse) return false;
    sink_.mouse(r);
    return true;
  }
  bool refuse = false;
  int starts = 0;

 private:
  CaptureSink sink_;
  bool keys_ = false, mouse_ = false, active_ = false;
};

// The capture of the running program: the frontend sets its window capture; until then (and
// headless) a capture that refuses to start.
InputCapture& CurrentInputCapture();
void SetCurrentInputCapture(InputCapture* capture);
// The optional capture of the whole desktop ("macro_check_desktop"); null when there is none.
InputCapture* DesktopCapture();
void SetDesktopCapture(InputCapture* capture);

}  // namespace brimvex::platform
