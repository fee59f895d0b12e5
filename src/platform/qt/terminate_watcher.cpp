#include "platform/qt/terminate_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace brimvex::qt {
namespace {

int g_pipe[2] = {-1, -1};

extern "C" void OnTerminateSignal(int) {
  const int saved = errno;
  const char byte = 1;
  // A full pipe already holds a pending request.
  [[maybe_unused]] const auto n = ::write(g_pipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

TerminateWatcher::TerminateWatcher() {
  if (g_pipe[0] >= 0) return;  // one watcher per process
  if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
    char buffer[64];
    while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
    }
    if (handler_) handler_();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminateSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

TerminateWatcher::~TerminateWatcher() {
  if (notifier_ == nullptr) return;
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  notifier_.reset();
  ::close(g_pipe[0]);
  ::close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
}

}  // namespace brimvex::qt
