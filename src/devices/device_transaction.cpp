#include "devices/device_transaction.h"

#include <mutex>

#include "platform/trace.h"

namespace brimvex::devices {

using hid::RESULT_FAILED;
using hid::RESULT_OK;

bool Answered(int result) {
  return result == RESULT_OK || result == hid::RESULT_DEVICE_FE || result == hid::RESULT_DEVICE_FF;
}

int BlockWriteFailure(int result) { return result == RESULT_FAILED ? hid::RESULT_SEND_FAILED : result; }

int StepGate::Allow() {
  if (down_) return hid::RESULT_LINK_DOWN;
  if (!channel_.IsOpen()) return RESULT_FAILED;
  if (!gated_ || channel_.LinkQuery()) return RESULT_OK;
  down_ = true;
  platform::Trace("2.4G 设备不可达，停止发送");
  return hid::RESULT_LINK_DOWN;
}

int StepGate::Step(const std::function<int()>& step) {
  const int allowed = Allow();
  return allowed == RESULT_OK ? step() : allowed;
}

int RunTransaction(hid::CommandChannel& ch, StepGate& gate, const std::function<int()>& body) {
  if (!ch.IsOpen()) return RESULT_FAILED;
  std::lock_guard lock(ch.CommandLock());
  const int begin = gate.Step([&] { return ch.Begin(); });
  if (!Answered(begin)) return begin;
  const int result = begin == RESULT_OK ? body() : begin;
  if (gate.LinkDown()) return hid::RESULT_LINK_DOWN;
  const int end = gate.Step([&] { return ch.End(); });
  return result != RESULT_OK ? result : end;
}

}  // namespace brimvex::devices
