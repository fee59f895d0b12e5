#pragma once
// Turns SIGTERM and SIGINT into a call on the UI thread: the signal handler only writes a byte
// to a pipe, and a socket notifier on the pipe's other end calls the handler from the loop.
#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace brimvex::qt {

class TerminateWatcher {
 public:
  TerminateWatcher();
  ~TerminateWatcher();  // restores the default signal actions
  TerminateWatcher(const TerminateWatcher&) = delete;
  TerminateWatcher& operator=(const TerminateWatcher&) = delete;

  bool Installed() const { return notifier_ != nullptr; }
  void SetHandler(std::function<void()> handler) { handler_ = std::move(handler); }

 private:
  std::unique_ptr<QSocketNotifier> notifier_;
  std::function<void()> handler_;
};

}  // namespace brimvex::qt
