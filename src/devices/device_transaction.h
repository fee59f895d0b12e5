#pragma once
// One configuration exchange of a keyboard or mouse: CMD_BEGIN, the body's commands, CMD_END,
// under the channel's command lock. The result is RESULT_OK or the first failure; CMD_END
// follows every CMD_BEGIN the device answered (with any status).
//
// A gated exchange (the mouse) asks CMD_LINK_QUERY before every command when the channel goes
// through the receiver; once the mouse is reported unreachable nothing more is sent and the
// exchange returns RESULT_LINK_DOWN. On the cable the query sends nothing.
#include <functional>

#include "hid/command_channel.h"

namespace brimvex::devices {

class StepGate {
 public:
  StepGate(hid::CommandChannel& channel, bool gated) : channel_(channel), gated_(gated) {}
  // RESULT_OK when the next command may go out; RESULT_FAILED while the channel is closed;
  // RESULT_LINK_DOWN once the receiver said the device is out of reach (asked only once).
  int Allow();
  // Runs `step` when allowed; else the reason.
  int Step(const std::function<int()>& step);
  bool LinkDown() const { return down_; }

 private:
  hid::CommandChannel& channel_;
  bool gated_;
  bool down_ = false;
};

// RESULT_FAILED with nothing sent when the channel is closed.
int RunTransaction(hid::CommandChannel& channel, StepGate& gate, const std::function<int()>& body);

// The device answered a command (with any status): a transaction it began must be ended.
bool Answered(int result);

// Macro and recoil writes report 0 for success, so a failure without a status reads as a send
// failure there.
int BlockWriteFailure(int result);

}  // namespace brimvex::devices
