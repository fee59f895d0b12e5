#pragma once
// Runs the built brimvex-audio-capture (CAPTURE_PATH) as its own process on a private hub folder,
// listens there as "Brimvex", and speaks the capture protocol to it.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/app_messages.h"
#include "app/audio_capture_protocol.h"
#include "ipc/inbox.h"
#include "platform/ipc_hub.h"
#include "test_support/temp_dir.h"
#include "wav_writer.h"

extern char** environ;

namespace brimvex::test {

using Frame = std::vector<std::int32_t>;

// What reached "Brimvex", in order: a frame, or an answer (command, result) of the capture program.
struct CaptureEvent {
  bool is_frame = false;
  Frame frame;
  std::uint64_t command = 0;
  std::int64_t result = 0;
};

inline int PeakBin(const Frame& frame) {
  return static_cast<int>(std::max_element(frame.begin(), frame.end()) - frame.begin());
}

inline bool AllZero(const Frame& frame) {
  return std::all_of(frame.begin(), frame.end(), [](std::int32_t v) { return v == 0; });
}

class CaptureRig {
 public:
  CaptureRig() : hub_(HubFolder()) { listening_ = hub_.Listen(std::string(app::kAppIdentifier), inbox_.Handler()); }
  ~CaptureRig() {
    for (pid_t pid : children_) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    hub_.Stop();
  }
  CaptureRig(const CaptureRig&) = delete;
  CaptureRig& operator=(const CaptureRig&) = delete;

  bool listening() const { return listening_; }
  const TempDir& runtime() const { return runtime_; }
  std::string HubFolder() const { return runtime_.folder() + "brimvex/"; }

  // A WAV in the test folder.
  std::string Wav(const std::string& name, const capture::SignalBuilder& signal) {
    const std::string path = runtime_.folder() + name;
    std::string error;
    if (!capture::WriteWav(path, signal, capture::WavEncoding::kFloat, &error)) ADD_FAILURE() << error;
    return path;
  }

  // The command line and environment of one start, made before it (a forked child only spawns).
  struct Launch {
    std::vector<std::string> args;
    std::vector<std::string> env;
    std::vector<char*> argv;
    std::vector<char*> envp;
    // The capture program's pid, or -1.
    pid_t Spawn() {
      pid_t pid = -1;
      return posix_spawn(&pid, CAPTURE_PATH, nullptr, nullptr, argv.data(), envp.data()) == 0 ? pid : -1;
    }
  };
  Launch Prepare(std::vector<std::string> args, std::vector<std::string> extra_env = {}) const {
    Launch launch;
    launch.env.push_back("XDG_RUNTIME_DIR=" + runtime_.folder());
    for (auto& e : extra_env) launch.env.push_back(std::move(e));
    for (char** e = environ; *e != nullptr; ++e)
      if (!std::string_view(*e).starts_with("XDG_RUNTIME_DIR=")) launch.env.emplace_back(*e);
    args.insert(args.begin(), CAPTURE_PATH);
    launch.args = std::move(args);
    launch.argv = Pointers(launch.args);
    launch.envp = Pointers(launch.env);
    return launch;
  }
  // Starts the capture program with these arguments and extra environment; its pid, or -1.
  pid_t Start(std::vector<std::string> args, std::vector<std::string> extra_env = {}) {
    Launch launch = Prepare(std::move(args), std::move(extra_env));
    const pid_t pid = launch.Spawn();
    if (pid > 0) children_.push_back(pid);
    return pid;
  }

  // Waits for the child to end; its exit code, or -1 when it did not exit normally.
  int WaitExit(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    std::erase(children_, pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void Command(app::CaptureCommand command) {
    EXPECT_TRUE(hub_.Post(std::string(app::kCapturePeerName), {std::string(app::kAudioRecorderName),
                                                               static_cast<std::uint64_t>(command),
                                                               static_cast<std::int64_t>(::getpid()),
                                                               {}}));
  }
  void Commands(std::initializer_list<app::CaptureCommand> commands) {
    for (auto c : commands) Command(c);
  }
  void Style(const app::CaptureStyle& style) { StyleBytes(app::EncodeCaptureStyle(style)); }
  void StyleBytes(std::string bytes) {
    EXPECT_TRUE(hub_.Post(std::string(app::kCapturePeerName),
                          {std::string(app::kCopyDataName), static_cast<std::uint64_t>(::getpid()), app::kCopyDataStyle,
                           std::move(bytes)}));
  }

  std::vector<CaptureEvent> Events() const {
    std::vector<CaptureEvent> events;
    for (const auto& m : inbox_.Messages()) events.push_back(ToEvent(m));
    return events;
  }
  std::vector<Frame> Frames() const {
    std::vector<Frame> frames;
    for (auto& e : Events())
      if (e.is_frame) frames.push_back(e.frame);
    return frames;
  }
  // Waits until the answer (command, result) has come `times` times in all.
  bool WaitAnswer(app::CaptureCommand command, std::int64_t result, int times = 1) {
    return inbox_.WaitUntil([&](const std::vector<platform::IpcMessage>& all) {
      return std::count_if(all.begin(), all.end(), [&](const platform::IpcMessage& m) {
               return m.name == app::kAudioRecorderName && m.wparam == static_cast<std::uint64_t>(command) &&
                      m.lparam == result;
             }) >= times;
    });
  }
  bool WaitHello() { return WaitAnswer(app::CaptureCommand::kSendToProgram, app::kCaptureHello); }
  // Waits until some frame satisfies `want`.
  template <typename Predicate>
  bool WaitFrame(Predicate want) {
    return inbox_.WaitUntil([&](const std::vector<platform::IpcMessage>& all) {
      return std::any_of(all.begin(), all.end(), [&](const platform::IpcMessage& m) {
        const CaptureEvent e = ToEvent(m);
        return e.is_frame && want(e.frame);
      });
    });
  }
  // Runs a WAV through a fresh capture program with --fast under a style; every frame of it.
  std::vector<Frame> FramesOf(const std::string& wav, const app::CaptureStyle& style = {}) {
    return FramesOf(wav, app::EncodeCaptureStyle(style));
  }
  // The same with the style's bytes as given.
  std::vector<Frame> FramesOf(const std::string& wav, const std::string& style_bytes) {
    const std::size_t before = inbox_.Messages().size();
    const pid_t pid = Start({"--wav", wav, "--fast"});
    const int ends_before = EndCount();
    if (!WaitAnswerAfter(before, app::CaptureCommand::kSendToProgram, app::kCaptureHello)) return {};
    StyleBytes(style_bytes);
    Commands(
        {app::CaptureCommand::kSendToProgram, app::CaptureCommand::kOpenSource, app::CaptureCommand::kStartSending});
    // The file's end closes the source, which is answered like command 4.
    EXPECT_TRUE(WaitAnswer(app::CaptureCommand::kCloseSource, app::kCaptureDone, ends_before + 1));
    Command(app::CaptureCommand::kExit);
    EXPECT_EQ(WaitExit(pid), 0);
    std::vector<Frame> frames;
    const auto all = inbox_.Messages();
    for (std::size_t i = before; i < all.size(); ++i) {
      const CaptureEvent e = ToEvent(all[i]);
      if (e.is_frame) frames.push_back(e.frame);
    }
    return frames;
  }

 private:
  static CaptureEvent ToEvent(const platform::IpcMessage& m) {
    CaptureEvent e;
    if (m.name == app::kCopyDataName && m.lparam == app::kCopyDataSpectrum) {
      e.is_frame = true;
      if (m.payload.size() == app::kSpectrumBytes)
        for (std::size_t k = 0; k < app::kSpectrumValues; ++k) e.frame.push_back(app::GetInt32(m.payload, k));
    } else {
      e.command = m.wparam;
      e.result = m.lparam;
    }
    return e;
  }
  int EndCount() const {
    int n = 0;
    for (auto& e : Events())
      if (!e.is_frame && e.command == static_cast<std::uint64_t>(app::CaptureCommand::kCloseSource) &&
          e.result == app::kCaptureDone)
        ++n;
    return n;
  }
  bool WaitAnswerAfter(std::size_t from, app::CaptureCommand command, std::int64_t result) {
    return inbox_.WaitUntil([&](const std::vector<platform::IpcMessage>& all) {
      for (std::size_t i = from; i < all.size(); ++i)
        if (all[i].name == app::kAudioRecorderName && all[i].wparam == static_cast<std::uint64_t>(command) &&
            all[i].lparam == result)
          return true;
      return false;
    });
  }
  static std::vector<char*> Pointers(std::vector<std::string>& v) {
    std::vector<char*> p;
    for (auto& s : v) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
  }

  TempDir runtime_;
  Inbox inbox_;
  platform::IpcHub hub_;
  bool listening_ = false;
  std::vector<pid_t> children_;
};

}  // namespace brimvex::test
