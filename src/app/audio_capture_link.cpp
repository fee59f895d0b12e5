#include "app/audio_capture_link.h"

#include <algorithm>

#include "platform/process.h"
#include "platform/trace.h"

namespace brimvex::app {
namespace {

class SteadyTime final : public WatchdogTime {
 public:
  platform::Millis Now() override {
    return std::chrono::duration_cast<platform::Millis>(std::chrono::steady_clock::now().time_since_epoch());
  }
  int Wait(std::span<platform::Event* const> events, platform::Millis timeout) override {
    return platform::Event::WaitAny(events, timeout);
  }
};

}  // namespace

WatchdogTime& SteadyWatchdogTime() {
  static SteadyTime time;
  return time;
}

std::string CaptureStatusLine(const CaptureLinkStatus& s) {
  if (s.running) return "capture: running pid " + std::to_string(s.pid) + " restarts " + std::to_string(s.restarts);
  return "capture: stopped (" + s.reason + ")";
}

AudioCaptureLink::AudioCaptureLink(Setup setup)
    : setup_(std::move(setup)), time_(setup_.time != nullptr ? *setup_.time : SteadyWatchdogTime()) {}

AudioCaptureLink::~AudioCaptureLink() {
  Shutdown();
  alive_.reset();
}

platform::Millis AudioCaptureLink::NextDelay(platform::Millis previous, platform::Millis ran) {
  if (previous.count() <= 0 || ran >= kSteadyRun) return kFirstRestart;
  return std::min(previous * 2, kLongestRestart);
}

void AudioCaptureLink::SetStopped(std::string reason) {
  std::lock_guard lock(mutex_);
  status_.running = false;
  status_.pid = 0;
  status_.reason = std::move(reason);
}

void AudioCaptureLink::Run(const platform::ThreadParam& param) {
  ran_ = true;
  platform::Event* const stops[] = {param.stop, &stop_};
  platform::Millis delay{0};
  bool first = true;
  bool failure_shown = false;
  while (!setup_.argv.empty() && setup_.shell != nullptr) {
    if (delay.count() > 0 && time_.Wait(stops, delay) >= 0) break;
    if (stops[0]->IsSet() || stop_.IsSet()) break;
    std::string error;
    // Started from this thread, which lives until the exit sequence has run.
    std::unique_ptr<platform::ChildProcess> child = setup_.shell->StartChild(setup_.argv, &error);
    if (child == nullptr) {
      platform::Trace("audio capture: cannot start: " + error);
      SetStopped("cannot start: " + error);
      if (!failure_shown && setup_.loop != nullptr && setup_.open_failed) {
        failure_shown = true;
        setup_.loop->Post([report = setup_.open_failed, error] { report(error); });
      }
      delay = NextDelay(delay, platform::Millis(0));
      continue;
    }
    failure_shown = false;
    {
      std::lock_guard lock(mutex_);
      status_.running = true;
      status_.pid = child->Pid();
      if (!first) ++status_.restarts;
      status_.reason.clear();
    }
    platform::TraceF("audio capture: started pid %d", child->Pid());
    // A restarted program is connected (and given the style) as soon as it listens; this try
    // covers one that was quicker than its own hello.
    if (!first && setup_.loop != nullptr)
      setup_.loop->Post([this, alive = std::weak_ptr<bool>(alive_)] {
        if (!alive.expired()) Connect();
      });
    first = false;
    const platform::Millis started = time_.Now();
    platform::Event* const waits[] = {param.stop, &stop_, &child->Exited()};
    const int woken = time_.Wait(waits, platform::kInfinite);
    if (woken != 2) {
      ExitSequence(*child);
      break;
    }
    const auto ending = child->Reap();
    const std::string how = ending ? platform::EndingText(*ending) : std::string("unknown");
    platform::Trace("audio capture: ended with " + how);
    SetStopped("ended with " + how);
    delay = NextDelay(delay, time_.Now() - started);
  }
  platform::Trace("AudioDaemonThreadPrc stop");
  ended_.Set();
}

void AudioCaptureLink::ExitSequence(platform::ChildProcess& child) {
  for (CaptureCommand c : {CaptureCommand::kStopSending, CaptureCommand::kCloseSource, CaptureCommand::kExit})
    PostCommand(c);
  platform::Event* const exited[] = {&child.Exited()};
  if (time_.Wait(exited, kExitGrace) < 0) {
    platform::Trace("audio capture: no exit after code 5, SIGTERM");
    child.Terminate();
    if (time_.Wait(exited, kExitGrace) < 0) {
      platform::Trace("audio capture: no exit after SIGTERM, SIGKILL");
      child.Kill();
    }
  }
  const auto ending = child.WaitAndReap(platform::kInfinite);
  SetStopped(ending ? "shut down, " + platform::EndingText(*ending) : std::string("shut down"));
}

void AudioCaptureLink::Shutdown() {
  stop_.Set();
  if (ran_) ended_.Wait();
}

bool AudioCaptureLink::PostCommand(CaptureCommand command, std::int64_t lparam) {
  if (setup_.peers == nullptr) return false;
  return setup_.peers->Post(std::string(kCapturePeerName),
                            PeerMessage{std::string(kAudioRecorderName), static_cast<std::uint64_t>(command), lparam, {}});
}

bool AudioCaptureLink::Connect() {
  if (!PostCommand(CaptureCommand::kSendToProgram, platform::CurrentProcessId())) {
    platform::Trace("audio capture: not listening, not connected");
    return false;
  }
  const bool sent = PostCommand(CaptureCommand::kOpenSource) && PostCommand(CaptureCommand::kStartSending);
  return SendStyle() && sent;
}

void AudioCaptureLink::OnRecorderMessage(std::uint64_t wparam, std::int64_t lparam) {
  if (wparam == static_cast<std::uint64_t>(CaptureCommand::kSendToProgram) && lparam == kCaptureHello) Connect();
}

bool AudioCaptureLink::SetStyle(const CaptureStyle& style) {
  KeepStyle(style);
  return SendStyle();
}

void AudioCaptureLink::KeepStyle(const CaptureStyle& style) {
  std::lock_guard lock(mutex_);
  style_ = style;
}

CaptureStyle AudioCaptureLink::Style() const {
  std::lock_guard lock(mutex_);
  return style_;
}

bool AudioCaptureLink::SendStyle() {
  if (setup_.peers == nullptr) return false;
  const bool sent = setup_.peers->PostWithin(
      std::string(kCapturePeerName),
      PeerMessage{std::string(kCopyDataName), static_cast<std::uint64_t>(platform::CurrentProcessId()), kCopyDataStyle,
                  EncodeCaptureStyle(Style())},
      kStyleSendTimeout);
  if (!sent) platform::Trace("audio capture: the style did not reach the capture program");
  return sent;
}

CaptureLinkStatus AudioCaptureLink::Status() const {
  std::lock_guard lock(mutex_);
  return status_;
}

}  // namespace brimvex::app
