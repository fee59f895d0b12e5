#include "pulse_monitor_source.h"

#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/subscribe.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <cstdio>

#include "fft_levels.h"

namespace brimvex::capture {
namespace {

constexpr int kMaxBackoffSeconds = 30;

void Say(const std::string& line) { std::fprintf(stderr, "brimvex-audio-capture: %s\n", line.c_str()); }

void Done(pa_operation* op) {
  if (op != nullptr) pa_operation_unref(op);
}

}  // namespace

PulseMonitorSource::PulseMonitorSource(pa_mainloop_api* api, AudioSourceListener& listener)
    : api_(api), listener_(listener) {}

PulseMonitorSource::~PulseMonitorSource() { Close(); }

bool PulseMonitorSource::Open() {
  if (open_) return true;
  open_ = true;
  backoff_seconds_ = 1;
  Connect();
  return true;
}

void PulseMonitorSource::Close() {
  open_ = false;
  if (retry_ != nullptr) api_->time_free(retry_);
  retry_ = nullptr;
  Disconnect();
}

void PulseMonitorSource::SetRunning(bool running) {
  running_ = running;
  if (stream_ != nullptr && pa_stream_get_state(stream_) == PA_STREAM_READY)
    Done(pa_stream_cork(stream_, running ? 0 : 1, nullptr, nullptr));
}

void PulseMonitorSource::Connect() {
  context_ = pa_context_new(api_, "Brimvex audio capture");
  if (context_ == nullptr) {
    RetryLater("cannot make a sound server context");
    return;
  }
  pa_context_set_state_callback(context_, &PulseMonitorSource::OnContextState, this);
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
    RetryLater(pa_strerror(pa_context_errno(context_)));
}

void PulseMonitorSource::Disconnect() {
  StopStream();
  if (context_ == nullptr) return;
  pa_context_set_state_callback(context_, nullptr, nullptr);
  pa_context_set_subscribe_callback(context_, nullptr, nullptr);
  pa_context_disconnect(context_);
  pa_context_unref(context_);
  context_ = nullptr;
}

void PulseMonitorSource::RetryLater(const char* why) {
  if (retry_ != nullptr || !open_) return;
  Say(std::string("sound server: ") + why + "; trying again in " + std::to_string(backoff_seconds_) + " s");
  timeval due{};
  pa_gettimeofday(&due);
  pa_timeval_add(&due, static_cast<pa_usec_t>(backoff_seconds_) * PA_USEC_PER_SEC);
  retry_ = api_->time_new(api_, &due, &PulseMonitorSource::OnRetry, this);
  backoff_seconds_ = std::min(backoff_seconds_ * 2, kMaxBackoffSeconds);
}

void PulseMonitorSource::OnRetry(pa_mainloop_api* api, pa_time_event* e, const struct timeval*, void* self) {
  auto* source = static_cast<PulseMonitorSource*>(self);
  api->time_free(e);
  source->retry_ = nullptr;
  // Torn down here, outside the library's callbacks.
  source->Disconnect();
  if (source->open_) source->Connect();
}

void PulseMonitorSource::OnContextState(pa_context* c, void* self) {
  auto* source = static_cast<PulseMonitorSource*>(self);
  switch (pa_context_get_state(c)) {
    case PA_CONTEXT_READY:
      pa_context_set_subscribe_callback(c, &PulseMonitorSource::OnServerEvent, source);
      Done(pa_context_subscribe(c, PA_SUBSCRIPTION_MASK_SERVER, nullptr, nullptr));
      source->QueryDefaultSink();
      break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
      source->RetryLater(pa_strerror(pa_context_errno(c)));
      break;
    default:
      break;
  }
}

void PulseMonitorSource::QueryDefaultSink() {
  Done(pa_context_get_server_info(context_, &PulseMonitorSource::OnServerInfo, this));
}

void PulseMonitorSource::OnServerEvent(pa_context*, pa_subscription_event_type_t type, std::uint32_t, void* self) {
  if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SERVER)
    static_cast<PulseMonitorSource*>(self)->QueryDefaultSink();
}

void PulseMonitorSource::OnServerInfo(pa_context*, const pa_server_info* info, void* self) {
  auto* source = static_cast<PulseMonitorSource*>(self);
  if (info == nullptr || source->context_ == nullptr) return;
  const std::string sink = info->default_sink_name != nullptr ? info->default_sink_name : "";
  if (sink == source->sink_ && source->stream_ != nullptr) return;
  source->StopStream();
  // Without any sink there is nothing to monitor until one comes (a server event then).
  if (!sink.empty()) source->StartStream(sink);
}

void PulseMonitorSource::StartStream(const std::string& default_sink) {
  const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, kRate, 1};
  stream_ = pa_stream_new(context_, "spectrum", &spec, nullptr);
  if (stream_ == nullptr) {
    RetryLater(pa_strerror(pa_context_errno(context_)));
    return;
  }
  sink_ = default_sink;
  pa_stream_set_state_callback(stream_, &PulseMonitorSource::OnStreamState, this);
  pa_stream_set_read_callback(stream_, &PulseMonitorSource::OnStreamRead, this);
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.tlength = static_cast<std::uint32_t>(-1);
  attr.prebuf = static_cast<std::uint32_t>(-1);
  attr.minreq = static_cast<std::uint32_t>(-1);
  attr.fragsize = static_cast<std::uint32_t>(SpectrumAnalyzer::kHop * sizeof(float));
  // A monitor that only looks must not keep an idle sink from suspending.
  auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_INHIBIT_AUTO_SUSPEND |
                                              (running_ ? 0 : PA_STREAM_START_CORKED));
  if (pa_stream_connect_record(stream_, "@DEFAULT_MONITOR@", &attr, flags) < 0)
    RetryLater(pa_strerror(pa_context_errno(context_)));
}

void PulseMonitorSource::StopStream() {
  sink_.clear();
  if (stream_ == nullptr) return;
  pa_stream_set_state_callback(stream_, nullptr, nullptr);
  pa_stream_set_read_callback(stream_, nullptr, nullptr);
  pa_stream_disconnect(stream_);
  pa_stream_unref(stream_);
  stream_ = nullptr;
}

void PulseMonitorSource::OnStreamState(pa_stream* s, void* self) {
  auto* source = static_cast<PulseMonitorSource*>(self);
  switch (pa_stream_get_state(s)) {
    case PA_STREAM_READY:
      source->backoff_seconds_ = 1;
      Say("listening to " + source->sink_ + ".monitor");
      // Corking asked for before the stream was ready is applied now.
      Done(pa_stream_cork(s, source->running_ ? 0 : 1, nullptr, nullptr));
      break;
    case PA_STREAM_FAILED:
      source->RetryLater(pa_strerror(pa_context_errno(pa_stream_get_context(s))));
      break;
    case PA_STREAM_TERMINATED:
      source->RetryLater("the monitor stream ended");
      break;
    default:
      break;
  }
}

void PulseMonitorSource::OnStreamRead(pa_stream* s, std::size_t, void* self) {
  auto* source = static_cast<PulseMonitorSource*>(self);
  for (;;) {
    const void* data = nullptr;
    std::size_t bytes = 0;
    if (pa_stream_peek(s, &data, &bytes) < 0 || bytes == 0) return;
    // A hole (data missing) is skipped; the spectrum simply goes on.
    if (data != nullptr)
      source->listener_.OnSamples(std::span<const float>(static_cast<const float*>(data), bytes / sizeof(float)));
    pa_stream_drop(s);
  }
}

}  // namespace brimvex::capture
