#include "emulator/fake_hidraw_tree.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace brimvex::emulator {

namespace fs = std::filesystem;

struct FakeHidrawTree::Node {
  unsigned number = 0;
  std::string name;     // hidrawN
  fs::path usb_device;  // folder removed with the node
  fs::path socket_path;
  int listen_fd = -1;
};

// One accepted connection: the uplink thread hands packets to the firmware, the downlink thread
// sends the interface's input reports back.
struct FakeHidrawTree::Session {
  int fd = -1;
  std::string emulator_node;
  std::shared_ptr<HidConnection> connection;
  std::thread uplink;
  std::thread downlink;
  std::atomic<int> running{2};

  void Start() {
    uplink = std::thread([this] {
      std::vector<std::uint8_t> packet(16384);
      for (;;) {
        const ssize_t n = ::recv(fd, packet.data(), packet.size(), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        connection->Write(std::span(packet.data(), static_cast<std::size_t>(n)), platform::Millis(1000));
      }
      connection->Abort();  // the opener closed its end: the downlink ends too
      --running;
    });
    downlink = std::thread([this] {
      std::vector<std::uint8_t> report(16384);
      for (;;) {
        std::size_t n = 0;
        if (connection->Read(report, n, platform::kInfinite) != platform::HidIoResult::kOk) break;
        if (::send(fd, report.data(), n, MSG_NOSIGNAL) < 0 && errno != EINTR) break;
      }
      ::shutdown(fd, SHUT_RDWR);  // unplugged or stopped: the opener sees a hang-up
      --running;
    });
  }
  void Stop() {
    connection->Abort();
    ::shutdown(fd, SHUT_RDWR);
    if (uplink.joinable()) uplink.join();
    if (downlink.joinable()) downlink.join();
    ::close(fd);
    fd = -1;
  }
};

namespace {
void WriteText(const fs::path& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}
std::string Hex(unsigned v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", width, v);
  return buf;
}
}  // namespace

FakeHidrawTree::FakeHidrawTree(const Emulator& emulator, fs::path root) : emulator_(emulator), root_(std::move(root)) {
  fs::create_directories(root_ / "sys" / "class" / "hidraw");
  fs::create_directories(root_ / "sys" / "devices");
  fs::create_directories(root_ / "dev");
  wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  Sync();
  server_ = std::thread([this] { Serve(); });
}

FakeHidrawTree::~FakeHidrawTree() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  Wake();
  if (server_.joinable()) server_.join();
  ReapSessions(true);
  std::lock_guard lock(mutex_);
  for (auto& [node, n] : nodes_) ::close(n->listen_fd);
  for (int fd : retired_fds_) ::close(fd);
  ::close(wake_fd_);
}

void FakeHidrawTree::Wake() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(wake_fd_, &one, sizeof one);
}

std::optional<std::string> FakeHidrawTree::NodeOf(const std::string& emulator_node) const {
  std::lock_guard lock(mutex_);
  const auto it = nodes_.find(emulator_node);
  if (it == nodes_.end()) return std::nullopt;
  return it->second->name;
}

void FakeHidrawTree::Sync() {
  const std::vector<PresentInterface> present = emulator_.PresentInterfaces();
  {
    std::lock_guard lock(mutex_);
    std::vector<std::string> gone;
    for (const auto& [node, n] : nodes_) {
      bool still = false;
      for (const auto& p : present) still = still || p.node == node;
      if (!still) gone.push_back(node);
    }
    for (const auto& node : gone) RemoveNode(node);
    for (const auto& p : present) {
      if (nodes_.count(p.node)) continue;
      unsigned number = 0;
      for (bool taken = true; taken; ++number) {
        taken = false;
        for (const auto& [node, n] : nodes_) taken = taken || n->number == number;
        if (!taken) break;
      }
      AddNode(p, number);
    }
  }
  ReapSessions(false);
  Wake();
}

void FakeHidrawTree::AddNode(const PresentInterface& p, unsigned number) {
  auto node = std::make_unique<Node>();
  node->number = number;
  node->name = "hidraw" + std::to_string(number);
  const std::string bus = "usb" + std::to_string(number + 1);
  node->usb_device = root_ / "sys" / "devices" / bus;
  const fs::path usb_device = node->usb_device / (std::to_string(number + 1) + "-1");
  const std::string iface_name = std::to_string(number + 1) + "-1:1." + std::to_string(p.identity.interface_number);
  const fs::path usb_interface = usb_device / iface_name;
  const fs::path hid_device = usb_interface / ("0003:" + Hex(p.identity.vendor_id, 4) + ":" +
                                               Hex(p.identity.product_id, 4) + "." + Hex(number + 1, 4));
  fs::create_directories(hid_device);
  WriteText(usb_device / "bcdDevice", Hex(p.identity.version, 4) + "\n");
  WriteText(usb_interface / "bInterfaceNumber", Hex(p.identity.interface_number, 2) + "\n");
  WriteText(hid_device / "uevent", "DRIVER=hid-generic\nHID_ID=0003:" + Hex(p.identity.vendor_id, 8) + ":" +
                                       Hex(p.identity.product_id, 8) + "\nHID_NAME=Emulated " + p.node +
                                       "\nHID_PHYS=usb-fake-" + std::to_string(number + 1) + "/input" +
                                       std::to_string(p.identity.interface_number) + "\n");
  const auto descriptor = p.device->ReportDescriptor();
  WriteText(hid_device / "report_descriptor",
            std::string_view(reinterpret_cast<const char*>(descriptor.data()), descriptor.size()));
  const fs::path class_entry = root_ / "sys" / "class" / "hidraw" / node->name;
  fs::create_directories(class_entry);
  WriteText(class_entry / "dev", "240:" + std::to_string(number) + "\n");
  fs::create_directory_symlink(hid_device, class_entry / "device");

  node->socket_path = root_ / "dev" / node->name;
  fs::remove(node->socket_path);
  node->listen_fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sp = node->socket_path.string();
  if (node->listen_fd >= 0 && sp.size() < sizeof addr.sun_path) {
    std::memcpy(addr.sun_path, sp.c_str(), sp.size() + 1);
    if (::bind(node->listen_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(node->listen_fd, 16) != 0) {
      ::close(node->listen_fd);
      node->listen_fd = -1;
    }
  }
  nodes_[p.node] = std::move(node);
}

void FakeHidrawTree::RemoveNode(const std::string& emulator_node) {
  const auto it = nodes_.find(emulator_node);
  if (it == nodes_.end()) return;
  Node& n = *it->second;
  if (n.listen_fd >= 0) retired_fds_.push_back(n.listen_fd);
  std::error_code ec;
  fs::remove(n.socket_path, ec);
  fs::remove_all(root_ / "sys" / "class" / "hidraw" / n.name, ec);
  fs::remove_all(n.usb_device, ec);
  nodes_.erase(it);
}

void FakeHidrawTree::ReapSessions(bool all) {
  std::vector<std::unique_ptr<Session>> done;
  {
    std::lock_guard lock(mutex_);
    for (auto it = sessions_.begin(); it != sessions_.end();) {
      if (all || (*it)->running == 0) {
        done.push_back(std::move(*it));
        it = sessions_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (auto& s : done) s->Stop();
}

void FakeHidrawTree::Serve() {
  for (;;) {
    std::vector<pollfd> fds{{wake_fd_, POLLIN, 0}};
    std::vector<std::string> owners{""};
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return;
      for (int fd : retired_fds_) ::close(fd);
      retired_fds_.clear();
      for (const auto& [node, n] : nodes_) {
        if (n->listen_fd < 0) continue;
        fds.push_back({n->listen_fd, POLLIN, 0});
        owners.push_back(node);
      }
    }
    const int r = ::poll(fds.data(), fds.size(), -1);
    if (r < 0 && errno != EINTR) return;
    if (fds[0].revents & POLLIN) {
      std::uint64_t v = 0;
      [[maybe_unused]] const ssize_t n = ::read(wake_fd_, &v, sizeof v);
      continue;  // the node set may have changed: rebuild the list
    }
    // Accepting under the lock lets Settle() see a connection either pending or served.
    std::lock_guard lock(mutex_);
    for (std::size_t i = 1; i < fds.size(); ++i) {
      if (!(fds[i].revents & POLLIN)) continue;
      for (;;) {
        const int client = ::accept4(fds[i].fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) break;
        std::shared_ptr<HidConnection> connection = emulator_.Connect(owners[i], true, true);
        if (!connection) {
          ::close(client);
          continue;
        }
        auto session = std::make_unique<Session>();
        session->fd = client;
        session->emulator_node = owners[i];
        session->connection = std::move(connection);
        session->Start();
        sessions_.push_back(std::move(session));
      }
    }
    accepted_.notify_all();
  }
}

bool FakeHidrawTree::Settle() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  std::unique_lock lock(mutex_);
  for (;;) {
    std::vector<pollfd> fds;
    for (const auto& [node, n] : nodes_)
      if (n->listen_fd >= 0) fds.push_back({n->listen_fd, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), 0) <= 0) return true;  // nothing waits to be accepted
    if (accepted_.wait_until(lock, deadline) == std::cv_status::timeout) return false;
  }
}

}  // namespace brimvex::emulator
