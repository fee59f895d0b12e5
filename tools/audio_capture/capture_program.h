#pragma once
// brimvex-audio-capture's work once it holds its lock: it listens on the hub as
// "BrimvexAUDIORECORD", announces itself to "Brimvex", carries out the commands in the order they
// come, and while its source is open and it is told to send, turns every hop of samples into a
// spectrum frame for Brimvex. Everything but the hub's receiving thread runs on one main loop,
// so frames and answers leave in the order things happened.
#include <pulse/mainloop-signal.h>
#include <pulse/mainloop.h>

#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "app/audio_capture_protocol.h"
#include "audio_source.h"
#include "frame_shaper.h"
#include "platform/ipc_hub.h"
#include "fft_levels.h"
#include "wav_source.h"

namespace brimvex::capture {

struct CaptureOptions {
  // Empty: the default output's monitor.
  std::string wav;
  bool loop = false;
  bool fast = false;
};

class CaptureProgram final : public AudioSourceListener {
 public:
  explicit CaptureProgram(CaptureOptions options);
  ~CaptureProgram() override;
  CaptureProgram(const CaptureProgram&) = delete;
  CaptureProgram& operator=(const CaptureProgram&) = delete;

  // Runs until told to exit or SIGTERM/SIGINT; the exit code.
  int Run();

  void OnSamples(std::span<const float> mono) override;
  void OnSourceEnded() override;

 private:
  void DrainInbox();
  void Handle(const platform::IpcMessage& message);
  void Carry(app::CaptureCommand command);
  void UpdateRunning();
  void Answer(std::uint64_t command, std::int64_t result);
  void Send(platform::IpcMessage message);
  std::unique_ptr<AudioSource> MakeSource();
  static void OnInbox(pa_mainloop_api* api, pa_io_event* e, int fd, pa_io_event_flags_t events, void* self);
  static void OnSignal(pa_mainloop_api* api, pa_signal_event* e, int sig, void* self);

  CaptureOptions options_;
  pa_mainloop* loop_ = nullptr;
  pa_mainloop_api* api_ = nullptr;
  platform::IpcHub hub_;
  std::uint64_t pid_ = 0;

  // Filled by the hub's thread, emptied on the main loop; the eventfd wakes the loop.
  std::mutex inbox_mutex_;
  std::deque<platform::IpcMessage> inbox_;
  int inbox_fd_ = -1;
  pa_io_event* inbox_event_ = nullptr;

  std::unique_ptr<AudioSource> source_;
  bool source_open_ = false;
  bool sending_ = false;
  bool destination_known_ = false;
  bool running_ = false;
  SpectrumAnalyzer analyzer_;
  FrameShaper shaper_;
  SilenceGate gate_;
  bool send_failing_ = false;
};

}  // namespace brimvex::capture
