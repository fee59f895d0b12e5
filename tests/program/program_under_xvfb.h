#pragma once
// The real program under an X server of its own (Xvfb) on the emulated set, reached with
// brimvexctl; for the program tests.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "test_support/child_process.h"
#include "test_support/run_brimvexctl.h"
#include "test_support/temp_dir.h"

namespace brimvex::test {

// An X server of its own and the program on it, with folders of their own.
class Program {
 public:
  ~Program() {
    Kill();
    if (xvfb_ > 0) {
      ::kill(xvfb_, SIGTERM);
      WaitChild(xvfb_);
    }
  }
  // False when the X server does not come up.
  bool StartDisplay() {
    int fds[2];
    if (::pipe(fds) != 0) return false;
    xvfb_ = SpawnChild({"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp"}, {});
    ::close(fds[1]);
    char number[16] = {};
    const ssize_t n = xvfb_ > 0 ? ::read(fds[0], number, sizeof number - 1) : 0;  // written once it runs
    ::close(fds[0]);
    if (n <= 0) return false;
    display_ = ":" + std::to_string(std::atoi(number));
    return true;
  }
  // Asks until the request is done (exit 0); false when it never is within the limit.
  bool WaitFor(const std::vector<std::string>& args) const {
    for (int i = 0; i < 400; ++i) {
      if (Ctl(args).exit_code == 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  // Starts the program (with `env` added to its environment) and waits until it answers a request.
  bool Start(const std::vector<std::string>& env = {}) {
    std::vector<std::string> all = {"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + runtime_.folder(),
                                    "XDG_DATA_HOME=" + home_.folder() + "data",
                                    "XDG_CONFIG_HOME=" + home_.folder() + "config"};
    all.insert(all.end(), env.begin(), env.end());
    pid_ = SpawnChild({BRIMVEX_PATH, "--emulate"}, all);
    if (pid_ < 0) return false;
    // Ready once it answers; the start-up takes far less than the limit.
    for (int i = 0; i < 400; ++i) {
      if (Ctl({"profile", "list"}).exit_code == 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    WaitChild(pid_);
    pid_ = -1;
  }
  // Asks the program to end as the desktop would (SIGTERM); its exit code.
  int Stop() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    const int code = WaitChild(pid_);
    pid_ = -1;
    return code;
  }
  CtlRun Ctl(std::vector<std::string> args) const { return RunBrimvexctl(runtime_, std::move(args)); }
  // A request left under way; its output is not read.
  pid_t CtlUnderWay(std::vector<std::string> args) const {
    args.insert(args.begin(), BRIMVEXCTL_PATH);
    return SpawnChild(args, {"XDG_RUNTIME_DIR=" + runtime_.folder()});
  }
  std::string KeyboardFolder() const { return DeviceFolder("keyboard"); }
  // An emulated device's data folder by its kind name ("keyboard", "MousePad", ...).
  std::string DeviceFolder(const std::string& kind) const { return home_.folder() + "data/Brimvex/emulated/" + kind + "/"; }
  // $XDG_DATA_HOME of the program: empty before its first start.
  std::string DataHome() const { return home_.folder() + "data/"; }
  const TempDir& Home() const { return home_; }

 private:
  TempDir home_;
  TempDir runtime_;
  pid_t xvfb_ = -1;
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace brimvex::test
