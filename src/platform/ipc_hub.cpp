#include "platform/ipc_hub.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/ipc_directory.h"
#include "platform/lock_file.h"
#include "platform/trace.h"

namespace brimvex::platform {
namespace {

constexpr std::string_view kSocketSuffix = ".sock";
constexpr std::string_view kPeerLockSuffix = ".peer";

bool MakeAddress(const std::string& path, sockaddr_un* address) {
  *address = {};
  address->sun_family = AF_UNIX;
  if (path.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

const sockaddr* AsSockaddr(const sockaddr_un* address) {
  return reinterpret_cast<const sockaddr*>(address);  // the socket API's own idiom
}

std::string PeerLockPath(const std::string& socket_path) {
  return socket_path.substr(0, socket_path.size() - kSocketSuffix.size()) + std::string(kPeerLockSuffix);
}

std::string ErrnoText(int err) { return std::strerror(err); }

}  // namespace

std::string IpcHub::DefaultDirectory() { return DefaultIpcDirectory(); }

std::string IpcHub::SocketPath(const std::string& directory, const std::string& window_name) {
  return WithTrailingSlash(directory) + IpcFileStem(window_name) + std::string(kSocketSuffix);
}

const char* IpcHub::DeliveryText(Delivery delivery) {
  switch (delivery) {
    case Delivery::kDelivered:
      return "delivered";
    case Delivery::kNoPeer:
      return "no such peer";
    case Delivery::kTimedOut:
      return "the peer did not take the frame in time";
    case Delivery::kInvalid:
      return "the message breaks the frame limits";
    case Delivery::kFailed:
      return "the frame could not be sent";
  }
  return "?";
}

IpcHub::IpcHub(std::string directory) : directory_(WithTrailingSlash(std::move(directory))) {
  ready_ = PrepareIpcDirectory(directory_, &error_);
  if (!ready_) Trace("ipc: " + error_ + "\n");
}

IpcHub::~IpcHub() { Stop(); }

bool IpcHub::listening() const {
  std::lock_guard lock(state_mutex_);
  return !own_socket_.empty();
}

bool IpcHub::Listen(const std::string& window_name, std::function<void(const IpcMessage&)> on_message) {
  std::lock_guard lock(listen_mutex_);
  if (!ready_ || thread_.joinable() || window_name.empty() || !on_message) return false;
  const std::string socket_path = SocketPath(directory_, window_name);
  sockaddr_un address;
  if (!MakeAddress(socket_path, &address)) {
    Trace("ipc: socket path too long: " + socket_path + "\n");
    return false;
  }
  LockFile::Status status = LockFile::Status::kFailed;
  std::string why;
  auto peer_lock = LockFile::TryAcquire(PeerLockPath(socket_path), &status, &why);
  if (!peer_lock) {
    if (status == LockFile::Status::kHeldElsewhere) {
      Trace("ipc: the name \"" + window_name + "\" is taken by a live peer\n");
    } else {
      Trace("ipc: " + why + "\n");
    }
    return false;
  }
  // Holding the peer lock, any socket file left under this name belongs to a dead peer.
  if (::unlink(socket_path.c_str()) == 0) Trace("ipc: removed the stale socket " + socket_path + "\n");
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    Trace("ipc: socket: " + ErrnoText(errno) + "\n");
    return false;
  }
  if (::bind(fd, AsSockaddr(&address), sizeof address) != 0) {
    Trace("ipc: cannot bind " + socket_path + ": " + ErrnoText(errno) + "\n");
    ::close(fd);
    return false;
  }
  const int stop_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (stop_fd < 0) {
    Trace("ipc: eventfd: " + ErrnoText(errno) + "\n");
    ::unlink(socket_path.c_str());
    ::close(fd);
    return false;
  }
  socket_fd_ = fd;
  stop_fd_ = stop_fd;
  peer_lock_ = std::move(peer_lock);
  {
    std::lock_guard state(state_mutex_);
    own_socket_ = socket_path;
  }
  thread_ = std::thread(&IpcHub::Receive, this, fd, stop_fd, std::move(on_message));
  return true;
}

void IpcHub::Stop() {
  std::lock_guard lock(listen_mutex_);
  if (!thread_.joinable()) return;
  const std::uint64_t one = 1;
  if (::write(stop_fd_, &one, sizeof one) != static_cast<ssize_t>(sizeof one)) {
    Trace("ipc: cannot wake the receiving thread: " + ErrnoText(errno) + "\n");
  }
  thread_.join();
  std::string socket_path;
  {
    std::lock_guard state(state_mutex_);
    socket_path.swap(own_socket_);
  }
  // The socket goes before the peer lock, so a new owner of the name never loses its own socket.
  ::unlink(socket_path.c_str());
  ::close(socket_fd_);
  ::close(stop_fd_);
  socket_fd_ = -1;
  stop_fd_ = -1;
  peer_lock_.reset();
}

void IpcHub::Receive(int socket_fd, int stop_fd, std::function<void(const IpcMessage&)> on_message) {
  std::vector<char> buffer(kMaxIpcFrameBytes);
  pollfd fds[2] = {{socket_fd, POLLIN, 0}, {stop_fd, POLLIN, 0}};
  for (;;) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      Trace("ipc: poll failed, the hub stops receiving: " + ErrnoText(errno) + "\n");
      return;
    }
    if (fds[1].revents != 0) return;
    // Anything but "readable" would come back at once on every poll: stop rather than spin.
    if ((fds[0].revents & ~POLLIN) != 0) {
      Trace("ipc: the socket failed, the hub stops receiving\n");
      return;
    }
    if ((fds[0].revents & POLLIN) == 0) continue;
    // One datagram per round, so a flood of frames never delays a stop.
    const ssize_t n = ::recv(socket_fd, buffer.data(), buffer.size(), MSG_TRUNC | MSG_DONTWAIT);
    if (n < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
      Trace("ipc: recv failed, the hub stops receiving: " + ErrnoText(errno) + "\n");
      return;
    }
    const auto size = static_cast<std::size_t>(n);
    if (size > buffer.size()) {
      Trace("ipc: dropped a frame of " + std::to_string(size) + " bytes (limit " + std::to_string(kMaxIpcFrameBytes) +
            ")\n");
      continue;
    }
    std::string error;
    const auto message = DecodeIpcFrame(std::string_view(buffer.data(), size), &error);
    if (!message) {
      Trace("ipc: dropped a malformed frame: " + error + "\n");
      continue;
    }
    try {
      on_message(*message);
    } catch (const std::exception& e) {
      Trace(std::string("ipc: message handler failed: ") + e.what() + "\n");
    } catch (...) {
      Trace("ipc: message handler failed\n");
    }
  }
}

IpcHub::Delivery IpcHub::SendFrame(const std::string& socket_path, const std::string& frame, int timeout_ms) {
  sockaddr_un address;
  if (!MakeAddress(socket_path, &address)) {
    Trace("ipc: socket path too long: " + socket_path + "\n");
    return Delivery::kFailed;
  }
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    Trace("ipc: socket: " + ErrnoText(errno) + "\n");
    return Delivery::kFailed;
  }
  timeval timeout{};
  timeout.tv_sec = timeout_ms / 1000;
  timeout.tv_usec = (timeout_ms % 1000) * 1000;
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  ssize_t n = -1;
  do {
    n = ::sendto(fd, frame.data(), frame.size(), MSG_NOSIGNAL, AsSockaddr(&address), sizeof address);
  } while (n < 0 && errno == EINTR);
  const int err = errno;
  ::close(fd);
  if (n == static_cast<ssize_t>(frame.size())) return Delivery::kDelivered;
  if (n >= 0) {
    Trace("ipc: short send to " + socket_path + "\n");
    return Delivery::kFailed;
  }
  switch (err) {
    case ENOENT:
      return Delivery::kNoPeer;
    case ECONNREFUSED:  // a socket file nobody is bound to
      RemoveIfStale(socket_path);
      return Delivery::kNoPeer;
    case EAGAIN:
      Trace("ipc: " + socket_path + " did not take the frame within " + std::to_string(timeout_ms) + " ms\n");
      return Delivery::kTimedOut;
    default:
      Trace("ipc: cannot send to " + socket_path + ": " + ErrnoText(err) + "\n");
      return Delivery::kFailed;
  }
}

void IpcHub::RemoveIfStale(const std::string& socket_path) {
  // A live peer holds its lock from before it binds until after it unlinks; a free lock means a dead peer.
  if (auto lock = LockFile::TryAcquire(PeerLockPath(socket_path))) {
    if (::unlink(socket_path.c_str()) == 0) Trace("ipc: removed the stale socket " + socket_path + "\n");
  }
}

IpcHub::Delivery IpcHub::PostTo(const std::string& window_name, const IpcMessage& message) {
  return PostTo(window_name, message, send_timeout_ms_);
}

IpcHub::Delivery IpcHub::PostTo(const std::string& window_name, const IpcMessage& message, int timeout_ms) {
  if (!ready_) return Delivery::kFailed;
  std::string error;
  const auto frame = EncodeIpcFrame(message, &error);
  if (!frame || window_name.empty()) {
    Trace("ipc: not sent: " + (frame ? std::string("empty peer name") : error) + "\n");
    return Delivery::kInvalid;
  }
  return SendFrame(SocketPath(directory_, window_name), *frame, timeout_ms);
}

bool IpcHub::Post(const std::string& window_name, const IpcMessage& message) {
  return PostTo(window_name, message) == Delivery::kDelivered;
}

int IpcHub::Broadcast(const IpcMessage& message) {
  if (!ready_) return 0;
  std::string error;
  const auto frame = EncodeIpcFrame(message, &error);
  if (!frame) {
    Trace("ipc: not broadcast: " + error + "\n");
    return 0;
  }
  std::string own;
  {
    std::lock_guard state(state_mutex_);
    own = own_socket_;
  }
  std::vector<std::string> peers;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(directory_, ec)) {
    const std::string path = entry.path().string();
    if (path.size() > kSocketSuffix.size() && path.ends_with(kSocketSuffix) && path != own) peers.push_back(path);
  }
  int reached = 0;
  for (const auto& path : peers) {
    if (SendFrame(path, *frame, send_timeout_ms_) == Delivery::kDelivered) ++reached;
  }
  return reached;
}

}  // namespace brimvex::platform
