#pragma once
// The default output's monitor ("@DEFAULT_MONITOR@") through libpulse's asynchronous API (PipeWire
// serves it through pipewire-pulse): float mono at 48 kHz, one hop of 256 samples per fragment.
// When the default sink changes the stream moves to the new one's monitor; when the server goes
// away the source connects again after 1, 2, 4 ... 30 s.
#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop-api.h>
#include <pulse/stream.h>

#include <string>

#include "audio_source.h"

namespace brimvex::capture {

class PulseMonitorSource final : public AudioSource {
 public:
  static constexpr int kRate = 48000;

  PulseMonitorSource(pa_mainloop_api* api, AudioSourceListener& listener);
  ~PulseMonitorSource() override;
  PulseMonitorSource(const PulseMonitorSource&) = delete;
  PulseMonitorSource& operator=(const PulseMonitorSource&) = delete;

  // Starts connecting; the server need not be there yet.
  bool Open() override;
  void Close() override;
  // Running uncorks the stream; stopped, the server sends nothing.
  void SetRunning(bool running) override;

 private:
  void Connect();
  void Disconnect();
  void StartStream(const std::string& default_sink);
  void StopStream();
  void QueryDefaultSink();
  // From the callbacks: the context or stream broke. The retry timer tears down and connects.
  void RetryLater(const char* why);

  static void OnContextState(pa_context* c, void* self);
  static void OnServerEvent(pa_context* c, pa_subscription_event_type_t type, std::uint32_t index, void* self);
  static void OnServerInfo(pa_context* c, const pa_server_info* info, void* self);
  static void OnStreamState(pa_stream* s, void* self);
  static void OnStreamRead(pa_stream* s, std::size_t bytes, void* self);
  static void OnRetry(pa_mainloop_api* api, pa_time_event* e, const struct timeval* tv, void* self);

  pa_mainloop_api* api_;
  AudioSourceListener& listener_;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  pa_time_event* retry_ = nullptr;
  int backoff_seconds_ = 1;
  bool open_ = false;
  bool running_ = false;
  std::string sink_;  // the default sink the stream was opened on
};

}  // namespace brimvex::capture
