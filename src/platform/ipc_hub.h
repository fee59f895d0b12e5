#pragma once
// The local IPC hub: registered window messages between Brimvex and other programs of this user.
// Each listening peer owns "<folder><stem>.sock", an AF_UNIX datagram socket, and holds the lock
// "<folder><stem>.peer" while it listens (stem: IpcFileStem of its window name). One datagram
// carries one frame (platform/ipc_frame.h). A socket whose peer lock is free belongs to a dead
// peer and is removed by whoever meets it.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/ipc_frame.h"

namespace brimvex::platform {

class LockFile;

class IpcHub {
 public:
  // What happened to one frame sent to one peer.
  enum class Delivery { kDelivered, kNoPeer, kTimedOut, kInvalid, kFailed };

  // $XDG_RUNTIME_DIR/brimvex/, or /tmp/brimvex-<uid>/ when unset. The hub creates it 0700 and
  // refuses one not owned by us or open to group or others.
  static std::string DefaultDirectory();
  explicit IpcHub(std::string directory = DefaultDirectory());
  ~IpcHub();  // stops listening
  IpcHub(const IpcHub&) = delete;
  IpcHub& operator=(const IpcHub&) = delete;

  // False (with error()) when the folder was refused; then nothing works.
  bool ready() const { return ready_; }
  const std::string& error() const { return error_; }
  const std::string& directory() const { return directory_; }

  // Registers this process as the peer `window_name` and receives frames on the hub's own thread,
  // handing each to `on_message` (the caller posts it on to the UI loop). False when the name is
  // taken by a live peer, this hub already listens, or the socket cannot be made.
  // `on_message` must not call Stop or destroy the hub.
  bool Listen(const std::string& window_name, std::function<void(const IpcMessage&)> on_message);
  // Stops the receiving thread and waits for it; removes this peer's socket. Safe to repeat.
  void Stop();
  bool listening() const;

  // To one named peer; false when no such peer or the frame could not be delivered.
  bool Post(const std::string& window_name, const IpcMessage& message);
  Delivery PostTo(const std::string& window_name, const IpcMessage& message);
  // The same, waiting at most `timeout_ms` for room instead of the hub's send time-out.
  Delivery PostTo(const std::string& window_name, const IpcMessage& message, int timeout_ms);
  // To every registered peer except this process's own; returns how many were reached.
  int Broadcast(const IpcMessage& message);

  // A sender waits at most this long for room in a peer's queue.
  void set_send_timeout_ms(int ms) { send_timeout_ms_ = ms; }
  static const char* DeliveryText(Delivery delivery);
  static std::string SocketPath(const std::string& directory, const std::string& window_name);

 private:
  Delivery SendFrame(const std::string& socket_path, const std::string& frame, int timeout_ms);
  void RemoveIfStale(const std::string& socket_path);
  void Receive(int socket_fd, int stop_fd, std::function<void(const IpcMessage&)> on_message);

  const std::string directory_;
  bool ready_ = false;
  std::string error_;
  int send_timeout_ms_ = 1000;

  std::mutex listen_mutex_;  // serialises Listen and Stop; held while Stop joins the thread
  std::unique_ptr<LockFile> peer_lock_;
  int socket_fd_ = -1;
  int stop_fd_ = -1;
  std::thread thread_;

  mutable std::mutex state_mutex_;  // guards own_socket_, read by Broadcast from any thread
  std::string own_socket_;
};

}  // namespace brimvex::platform
