#pragma once
// Live input from the desktop's input devices: every readable node under /dev/input that has
// keys or buttons, opened through libevdev with CLOCK_MONOTONIC stamps and read by a thread that
// an eventfd ends; after SYN_DROPPED libevdev's deltas bring the state up to date. The devices
// are never grabbed: keys also reach the program in front, and a key held while capture starts
// is not left stuck. The input group is never asked for: a node that does not open is skipped.
// Records reach the sink on the UI thread, in order, each with its own event time.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/evdev_records.h"
#include "platform/event_loop.h"
#include "platform/input_capture.h"

namespace brimvex::platform {

class DesktopInputCapture final : public InputCapture {
 public:
  DesktopInputCapture(EventLoop& loop, EvdevRecordMaker::StopProbe over_stop, std::string folder = "/dev/input");
  ~DesktopInputCapture() override { Stop(); }

  bool Start(CaptureSink sink, bool keys, bool mouse) override;
  void Stop() override;
  bool Active() const override { return active_; }
  std::string Problem() const override { return problem_; }
  bool Available() const override;

 private:
  struct Node;
  void Read(std::vector<Node*> nodes, int abort_fd, std::uint64_t generation, Millis offset);
  void Deliver(const LiveRecord& record, std::uint64_t generation);

  EventLoop& loop_;
  EvdevRecordMaker::StopProbe over_stop_;
  std::string folder_;
  CaptureSink sink_;
  bool keys_ = false, mouse_ = false, active_ = false;
  std::string problem_;
  std::vector<Node*> nodes_;
  int abort_fd_ = -1;
  std::thread reader_;
  std::uint64_t generation_ = 0;  // records of an earlier start are dropped (UI thread only)
};

}  // namespace brimvex::platform
