#pragma once
// System sleep as the program sees it: told before the system suspends, with the time to put the
// devices to rest, and after it resumed. The Linux adapter listens to logind (platform/qt);
// tests script the events.
#include <functional>

namespace brimvex::platform {

class PowerEvents {
 public:
  struct Handlers {
    std::function<void()> suspend;  // the system is about to sleep
    std::function<void()> resume;   // the system woke up
  };
  virtual ~PowerEvents() = default;
  // Both run on the UI thread. The system sleeps only after `suspend` returned. Empty handlers
  // (the controller is gone) let go of whatever holds the sleep back.
  virtual void SetHandlers(Handlers handlers) = 0;
};

// The script says when the system sleeps and wakes; the inhibitor that holds the sleep back is
// taken when handlers are set and again after each resume, and let go once the suspend handler
// returned or the handlers are cleared.
class ScriptedPowerEvents final : public PowerEvents {
 public:
  void SetHandlers(Handlers handlers) override {
    handlers_ = std::move(handlers);
    if (!handlers_.suspend) {
      inhibited_ = false;
    } else if (!inhibited_) {
      inhibited_ = true;
      ++inhibitors_taken_;
    }
  }
  void Suspend() {
    if (handlers_.suspend) handlers_.suspend();
    inhibited_ = false;
  }
  void Resume() {
    inhibited_ = true;
    ++inhibitors_taken_;
    if (handlers_.resume) handlers_.resume();
  }
  bool Inhibited() const { return inhibited_; }
  int InhibitorsTaken() const { return inhibitors_taken_; }

 private:
  Handlers handlers_;
  bool inhibited_ = false;
  int inhibitors_taken_ = 0;
};

}  // namespace brimvex::platform
