// The device commands: single-packet commands and chunked transfers over Exchange.
#include <algorithm>
#include <chrono>
#include <thread>

#include "hid/command_channel.h"
#include "platform/precise_wakeups.h"
#include "platform/trace.h"

namespace brimvex::hid {

namespace {

int MapStatus(const Report& answer) {
  if (answer[kOffsetStatus] == kStatusFF) return RESULT_DEVICE_FF;
  if (answer[kOffsetStatus] == kStatusFE) return RESULT_DEVICE_FE;
  return RESULT_OK;
}

}  // namespace

// What one chunked command moves: the code, the total, where each packet's offset comes from,
// the source (writes) or destination (reads), and how it is sent.
struct CommandChannel::Transfer {
  std::uint8_t code = 0;
  std::size_t total = 0;
  std::uint32_t base_offset = 0;  // packet offset = base + position
  std::span<const std::uint8_t> source;
  std::span<std::uint8_t> destination;
  Lock lock = Lock::kCommand;
  std::uint8_t chunk = 0;
  bool stream = false;  // quiet, dropped while the channel is busy
};

int CommandChannel::SendPacket(const Report& request, Report& answer, Lock lock, Trace trace) {
  std::unique_lock<std::recursive_mutex> builder;
  if (lock == Lock::kCommand) builder = std::unique_lock(command_lock_);
  if (lock == Lock::kLight) builder = std::unique_lock(light_lock_);
  const int result = DoExchange(request, answer, nullptr, trace);
  if (builder.owns_lock()) builder.unlock();
  return result == RESULT_OK ? MapStatus(answer) : result;
}

int CommandChannel::SinglePacket(std::uint8_t code, Lock lock, Report& answer, std::uint8_t length,
                                 std::uint16_t offset) {
  const Report request = MakeRequest(code, length, offset);
  return SendPacket(request, answer, lock, Trace::kTraced);
}

int CommandChannel::Chunked(const Transfer& t) {
  Report request{};
  request[0] = kCommandReportId;
  request[kOffsetCode] = t.code;
  Report answer{};
  for (std::size_t position = 0; position < t.total; position += t.chunk) {
    const std::size_t n = position + t.chunk < t.total ? t.chunk : t.total - position;
    const auto offset = static_cast<std::uint16_t>(t.base_offset + position);
    request[kOffsetLength] = static_cast<std::uint8_t>(n);
    request[kOffsetAddress] = static_cast<std::uint8_t>(offset & 0xFF);
    request[kOffsetAddress + 1] = static_cast<std::uint8_t>(offset >> 8);
    // Data past n is left from the packet before; the checksum covers it all.
    if (!t.source.empty())
      std::copy_n(t.source.begin() + static_cast<std::ptrdiff_t>(position), n, request.begin() + kOffsetData);
    StoreChecksum(request);
    if (t.stream && IsBusy()) {
      platform::Trace("放弃灯光数据");
      continue;
    }
    const int result = SendPacket(request, answer, t.lock, t.stream ? Trace::kQuiet : Trace::kTraced);
    if (result != RESULT_OK) return result;
    if (!t.destination.empty())
      std::copy_n(answer.begin() + kOffsetData, n, t.destination.begin() + static_cast<std::ptrdiff_t>(position));
  }
  return RESULT_OK;
}

int CommandChannel::Begin() {
  Report answer{};
  return SinglePacket(CMD_BEGIN, Lock::kCommand, answer);
}

int CommandChannel::End() {
  {
    const platform::PreciseWakeups precise;  // the pause the device needs, not a timer slack more
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  Report answer{};
  return SinglePacket(CMD_END, Lock::kCommand, answer);
}

int CommandChannel::LightControl() {
  Report answer{};
  return SinglePacket(CMD_LIGHT_CONTROL, Lock::kCommand, answer);
}

bool CommandChannel::LinkQuery() {
  if (!wireless_.load()) return true;
  Report answer{};
  const int result = SinglePacket(CMD_LINK_QUERY, Lock::kCommand, answer);
  return result == RESULT_OK && answer[kOffsetData] == 0xFF;
}

int CommandChannel::ReadStatus(std::span<std::uint8_t> destination, std::uint8_t offset) {
  const auto length = static_cast<std::uint8_t>(std::min<std::size_t>(destination.size(), kMaxData));
  Report answer{};
  const int result = SinglePacket(CMD_READ_STATUS, Lock::kCommand, answer, length, offset);
  if (result == RESULT_OK) std::copy_n(answer.begin() + kOffsetData, length, destination.begin());
  return result;
}

int CommandChannel::ReadInfo(InfoBlock& destination) {
  InfoBlock gathered{};
  const int result = Chunked({CMD_READ_INFO, kInfoBlockSize, 0, {}, gathered, Lock::kCommand, ChunkSize(), false});
  if (result == RESULT_OK) destination = gathered;
  return result;
}

int CommandChannel::ReadParam(std::span<std::uint8_t> destination, std::uint16_t start) {
  return Chunked({CMD_READ_PARAM, destination.size(), start, {}, destination, Lock::kCommand, ChunkSize(), false});
}

int CommandChannel::WriteParam(std::span<const std::uint8_t> source, std::uint16_t start) {
  return Chunked({CMD_WRITE_PARAM, source.size(), start, source, {}, Lock::kCommand, ChunkSize(), false});
}

int CommandChannel::ReadKeyMap(std::span<std::uint8_t> destination) {
  const std::size_t total = KeyMapSize();
  if (destination.size() < total) return RESULT_FAILED;
  return Chunked({CMD_READ_KEYMAP, total, 0, {}, destination.first(total), Lock::kCommand, ChunkSize(), false});
}

int CommandChannel::WriteKeyMap(std::span<const std::uint8_t> source, int page) {
  if (page != 0) return RESULT_BAD_PAGE;
  const std::size_t total = KeyMapSize();
  if (source.size() < total) return RESULT_FAILED;
  return Chunked({CMD_WRITE_KEYMAP, total, 0, source.first(total), {}, Lock::kCommand, ChunkSize(), false});
}

int CommandChannel::WriteKeyColors(std::span<const std::uint8_t> source, int slot, int slot_size) {
  const auto base = static_cast<std::uint32_t>(slot * slot_size);
  return Chunked({CMD_WRITE_KEY_COLORS, source.size(), base, source, {}, Lock::kLight, ChunkSize(), false});
}

int CommandChannel::StreamKeyColors(std::span<const std::uint8_t> source) {
  return Chunked({CMD_STREAM_KEY_COLORS, source.size(), 0, source, {}, Lock::kLight, ChunkSize(), true});
}

int CommandChannel::WriteMacros(std::span<const std::uint8_t> source) {
  return Chunked({CMD_WRITE_MACROS, source.size(), 0, source, {}, Lock::kCommand, ChunkSize(), false});
}

int CommandChannel::WriteShoot(std::span<const std::uint8_t> source) {
  return Chunked({CMD_WRITE_SHOOT, source.size(), 0, source, {}, Lock::kNone, kChunkWired, false});
}

int CommandChannel::ReadKeyPositions(std::span<std::uint8_t> destination) {
  const std::size_t total = KeyMapSize() / 3u;
  if (destination.size() < total) return RESULT_FAILED;
  return Chunked({CMD_READ_KEY_POSITIONS, total, 0, {}, destination.first(total), Lock::kCommand, ChunkSize(), false});
}

}  // namespace brimvex::hid
