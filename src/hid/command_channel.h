#pragma once
// CommandChannel: one device's transport for the 64-byte command protocol. It holds the wired
// interface of the device's own cable and the interface of its 2.4 GHz receiver; the link mode
// says which one carries the traffic, how long an answer may take and how many data bytes go into
// one packet. The command operations build the requests; Exchange sends one and matches its
// answer.
//
// Locks, always in this order: a builder's command lock or light lock, then the transaction
// lock. The transaction lock is held around each exchange (the report write and its answer read
// loop together) and by whoever opens or closes an interface; it is never held while waiting for
// another lock. All
// locks are recursive, so a device that holds its command lock around a whole sequence can still
// call the commands.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>

#include "hid/command_codes.h"
#include "hid/command_report.h"
#include "hid/hid_interface.h"
#include "platform/hid_backend.h"

namespace brimvex::hid {

// The 34-byte device information block of CMD_READ_INFO.
inline constexpr std::size_t kInfoBlockSize = 34;
using InfoBlock = std::array<std::uint8_t, kInfoBlockSize>;

struct DeviceInfo {
  std::uint8_t key_count = 0;         // byte 5; the key map is 3 bytes a key
  std::uint8_t macro_capacity = 0;    // byte 6, in units of 128 bytes
  std::uint16_t sensor_code = 0;      // bytes 9-10
  std::uint8_t resolution_step = 0;   // byte 11
  std::uint8_t slider_maximum = 0;    // byte 12
  std::uint16_t resolution_base = 0;  // bytes 14-15
};
DeviceInfo DecodeInfoBlock(const InfoBlock& block);

// The 6-byte status block of CMD_READ_STATUS at offset 0.
struct DeviceStatus {
  std::uint8_t battery_percent = 0;  // byte 0
  std::uint8_t charge_state = 0;     // byte 1: 0, 1 or 2
  std::uint8_t wireless_mark = 0;    // byte 3, set by the host: 1 in 2.4 GHz mode, 0 wired
  std::uint8_t phone_type = 0;       // byte 5
};
inline constexpr std::size_t kStatusBlockSize = 6;
DeviceStatus DecodeStatusBlock(std::span<const std::uint8_t> block, bool wireless);
// "Phone_type_iphone", "Phone_type_samsung", "Phone_type_other" or "Phone_type_no_device".
std::string_view PhoneTypeName(std::uint8_t phone_type);

// One key position byte: below 0x60 the light at (row, column); 0x60 or more, no light.
struct KeyPosition {
  bool has_light = false;
  std::uint8_t row = 0;
  std::uint8_t column = 0;
};
KeyPosition DecodeKeyPosition(std::uint8_t byte);

class CommandChannel {
 public:
  static constexpr platform::Millis kWiredTimeout{1000};
  static constexpr platform::Millis kReceiverTimeout{5000};
  // The custom key colour slots are 512 bytes apart.
  static constexpr int kKeyColorSlotSize = 512;

  explicit CommandChannel(platform::HidBackend& backend);
  ~CommandChannel();
  CommandChannel(const CommandChannel&) = delete;
  CommandChannel& operator=(const CommandChannel&) = delete;

  // --- State ---
  // Stores n (the byte length of the key map) and returns 1 when n <= 512; else 0, size kept.
  int SetKeyMapSize(std::uint32_t n);
  std::uint16_t KeyMapSize() const { return key_map_size_.load(); }
  // 2 selects the 2.4 GHz receiver (24-byte packets); 1 and any other value the cable (56).
  void SetLinkMode(int mode);
  bool IsWireless() const { return wireless_.load(); }
  std::uint8_t ChunkSize() const { return chunk_size_.load(); }
  bool IsOpen() const { return open_.load(); }
  // Set by whoever opened or closed an interface, under the transaction lock.
  void SetOpen(bool open) { open_.store(open); }
  // True while any exchange runs; only a hint for the light stream, which drops packets then.
  bool IsBusy() const { return busy_.load() > 0; }
  // Kept for the device layer: the device takes part in synchronised lighting.
  bool LightSync() const { return light_sync_.load(); }
  void SetLightSync(bool on) { light_sync_.store(on); }

  HidInterface& Wired() { return wired_; }
  HidInterface& Receiver() { return receiver_; }
  std::recursive_mutex& TransactionLock() { return transaction_lock_; }
  std::recursive_mutex& ReceiverLock() { return receiver_lock_; }
  std::recursive_mutex& CommandLock() { return command_lock_; }
  std::recursive_mutex& LightLock() { return light_lock_; }

  // --- Exchanges ---
  // Sends one request (zero-filled or cut to 64 bytes) on the interface of the link mode and
  // reads its answer into `answer` (at most two reads: one stale answer is skipped). Returns
  // RESULT_OK, RESULT_FAILED, RESULT_SEND_FAILED or RESULT_LINK_DOWN; the status byte is left to
  // the caller. The traced variant writes "命令" and "返回" with both reports in hexadecimal.
  int Exchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> answer, std::uint32_t* bytes_read);
  int ExchangeQuietly(std::span<const std::uint8_t> request, std::span<std::uint8_t> answer, std::uint32_t* bytes_read);

  // --- Commands (each returns a result code) ---
  int Begin();
  int End();  // after a 10 ms pause
  int ReadInfo(InfoBlock& destination);
  int ReadParam(std::span<std::uint8_t> destination, std::uint16_t start);
  int WriteParam(std::span<const std::uint8_t> source, std::uint16_t start);
  // Key map of KeyMapSize() bytes; the destination must hold that many.
  int ReadKeyMap(std::span<std::uint8_t> destination);
  // KeyMapSize() bytes of `source`; only page 0 exists (RESULT_BAD_PAGE before sending else).
  int WriteKeyMap(std::span<const std::uint8_t> source, int page);
  int WriteKeyColors(std::span<const std::uint8_t> source, int slot, int slot_size = kKeyColorSlotSize);
  // Live colours, quiet; a packet is dropped ("放弃灯光数据") while another exchange runs.
  int StreamKeyColors(std::span<const std::uint8_t> source);
  int WriteMacros(std::span<const std::uint8_t> source);
  // Always 56-byte packets; takes no builder lock.
  int WriteShoot(std::span<const std::uint8_t> source);
  // At most 56 bytes at `offset`.
  int ReadStatus(std::span<std::uint8_t> destination, std::uint8_t offset = 0);
  // KeyMapSize() / 3 bytes; the destination must hold that many.
  int ReadKeyPositions(std::span<std::uint8_t> destination);
  int LightControl();
  // Whether the wireless device answers through the receiver; on the cable true, sending nothing.
  bool LinkQuery();

 private:
  enum class Lock { kCommand, kLight, kNone };
  enum class Trace { kTraced, kQuiet };
  struct Transfer;

  int DoExchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> answer, std::uint32_t* bytes_read,
                 Trace trace);
  // One packet under the builder lock, the answer's status mapped to a result.
  int SendPacket(const Report& request, Report& answer, Lock lock, Trace trace);
  int SinglePacket(std::uint8_t code, Lock lock, Report& answer, std::uint8_t length = 0, std::uint16_t offset = 0);
  int Chunked(const Transfer& transfer);

  std::atomic<std::uint16_t> key_map_size_{kMaxKeyMapSize};
  std::atomic<int> busy_{0};
  std::atomic<bool> open_{false};
  std::atomic<bool> light_sync_{false};
  HidInterface wired_;
  HidInterface receiver_;
  std::recursive_mutex transaction_lock_;
  std::recursive_mutex receiver_lock_;
  std::recursive_mutex command_lock_;
  std::recursive_mutex light_lock_;
  std::atomic<bool> wireless_{false};
  std::atomic<std::uint8_t> chunk_size_{kChunkReceiver};
};

}  // namespace brimvex::hid
