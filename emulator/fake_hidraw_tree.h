#pragma once
// A fake Linux hidraw tree in a folder, served by the emulator, so the real hidraw adapter
// (platform/hidraw) enumerates, opens, reads, writes and aborts through it.
//
// <root>/sys/class/hidraw/hidrawN/device is a link to a HID device folder with "uevent" (HID_ID,
// HID_NAME) and "report_descriptor", inside a USB interface folder with "bInterfaceNumber",
// inside a USB device folder with "bcdDevice". <root>/dev/hidrawN is a listening SOCK_SEQPACKET
// socket: each connection is one opener of the interface, one report per packet in each
// direction. Point the adapter at it with HidrawSettings{tree.sysfs_root(), tree.dev_root()}.
//
// An identity that is unplugged ends its sessions (the adapter sees a hang-up); Sync() then
// removes its node. A write time-out injected into the firmware is not visible here: the socket
// takes the report.
#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "emulator/emulator.h"

namespace brimvex::emulator {

class FakeHidrawTree {
 public:
  // Creates the folders and the nodes of the interfaces plugged now and starts serving.
  FakeHidrawTree(const Emulator& emulator, std::filesystem::path root);
  // Stops serving and ends every session; the folder is left to its owner.
  ~FakeHidrawTree();
  FakeHidrawTree(const FakeHidrawTree&) = delete;
  FakeHidrawTree& operator=(const FakeHidrawTree&) = delete;

  // Brings the tree in line with the interfaces plugged now: a new interface gets the lowest
  // free node number; a gone one loses its folders and node.
  void Sync();

  // Returns once every connection made to a node so far has been accepted and has its emulator
  // connection. A real hidraw open is registered when open() returns; here connect() returns
  // before the server accepts, so a test that makes the device send right after opening calls
  // this first. False when the server did not catch up within 5 s.
  bool Settle();

  std::string sysfs_root() const { return (root_ / "sys").string(); }
  std::string dev_root() const { return (root_ / "dev").string(); }
  // The hidraw node name ("hidraw2") that serves an emulator node ("keyboard").
  std::optional<std::string> NodeOf(const std::string& emulator_node) const;

 private:
  struct Node;
  struct Session;
  void Serve();
  void AddNode(const PresentInterface& p, unsigned number);
  void RemoveNode(const std::string& emulator_node);
  void Wake();
  void ReapSessions(bool all);

  const Emulator& emulator_;
  const std::filesystem::path root_;
  mutable std::mutex mutex_;
  std::map<std::string, std::unique_ptr<Node>> nodes_;  // by emulator node
  std::vector<std::unique_ptr<Session>> sessions_;
  // Listening sockets of removed nodes, closed by the server thread once its poll no longer
  // holds them, so a number reused by a new socket is never mistaken for the old one.
  std::vector<int> retired_fds_;
  std::condition_variable accepted_;
  int wake_fd_ = -1;
  bool stopping_ = false;
  std::thread server_;
};

}  // namespace brimvex::emulator
