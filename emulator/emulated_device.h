#pragma once
// One emulated peripheral: its USB identities, its report descriptor, its firmware (the 64-byte
// command protocol over its own memory) and the controls that tests and demos turn.
//
// Protocol (what the firmware answers). A request is an output report of 64 bytes: byte 0 the
// report ID 0x04, bytes 1-2 the little-endian sum of bytes 3-63, byte 3 the command, byte 4 the
// data length (at most 56), bytes 5-6 the little-endian offset inside the area the command
// addresses, data from byte 8. The answer is an input report of 64 bytes on the same interface:
// byte 0 0x04, bytes 1-2 its own checksum, byte 3 the echo of the command, bytes 4-6 as in the
// request, byte 7 the status, data from byte 8. Status values:
//   kStatusOk (0x00)       done;
//   kStatusRejected (0xFF) checksum wrong or command unknown: nothing was done;
//   kStatusBadRange (0xFE) byte 7 not 0; a length above the link's packet size (56 on the cable,
//                          24 through the receiver, 56 for recoil data on both); the area too
//                          small for offset + length (a live frame past the product's lights x
//                          3); or a macro or recoil block whose header, lengths or offsets are
//                          wrong.
// Commands: 0x01 begin, 0x02 end, 0x03 read info (34-byte block), 0x05/0x06 read/write parameter
// memory, 0x07/0x09 read/write key map (offset = page x 512 + position, only page 0 exists), 0x0B
// write custom colour slots (512 bytes per slot), 0x12 stream the live frame, 0x15 write the macro
// area, 0x17 write the recoil area, 0x1A read the status block, 0x1B read key positions, 0x1C host
// takes over lighting, 0xAA link query (data byte 0, answer byte 8, is 0xFF: reachable).
//
// A wireless product (keyboard, mouse) is one device with two identities, its cable and its
// receiver, present alone or together. Through the receiver it answers only while it is switched
// on and in range; otherwise the receiver itself answers every request with byte 3 = 0xAA and
// data 0. The mouse pad and the headset have only the cable identity.
//
// Thread safety: every member may be called from any thread; one mutex guards the device.
// Answers and notifications are queued on the reading connections with a ready time (now +
// latency); nothing here sleeps or spins.
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/event.h"
#include "platform/hid_backend.h"

namespace brimvex::emulator {

enum class Product { kKeyboard, kMouse, kMousePad, kHeadset };
enum class Link { kCable, kReceiver };

// Status bytes of the answers.
inline constexpr std::uint8_t kStatusOk = 0x00;
inline constexpr std::uint8_t kStatusBadRange = 0xFE;
inline constexpr std::uint8_t kStatusRejected = 0xFF;
inline constexpr std::uint8_t kLinkDownEcho = 0xAA;  // byte 3 of a receiver answer for an unreachable device

inline constexpr std::size_t kReportSize = 64;
inline constexpr std::size_t kMaxPacketData = 56;          // per request on the cable
inline constexpr std::size_t kMaxReceiverPacketData = 24;  // per request through the receiver
inline constexpr std::size_t kInfoSize = 34;
inline constexpr std::size_t kParameterSize = 1024;
inline constexpr std::size_t kKeyMapSize = 512;
inline constexpr std::size_t kColorSlotSize = 512;
inline constexpr std::size_t kLiveFrameSize = 512;
inline constexpr std::size_t kStatusSize = 56;
inline constexpr std::size_t kHeadsetLedCount = 13;

// The memory areas the commands address. Sizes (keyboard / mouse / mouse pad / headset; an area
// of size 0 answers every access with 0xFE):
enum class Area {
  kInfo,          // 34 each. Bytes 0-1 firmware version, 2 kind (1, 2, 3, 7), 3 profiles (5),
                  // 5 key count (126 / 11 / 0 / 0), 6 macro capacity in 128-byte units
                  // (16 / 8 / 0 / 0), 7 light count (126 / 15 / 15 / 13); mouse: 9-10 sensor
                  // code 13093, 11 step 50, 12 slider maximum 120, 14-15 base 50
  kParameters,    // 1024 each: byte 0 the active profile, five settings records (factory values)
  kKeyMap,        // 512 / 512 / 0 / 0: 3 bytes per key slot (type, p1, p2), factory codes
  kKeyPositions,  // 512 / 512 / 0 / 0: one byte per key slot, row << 4 | column, 0xFF no light
  kColorSlots,    // 4096 / 0 / 0 / 0: eight custom colour slots of 512 bytes
  kLiveFrame,     // 512 each: the last streamed colours, 3 bytes per light position; a stream
                  // reaches only the first 3 x light count bytes
  kMacros,        // info byte 6 x 128: the macro block as received
  kRecoil,        // 0 / 4096 / 0 / 0: the recoil block as received
  kStatus,        // 56 each: battery % (100), charge state, 0, 0, 0, phone type
};

struct UsbIdentity {
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::uint16_t version = 0;
  std::uint8_t interface_number = 0;
};

// Faults, each hitting one or more command requests (report ID 4) counted from the moment it is
// injected, over every link: request `packet` (0 = the next one) and the `count - 1` after it.
enum class FaultKind {
  kNoAnswer,      // the request is carried out but no answer comes
  kStaleAnswer,   // the previous answer is sent again first, then the real answer
  kStatusFE,      // answered with status 0xFE; nothing is done
  kStatusFF,      // answered with status 0xFF; nothing is done
  kLinkDown,      // through the receiver: answered with 0xAA as if the device were out of reach
  kUnplug,        // the identity the request came through is unplugged on receipt, no answer
  kWriteTimeout,  // the write of the request times out; it is logged, not carried out
};
struct Fault {
  FaultKind kind = FaultKind::kNoAnswer;
  int packet = 0;
  int count = 1;
};

// One request and what became of it, for tests.
struct Exchange {
  Link link = Link::kCable;
  std::vector<std::uint8_t> request;               // as written (report ID first)
  std::vector<std::vector<std::uint8_t>> answers;  // in the order queued (a stale one first)
  std::optional<FaultKind> fault;
  // "", "checksum", "unknown command", "unreachable", "byte 7", "packet length", "range",
  // "block: ...", "write time-out", "unplugged"
  std::string note;
};

// A macro or recoil block decoded once all of its bytes have arrived.
struct BlockEvent {
  std::uint16_t delay = 0;
  bool down = false;      // bit 7 of the type byte
  std::uint8_t type = 0;  // the type byte without bit 7
  std::uint8_t code = 0;
};
struct DecodedBlock {
  bool complete = false;  // all `total_length` bytes arrived and were decoded
  bool valid = false;
  std::string error;  // why it is not valid
  std::uint16_t total_length = 0;
  std::vector<std::vector<BlockEvent>> entries;
};

class HidConnection;

class EmulatedDevice : public std::enable_shared_from_this<EmulatedDevice> {
 public:
  // Factory memory for the product; every identity starts unplugged, the device switched on and
  // in range, battery 100 %, not charging, latency 1 ms.
  EmulatedDevice(Product product, std::string name);
  ~EmulatedDevice();
  EmulatedDevice(const EmulatedDevice&) = delete;
  EmulatedDevice& operator=(const EmulatedDevice&) = delete;

  Product product() const { return product_; }
  // Unique on its emulator: the node name of the cable identity; the receiver's is name + "-receiver".
  const std::string& name() const { return name_; }
  bool HasReceiver() const;
  UsbIdentity Identity(Link link) const;
  std::span<const std::uint8_t> ReportDescriptor() const;
  // Key slots of the key map (126 keyboard, 11 mouse, 0 otherwise) and lights.
  std::size_t KeyCount() const;
  std::size_t LightCount() const;

  // --- Controls ---
  // Plugging an identity that is plugged, or one the product lacks, does nothing. Unplugging ends
  // every connection of the identity: blocked reads and later transfers fail.
  void Plug(Link link);
  void Unplug(Link link);
  bool IsPlugged(Link link) const;
  // The wireless device switched on or off, in or out of range of its receiver.
  void SetPoweredOn(bool on);
  void SetInRange(bool in_range);
  bool Reachable() const;  // switched on and in range
  void SetBattery(std::uint8_t percent);
  void SetChargeState(std::uint8_t state);  // 0, 1 or 2
  void SetPhoneType(std::uint8_t type);     // mouse pad: 1 iPhone, 2 Samsung, 3 other, 0 none
  // Delay between a request and its answer becoming readable (default 1 ms; 0 allowed).
  void SetLatency(platform::Millis latency);
  void InjectFault(const Fault& fault);
  void ClearFaults();

  // --- Notifications (consumer collection 3, a 16-bit code per report) ---
  // Sent on the cable when it is plugged, else through the receiver when the device is
  // reachable. False when no link carries it.
  bool Notify(std::uint16_t code);
  bool NotifySettingsChanged() { return Notify(1025); }
  bool NotifyReloadProfile() { return Notify(1026); }
  // The user switched profile on the device: parameter byte 0 = profile, notice 0x10XY (Y the
  // profile); with a sub-setting (keyboard byte 17, mouse resolution stage) 0x11XY.
  bool SwitchProfile(std::uint8_t profile);
  bool SwitchProfileAndStage(std::uint8_t profile, std::uint8_t stage);
  bool KeyPress(std::uint8_t slot) { return Notify(static_cast<std::uint16_t>(0x0500 | slot)); }
  bool KeyRelease(std::uint8_t slot) { return Notify(static_cast<std::uint16_t>(0x0600 | slot)); }

  // --- Memory, for tests ---
  std::size_t AreaSize(Area area) const;
  std::vector<std::uint8_t> Memory(Area area) const;
  // Presets bytes of an area (cut at its end).
  void SetMemory(Area area, std::size_t offset, std::span<const std::uint8_t> bytes);
  // The settings record of a device profile as the host addresses it: keyboard 29 bytes at
  // p x 29, mouse 71 bytes at p x 128, mouse pad and headset 21 bytes at p x 64.
  std::size_t SettingsRecordOffset(int profile) const;
  std::size_t SettingsRecordSize() const;
  std::vector<std::uint8_t> SettingsRecord(int profile) const;
  DecodedBlock Macros() const;
  DecodedBlock Recoil() const;
  bool LightControl() const;   // set by command 0x1C
  bool InTransaction() const;  // between begin and end
  std::size_t StreamedPackets() const;
  // Headset LED output reports (ID 0xFF) as received, and the colours they carry: for the
  // zones 0x22 and 0x44 (index 0 and 1), 13 LEDs of R, G, B.
  std::vector<std::vector<std::uint8_t>> LedReports() const;
  std::array<std::array<std::array<std::uint8_t, 3>, kHeadsetLedCount>, 2> HeadsetLeds() const;

  // The requests received, oldest first (the last 4096), and their count since the start.
  std::vector<Exchange> ExchangeLog() const;
  std::size_t ExchangeCount() const;
  void ClearExchangeLog();

  // Memory is kept only in the process unless asked: a JSON file of every area (hexadecimal).
  bool SaveMemory(const std::string& path, std::string* error = nullptr) const;
  bool LoadMemory(const std::string& path, std::string* error = nullptr);

  // --- Transport, for the HID backends ---
  // A connection to the interface of a plugged identity (nullptr when it is not plugged); the
  // device must be owned by a shared_ptr (Emulator::AddDevice makes them so). Only
  // reading connections receive input reports.
  std::shared_ptr<HidConnection> Connect(Link link, bool read, bool write);

 private:
  friend class HidConnection;
  struct State;
  enum class WriteVerdict { kAccepted, kTimedOut, kGone };
  WriteVerdict HandleOutput(Link link, std::span<const std::uint8_t> report);

  const Product product_;
  const std::string name_;
  mutable std::mutex mutex_;
  std::unique_ptr<State> state_;
};

// One opener of an identity's interface (what a device node's file descriptor is to hidraw).
// Read takes every input report of the interface; the backends filter by collection.
class HidConnection {
 public:
  HidConnection(std::shared_ptr<EmulatedDevice> device, Link link, bool read, bool write);
  ~HidConnection();
  HidConnection(const HidConnection&) = delete;
  HidConnection& operator=(const HidConnection&) = delete;

  // Hands one output report to the firmware. kFailed when the identity is gone or the
  // connection has no write access; kTimedOut for an injected write time-out (after waiting).
  platform::HidIoResult Write(std::span<const std::uint8_t> report, platform::Millis timeout);
  // The next input report whose ready time has come, within the time-out.
  platform::HidIoResult Read(std::span<std::uint8_t> buffer, std::size_t& transferred, platform::Millis timeout);
  // Ends waiting transfers with kAborted, and every later one.
  void Abort();
  bool Alive() const;
  // Keeps only the input reports with these IDs from now on (all when empty): a reader of one
  // collection does not fill its queue with another collection's reports.
  void AcceptOnly(std::vector<std::uint8_t> report_ids);
  Link link() const { return link_; }
  EmulatedDevice& device() const { return *device_; }

 private:
  friend class EmulatedDevice;
  using Clock = std::chrono::steady_clock;
  void Deliver(std::vector<std::uint8_t> report, Clock::time_point ready);
  void Disconnect();

  const std::shared_ptr<EmulatedDevice> device_;
  const Link link_;
  const bool read_;
  const bool write_;
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  struct Pending {
    Clock::time_point ready;
    std::vector<std::uint8_t> report;
  };
  std::deque<Pending> queue_;
  std::vector<std::uint8_t> accept_ids_;
  bool alive_ = true;
  bool aborted_ = false;
};

}  // namespace brimvex::emulator
