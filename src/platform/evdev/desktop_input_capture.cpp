#include "platform/evdev/desktop_input_capture.h"

#include <dirent.h>
#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace brimvex::platform {

struct DesktopInputCapture::Node {
  int fd = -1;
  libevdev* dev = nullptr;
  EvdevRecordMaker maker;
  ~Node() {
    if (dev != nullptr) libevdev_free(dev);
    if (fd >= 0) ::close(fd);
  }
};

namespace {

std::vector<std::string> EventNodes(const std::string& folder) {
  std::vector<std::string> out;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return out;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name.rfind("event", 0) == 0) out.push_back(folder + "/" + name);
  }
  ::closedir(dir);
  return out;
}

Millis MonotonicNow() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return Millis(static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
}

Millis StampOf(const input_event& e) {
  return Millis(static_cast<std::int64_t>(e.input_event_sec) * 1000 + e.input_event_usec / 1000);
}

Millis TimeOf(const LiveRecord& r) {
  return std::visit([](const auto& x) { return x.time; }, r);
}

}  // namespace

DesktopInputCapture::DesktopInputCapture(EventLoop& loop, EvdevRecordMaker::StopProbe over_stop, std::string folder)
    : loop_(loop), over_stop_(std::move(over_stop)), folder_(std::move(folder)) {}

bool DesktopInputCapture::Available() const {
  for (const std::string& path : EventNodes(folder_))
    if (::access(path.c_str(), R_OK) == 0) return true;
  return false;
}

bool DesktopInputCapture::Start(CaptureSink sink, bool keys, bool mouse) {
  Stop();
  problem_.clear();
  std::vector<Node*> nodes;
  for (const std::string& path : EventNodes(folder_)) {
    auto* node = new Node{-1, nullptr, EvdevRecordMaker(over_stop_)};
    node->fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (node->fd < 0 || libevdev_new_from_fd(node->fd, &node->dev) != 0 ||
        !libevdev_has_event_type(node->dev, EV_KEY) ||
        (!libevdev_has_event_code(node->dev, EV_KEY, KEY_A) && !libevdev_has_event_code(node->dev, EV_KEY, BTN_LEFT)) ||
        libevdev_set_clock_id(node->dev, CLOCK_MONOTONIC) != 0) {
      delete node;
      continue;
    }
    nodes.push_back(node);
  }
  if (nodes.empty()) {
    problem_ = "no input device under " + folder_ + " could be opened";
    return false;
  }
  abort_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (abort_fd_ < 0) {
    for (Node* n : nodes) delete n;
    problem_ = "no eventfd";
    return false;
  }
  sink_ = std::move(sink);
  keys_ = keys;
  mouse_ = mouse;
  active_ = true;
  nodes_ = nodes;
  // The event stamps are CLOCK_MONOTONIC; the loop's clock runs at the same pace, so one offset
  // taken now places every event (reading both clocks again per event would jitter by 1 ms).
  const Millis offset = loop_.Now() - MonotonicNow();
  reader_ = std::thread([this, nodes, fd = abort_fd_, g = ++generation_, offset] { Read(nodes, fd, g, offset); });
  return true;
}

void DesktopInputCapture::Stop() {
  if (!active_) return;
  const std::uint64_t one = 1;
  // An eventfd write fails only past 2^64 - 2 unread counts: the reader wakes at once.
  [[maybe_unused]] const ssize_t written = ::write(abort_fd_, &one, sizeof one);
  if (reader_.joinable()) reader_.join();
  ::close(abort_fd_);
  abort_fd_ = -1;
  for (Node* n : nodes_) delete n;
  nodes_.clear();
  active_ = false;
  sink_ = {};
  ++generation_;  // records posted but not yet run are dropped
}

void DesktopInputCapture::Read(std::vector<Node*> nodes, int abort_fd, std::uint64_t generation, Millis offset) {
  std::vector<pollfd> fds;
  fds.push_back({abort_fd, POLLIN, 0});
  for (Node* n : nodes) fds.push_back({n->fd, POLLIN, 0});
  for (;;) {
    if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) return;
    if (fds[0].revents != 0) return;
    std::vector<LiveRecord> round;
    for (std::size_t k = 1; k < fds.size(); ++k) {
      if (fds[k].revents == 0 || fds[k].fd < 0) continue;
      Node& node = *nodes[k - 1];
      unsigned flags = LIBEVDEV_READ_FLAG_NORMAL;
      for (;;) {
        input_event e{};
        const int rc = libevdev_next_event(node.dev, flags, &e);
        if (rc == -EAGAIN) {
          if (flags == LIBEVDEV_READ_FLAG_NORMAL) break;
          flags = LIBEVDEV_READ_FLAG_NORMAL;  // the sync is over
          continue;
        }
        if (rc < 0) {
          fds[k].fd = -1;  // the device went away
          break;
        }
        if (rc == LIBEVDEV_READ_STATUS_SYNC) flags = LIBEVDEV_READ_FLAG_SYNC;
        if (const auto record = node.maker.Take(e, StampOf(e) + offset)) round.push_back(*record);
      }
    }
    // Several devices may have had events waiting: they go on in the order they happened.
    std::stable_sort(round.begin(), round.end(), [](const LiveRecord& a, const LiveRecord& b) { return TimeOf(a) < TimeOf(b); });
    for (const LiveRecord& r : round) loop_.Post([this, r, generation] { Deliver(r, generation); });
  }
}

void DesktopInputCapture::Deliver(const LiveRecord& record, std::uint64_t generation) {
  if (!active_ || generation != generation_) return;
  if (const auto* key = std::get_if<KeyRecord>(&record)) {
    if (keys_ && sink_.key) sink_.key(*key);
  } else if (const auto* m = std::get_if<MouseRecord>(&record)) {
    if (mouse_ && sink_.mouse) sink_.mouse(*m);
  }
}

}  // namespace brimvex::platform
