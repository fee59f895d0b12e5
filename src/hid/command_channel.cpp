#include "hid/command_channel.h"

#include <algorithm>

#include "platform/trace.h"

namespace brimvex::hid {

CommandChannel::CommandChannel(platform::HidBackend& backend) : wired_(backend), receiver_(backend) {}

CommandChannel::~CommandChannel() { open_.store(false); }

int CommandChannel::SetKeyMapSize(std::uint32_t n) {
  if (n > kMaxKeyMapSize) return 0;
  key_map_size_.store(static_cast<std::uint16_t>(n));
  return 1;
}

void CommandChannel::SetLinkMode(int mode) {
  const bool wireless = mode == 2;
  wireless_.store(wireless);
  chunk_size_.store(wireless ? kChunkReceiver : kChunkWired);
}

int CommandChannel::Exchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> answer,
                             std::uint32_t* bytes_read) {
  return DoExchange(request, answer, bytes_read, Trace::kTraced);
}

int CommandChannel::ExchangeQuietly(std::span<const std::uint8_t> request, std::span<std::uint8_t> answer,
                                    std::uint32_t* bytes_read) {
  return DoExchange(request, answer, bytes_read, Trace::kQuiet);
}

namespace {

void TraceReport(std::string_view title, const Report& report) {
  platform::Trace(title);
  platform::Trace(FormatTraceLine(report, 0));
  platform::Trace(FormatTraceLine(report, 32));
}

}  // namespace

int CommandChannel::DoExchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> answer,
                               std::uint32_t* bytes_read, Trace trace) {
  struct BusyMark {
    std::atomic<int>& busy;
    explicit BusyMark(std::atomic<int>& b) : busy(b) { ++busy; }
    ~BusyMark() { --busy; }
  } mark(busy_);
  if (bytes_read != nullptr) *bytes_read = 0;
  if (!open_.load()) return RESULT_FAILED;

  Report report{};
  std::copy_n(request.begin(), std::min(request.size(), report.size()), report.begin());
  if (trace == Trace::kTraced) TraceReport("命令", report);

  const bool wireless = wireless_.load();
  HidInterface& hid = wireless ? receiver_ : wired_;
  const platform::Millis timeout = wireless ? kReceiverTimeout : kWiredTimeout;
  int result = RESULT_FAILED;
  {
    // One lock over the write and the read loop: another exchange on the channel cannot slip its
    // request in between and take this one's answer.
    std::lock_guard lock(transaction_lock_);
    std::uint32_t written = 0;
    if (hid.WriteReport(report, &written, timeout) != 1) return RESULT_SEND_FAILED;
    bool matched = false;
    for (int reads = 0; reads < 2 && !matched; ++reads) {
      std::fill(answer.begin(), answer.end(), std::uint8_t{0});
      result = hid.ReadReport(answer, bytes_read, timeout);
      if (result != 1 || answer.size() <= kOffsetCode) continue;
      if (answer[kOffsetCode] == report[kOffsetCode]) {
        matched = true;
      } else if (wireless && answer[kOffsetCode] == kLinkDownMark) {
        result = RESULT_LINK_DOWN;
        break;
      }
    }
    // Two answers of other requests: what was read does not belong to this request.
    if (result == RESULT_OK && !matched) result = RESULT_FAILED;
  }

  if (trace == Trace::kTraced) {
    Report shown{};
    std::copy_n(answer.begin(), std::min(answer.size(), shown.size()), shown.begin());
    TraceReport("返回", shown);
  }
  return result;
}

DeviceInfo DecodeInfoBlock(const InfoBlock& b) {
  DeviceInfo info;
  info.key_count = b[5];
  info.macro_capacity = b[6];
  info.sensor_code = static_cast<std::uint16_t>(b[9] | (b[10] << 8));
  info.resolution_step = b[11];
  info.slider_maximum = b[12];
  info.resolution_base = static_cast<std::uint16_t>(b[14] | (b[15] << 8));
  return info;
}

DeviceStatus DecodeStatusBlock(std::span<const std::uint8_t> block, bool wireless) {
  DeviceStatus s;
  auto at = [&](std::size_t i) { return i < block.size() ? block[i] : std::uint8_t{0}; };
  s.battery_percent = at(0);
  s.charge_state = at(1);
  s.wireless_mark = wireless ? 1 : 0;
  s.phone_type = at(5);
  return s;
}

std::string_view PhoneTypeName(std::uint8_t phone_type) {
  switch (phone_type) {
    case 1:
      return "Phone_type_iphone";
    case 2:
      return "Phone_type_samsung";
    case 3:
      return "Phone_type_other";
    default:
      return "Phone_type_no_device";
  }
}

KeyPosition DecodeKeyPosition(std::uint8_t byte) {
  if (byte >= 0x60) return {};
  return KeyPosition{true, static_cast<std::uint8_t>(byte >> 4), static_cast<std::uint8_t>(byte & 0x0F)};
}

}  // namespace brimvex::hid
