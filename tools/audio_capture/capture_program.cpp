#include "capture_program.h"

#include <pulse/mainloop-signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <stdexcept>

#include "app/app_messages.h"
#include "pulse_monitor_source.h"

namespace brimvex::capture {
namespace {

// A frame Brimvex does not take within this time is dropped rather than holding up the source.
constexpr int kSendTimeoutMs = 100;

void Say(const std::string& line) { std::fprintf(stderr, "brimvex-audio-capture: %s\n", line.c_str()); }

}  // namespace

CaptureProgram::CaptureProgram(CaptureOptions options)
    : options_(std::move(options)),
      loop_(pa_mainloop_new()),
      api_(pa_mainloop_get_api(loop_)),
      pid_(static_cast<std::uint64_t>(::getpid())),
      inbox_fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (loop_ == nullptr || inbox_fd_ < 0) throw std::runtime_error("cannot set up the main loop");
  hub_.set_send_timeout_ms(kSendTimeoutMs);
  inbox_event_ = api_->io_new(api_, inbox_fd_, PA_IO_EVENT_INPUT, &CaptureProgram::OnInbox, this);
}

CaptureProgram::~CaptureProgram() {
  hub_.Stop();
  source_.reset();
  if (inbox_event_ != nullptr) api_->io_free(inbox_event_);
  pa_signal_done();
  pa_mainloop_free(loop_);
  ::close(inbox_fd_);
}

int CaptureProgram::Run() {
  if (!hub_.ready()) {
    Say("the hub is not usable: " + hub_.error());
    return app::kCaptureExitNoHub;
  }
  if (pa_signal_init(api_) != 0) throw std::runtime_error("cannot watch signals");
  pa_signal_new(SIGTERM, &CaptureProgram::OnSignal, this);
  pa_signal_new(SIGINT, &CaptureProgram::OnSignal, this);
  const bool listening = hub_.Listen(std::string(app::kCapturePeerName), [this](const platform::IpcMessage& m) {
    {
      std::lock_guard lock(inbox_mutex_);
      inbox_.push_back(m);
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(inbox_fd_, &one, sizeof one);
  });
  if (!listening) {
    Say("cannot listen as " + std::string(app::kCapturePeerName));
    return app::kCaptureExitNoHub;
  }
  // Brimvex connects when it hears this; if it is not there yet it connects at its own start.
  Send({std::string(app::kAudioRecorderName),
        static_cast<std::uint64_t>(app::CaptureCommand::kSendToProgram),
        app::kCaptureHello,
        {}});
  int code = app::kCaptureExitOk;
  pa_mainloop_run(loop_, &code);
  hub_.Stop();
  source_.reset();
  return code;
}

void CaptureProgram::OnInbox(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self) {
  std::uint64_t count = 0;
  [[maybe_unused]] const auto n = ::read(fd, &count, sizeof count);
  static_cast<CaptureProgram*>(self)->DrainInbox();
}

void CaptureProgram::OnSignal(pa_mainloop_api*, pa_signal_event*, int, void* self) {
  pa_mainloop_quit(static_cast<CaptureProgram*>(self)->loop_, app::kCaptureExitOk);
}

void CaptureProgram::DrainInbox() {
  for (;;) {
    platform::IpcMessage message;
    {
      std::lock_guard lock(inbox_mutex_);
      if (inbox_.empty()) return;
      message = std::move(inbox_.front());
      inbox_.pop_front();
    }
    Handle(message);
  }
}

void CaptureProgram::Handle(const platform::IpcMessage& message) {
  if (message.name == app::kAudioRecorderName) {
    if (message.wparam > static_cast<std::uint64_t>(app::CaptureCommand::kExit)) {
      Say("ignored the unknown command " + std::to_string(message.wparam));
      return;
    }
    Carry(static_cast<app::CaptureCommand>(message.wparam));
  } else if (message.name == app::kCopyDataName && message.lparam == app::kCopyDataStyle) {
    if (const auto style = app::DecodeCaptureStyle(message.payload)) {
      shaper_.SetStyle(*style);
    } else {
      Say("dropped a style of " + std::to_string(message.payload.size()) + " bytes (need " +
          std::to_string(app::kStyleBytes) + ")");
    }
  }
}

void CaptureProgram::Carry(app::CaptureCommand command) {
  const auto code = static_cast<std::uint64_t>(command);
  switch (command) {
    case app::CaptureCommand::kSendToProgram:
      destination_known_ = true;
      break;
    case app::CaptureCommand::kOpenSource:
      if (!source_open_) {
        source_ = MakeSource();
        if (!source_->Open()) {
          Say("cannot open the source");
          source_.reset();
          Answer(code, app::kCaptureFailed);
          return;
        }
        source_open_ = true;
      }
      break;
    case app::CaptureCommand::kStartSending:
      sending_ = true;
      break;
    case app::CaptureCommand::kStopSending:
      sending_ = false;
      break;
    case app::CaptureCommand::kCloseSource:
      if (source_ != nullptr) source_->Close();
      source_open_ = false;
      break;
    case app::CaptureCommand::kExit:
      if (source_ != nullptr) source_->Close();
      Answer(code, app::kCaptureDone);
      pa_mainloop_quit(loop_, app::kCaptureExitOk);
      return;
  }
  UpdateRunning();
  Answer(code, app::kCaptureDone);
}

std::unique_ptr<AudioSource> CaptureProgram::MakeSource() {
  if (options_.wav.empty()) return std::make_unique<PulseMonitorSource>(api_, *this);
  return std::make_unique<WavSource>(api_, WavOptions{options_.wav, options_.loop, options_.fast}, *this);
}

void CaptureProgram::UpdateRunning() {
  const bool running = source_open_ && sending_;
  if (running == running_) return;
  running_ = running;
  if (running) {
    // Each start begins from silence, so no stale history leaks into the first frames.
    analyzer_.Reset();
    shaper_.Reset();
    gate_.Reset();
  }
  if (source_ != nullptr) source_->SetRunning(running);
}

void CaptureProgram::OnSamples(std::span<const float> mono) {
  analyzer_.Feed(mono, [this](std::span<const float> levels) {
    const FrameShaper::Frame& frame = shaper_.Shape(levels);
    if (!gate_.ShouldSend(frame) || !destination_known_) return;
    std::string payload(app::kSpectrumBytes, '\0');
    for (std::size_t k = 0; k < frame.size(); ++k) app::PutInt32(payload, k, frame[k]);
    Send({std::string(app::kCopyDataName), pid_, app::kCopyDataSpectrum, std::move(payload)});
  });
}

void CaptureProgram::OnSourceEnded() {
  // The source closed itself; it is kept until the next open, as it is still on the stack.
  source_open_ = false;
  running_ = false;
  Answer(static_cast<std::uint64_t>(app::CaptureCommand::kCloseSource), app::kCaptureDone);
}

void CaptureProgram::Answer(std::uint64_t command, std::int64_t result) {
  Send({std::string(app::kAudioRecorderName), command, result, {}});
}

void CaptureProgram::Send(platform::IpcMessage message) {
  const auto delivery = hub_.PostTo(std::string(app::kAppIdentifier), message);
  const bool failed = delivery != platform::IpcHub::Delivery::kDelivered;
  if (failed && !send_failing_)
    Say(std::string("Brimvex does not take messages: ") + platform::IpcHub::DeliveryText(delivery));
  if (!failed && send_failing_) Say("Brimvex takes messages again");
  send_failing_ = failed;
}

}  // namespace brimvex::capture
