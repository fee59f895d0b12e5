#pragma once
// A private PulseAudio daemon for a test: `pulseaudio -n` with only a native socket in a test
// folder and null sinks, started in the background (the start returns once it is ready) and
// stopped by its pid. Tones are played into a sink through libpulse-simple.
#include <poll.h>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "test_support/temp_dir.h"

extern char** environ;

namespace brimvex::test {

// Runs a program found on PATH with extra environment and waits for it; its exit code or -1.
inline int RunProgram(std::vector<std::string> args, const std::vector<std::string>& extra_env) {
  std::vector<std::string> env = extra_env;
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  auto pointers = [](std::vector<std::string>& v) {
    std::vector<char*> p;
    for (auto& s : v) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
  };
  auto argv = pointers(args);
  auto envp = pointers(env);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0].c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

class PrivatePulse {
 public:
  explicit PrivatePulse(std::vector<std::string> sinks) : sinks_(std::move(sinks)) {}
  ~PrivatePulse() { Stop(); }
  PrivatePulse(const PrivatePulse&) = delete;
  PrivatePulse& operator=(const PrivatePulse&) = delete;

  std::string Server() const { return "unix:" + dir_.folder() + "pulse.sock"; }

  // Starts the daemon; true once it serves its socket.
  bool Start() {
    std::vector<std::string> args{
        "pulseaudio",
        "-n",
        "--daemonize=yes",
        "--use-pid-file=yes",
        "--exit-idle-time=-1",
        "--disable-shm=yes",
        "--log-target=stderr",
        "--log-level=error",
        "-L",
        "module-native-protocol-unix auth-anonymous=1 socket=" + dir_.folder() + "pulse.sock"};
    for (const auto& sink : sinks_) {
      args.emplace_back("-L");
      args.push_back("module-null-sink sink_name=" + sink);
    }
    return RunProgram(args, Environment()) == 0 && (pid_ = ReadPid()) > 0;
  }

  // Stops the daemon and waits until it is gone.
  void Stop() {
    if (pid_ <= 0) return;
    const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
    ::kill(pid_, SIGTERM);
    if (fd >= 0) {
      pollfd p{fd, POLLIN, 0};
      ::poll(&p, 1, 20000);
      ::close(fd);
    }
    pid_ = -1;
  }

  bool Control(std::vector<std::string> args) {
    args.insert(args.begin(), "pactl");
    return RunProgram(args, {"PULSE_SERVER=" + Server()}) == 0;
  }

  // Plays the samples (mono float at `rate`) into the sink and waits until they have played.
  bool Play(const std::string& sink, const std::vector<float>& samples, int rate, std::string* error) {
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, static_cast<std::uint32_t>(rate), 1};
    // A short buffer, so a drain waits for little more than the samples themselves.
    pa_buffer_attr attr{};
    attr.maxlength = attr.prebuf = attr.minreq = attr.fragsize = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(static_cast<std::size_t>(rate / 20) * sizeof(float));
    int err = 0;
    const std::string server = Server();
    pa_simple* s = pa_simple_new(server.c_str(), "brimvex test", PA_STREAM_PLAYBACK, sink.c_str(), "tone", &spec,
                                 nullptr, &attr, &err);
    bool ok = s != nullptr && pa_simple_write(s, samples.data(), samples.size() * sizeof(float), &err) == 0 &&
              pa_simple_drain(s, &err) == 0;
    if (!ok) *error = pa_strerror(err);
    if (s != nullptr) pa_simple_free(s);
    return ok;
  }

 private:
  std::vector<std::string> Environment() const {
    return {"HOME=" + dir_.folder(), "XDG_RUNTIME_DIR=" + dir_.folder() + "runtime",
            "XDG_CONFIG_HOME=" + dir_.folder() + "config", "PULSE_SERVER=" + Server()};
  }
  pid_t ReadPid() const {
    std::ifstream in(dir_.folder() + "runtime/pulse/pid");
    pid_t pid = -1;
    in >> pid;
    return pid;
  }

  TempDir dir_;
  std::vector<std::string> sinks_;
  pid_t pid_ = -1;
};

}  // namespace brimvex::test
