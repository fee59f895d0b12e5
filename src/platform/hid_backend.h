#pragma once
// The HID backend port: what the HID layer needs of the operating system to reach HID interfaces.
//
// An interface path names one top-level collection of one HID interface, with the keys the
// discovery reads: "<scheme>:<node>#vid_XXXX&pid_XXXX&mi_XX&colNN" (hexadecimal; "&colNN" only when
// the interface has two or more top-level collections, numbered from 1 in descriptor order). The
// Linux adapter uses the scheme "hidraw:", the in-process emulator "emu:".
//
// Reports cross the port as the host HID stack hands them out: the first byte is the report ID,
// 0 when the device uses no report IDs. An open collection sees only the input reports whose ID
// belongs to it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/event.h"

namespace brimvex::platform {

struct HidAttributes {
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::uint16_t version = 0;
};

// Access asked for at open. Neither read nor write opens the interface only to prove that it is
// there (the liveness check of discovery). Linux has no share modes: `exclusive_write` is kept
// for the callers' sake and has no effect on the adapters.
struct HidOpenFlags {
  bool read = false;
  bool write = false;
  bool exclusive_write = false;
};

enum class HidIoResult {
  kOk,
  kTimedOut,  // nothing arrived (read) or the device took nothing (write) within the time-out
  kAborted,   // Abort() was called on the handle
  kFailed,    // the device is gone or refused the transfer, or the handle lacks the access
};

// One open interface path. Read and Write may run at the same time on two threads; Abort may be
// called from any thread at any time.
class HidHandle {
 public:
  virtual ~HidHandle() = default;

  virtual HidAttributes Attributes() const = 0;
  // The report descriptor of the whole interface; the path's "&col" number says which top-level
  // collection this handle stands for (1-based; no "&col" is the first and only one).
  virtual std::vector<std::uint8_t> ReportDescriptor() const = 0;

  // Waits up to `timeout` (kInfinite allowed) for one input report of the collection and copies
  // it, report-ID byte first, into `buffer` (cut at the buffer's size). `transferred` is the number
  // of bytes stored (0 unless kOk).
  virtual HidIoResult Read(std::span<std::uint8_t> buffer, std::size_t& transferred, Millis timeout) = 0;
  // Sends one output report; its first byte is the report ID.
  virtual HidIoResult Write(std::span<const std::uint8_t> report, std::size_t& transferred, Millis timeout) = 0;

  // Ends a pending Read or Write at once with kAborted, and every later one too: a handle is
  // aborted only on its way to being closed.
  virtual void Abort() = 0;
};

class HidBackend {
 public:
  virtual ~HidBackend() = default;

  // Every interface path present now, in a stable order (the adapter's node order, then the
  // collection order). An empty string stands for an interface the system could not describe; it
  // keeps its place and is skipped by the callers. False when the enumeration itself failed.
  virtual bool Enumerate(std::vector<std::string>& paths) = 0;

  // Opens one interface path; nullptr when it is not present or cannot be opened with that access.
  virtual std::unique_ptr<HidHandle> Open(const std::string& path, const HidOpenFlags& flags) = 0;
};

}  // namespace brimvex::platform
