#include "emulator/emulated_device.h"

#include <json/json.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "emulator/descriptors.h"
#include "hid/command_codes.h"
#include "platform/file_system.h"
#include "platform/precise_wakeups.h"

namespace brimvex::emulator {

namespace {
using Clock = std::chrono::steady_clock;

// Command codes the firmware knows.
constexpr std::uint8_t kCmdBegin = 0x01;
constexpr std::uint8_t kCmdEnd = 0x02;
constexpr std::uint8_t kCmdReadInfo = 0x03;
constexpr std::uint8_t kCmdReadParam = 0x05;
constexpr std::uint8_t kCmdWriteParam = 0x06;
constexpr std::uint8_t kCmdReadKeyMap = 0x07;
constexpr std::uint8_t kCmdWriteKeyMap = 0x09;
constexpr std::uint8_t kCmdWriteKeyColors = 0x0B;
constexpr std::uint8_t kCmdStreamKeyColors = 0x12;
constexpr std::uint8_t kCmdWriteMacros = 0x15;
constexpr std::uint8_t kCmdWriteShoot = 0x17;
constexpr std::uint8_t kCmdReadStatus = 0x1A;
constexpr std::uint8_t kCmdReadKeyPositions = 0x1B;
constexpr std::uint8_t kCmdLightControl = 0x1C;
constexpr std::uint8_t kCmdLinkQuery = 0xAA;

constexpr std::size_t kLogLimit = 4096;
constexpr std::size_t kQueueLimit = 64;  // input reports kept per reader, as the kernel's hidraw list
constexpr std::size_t kProfileCount = 5;
constexpr std::size_t kKeyboardColorSlots = 8;
constexpr std::size_t kRecoilCapacity = hid::kMouseRecoilCapacity;

std::size_t Index(Link link) { return link == Link::kCable ? 0 : 1; }

// Data bytes one request may carry: the receiver's radio packets hold 24, the cable's 56; recoil
// data always travels in 56-byte packets.
std::size_t PacketLimit(Link link, std::uint8_t cmd) {
  return cmd == kCmdWriteShoot || link == Link::kCable ? kMaxPacketData : kMaxReceiverPacketData;
}
std::size_t Index(Area area) { return static_cast<std::size_t>(area); }

std::uint16_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
void PutLe16(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}
std::uint16_t Checksum(std::span<const std::uint8_t> report) {
  std::uint32_t sum = 0;
  for (std::size_t i = 3; i < kReportSize; ++i) sum += report[i];
  return static_cast<std::uint16_t>(sum & 0xFFFF);
}

constexpr const char* kAreaNames[] = {"info",       "parameters", "key_map", "key_positions", "color_slots",
                                      "live_frame", "macros",     "recoil",  "status"};
constexpr std::size_t kAreaCount = std::size(kAreaNames);

// Decodes a macro or recoil block: 0xAA 0x55, total length, count n, 10 reserved bytes, n 16-bit
// offsets, then n entries (event count, 2 reserved bytes, 4-byte events) packed in order.
DecodedBlock DecodeBlock(std::span<const std::uint8_t> b, std::uint16_t total) {
  DecodedBlock d;
  d.complete = true;
  d.total_length = total;
  auto fail = [&](std::string why) {
    d.error = std::move(why);
    d.entries.clear();
    return d;
  };
  if (total < 16 || total > b.size()) return fail("total length out of range");
  if (b[0] != 0xAA || b[1] != 0x55) return fail("bad header");
  const std::size_t n = Le16(b, 4);
  std::size_t expected = 16 + 2 * n;
  if (expected > total) return fail("offset table past the end");
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t off = Le16(b, 16 + 2 * k);
    if (off != expected) return fail("entry " + std::to_string(k) + " at a wrong offset");
    if (off + 4 > total) return fail("entry " + std::to_string(k) + " past the end");
    const std::size_t m = Le16(b, off);
    if (off + 4 + 4 * m > total) return fail("events of entry " + std::to_string(k) + " past the end");
    std::vector<BlockEvent> events;
    events.reserve(m);
    for (std::size_t e = 0; e < m; ++e) {
      const std::size_t at = off + 4 + 4 * e;
      events.push_back(
          BlockEvent{Le16(b, at), (b[at + 2] & 0x80) != 0, static_cast<std::uint8_t>(b[at + 2] & 0x7F), b[at + 3]});
    }
    d.entries.push_back(std::move(events));
    expected = off + 4 + 4 * m;
  }
  if (expected != total) return fail("total length does not match the entries");
  d.valid = true;
  return d;
}
}  // namespace

struct EmulatedDevice::State {
  std::array<bool, 2> plugged{};
  bool powered = true;
  bool in_range = true;
  platform::Millis latency{1};
  std::array<std::vector<std::uint8_t>, kAreaCount> areas;
  bool light_control = false;
  bool in_transaction = false;
  std::size_t streamed = 0;

  struct ArmedFault {
    Fault fault;
    std::uint64_t first = 0;
  };
  std::vector<ArmedFault> faults;
  std::uint64_t packets = 0;
  std::array<std::optional<std::vector<std::uint8_t>>, 2> last_answer;

  // Block reception: bytes received contiguously from offset 0, and the decoded result.
  std::size_t macro_received = 0;
  std::size_t recoil_received = 0;
  DecodedBlock macro_block;
  DecodedBlock recoil_block;

  std::deque<Exchange> log;
  std::size_t exchange_count = 0;
  std::deque<std::vector<std::uint8_t>> led_reports;
  std::array<std::array<std::array<std::uint8_t, 3>, kHeadsetLedCount>, 2> leds{};

  std::array<std::vector<std::weak_ptr<HidConnection>>, 2> connections;

  std::vector<std::uint8_t>& area(Area a) { return areas[Index(a)]; }
};

// ---------------------------------------------------------------------------------------------
// Factory memory

EmulatedDevice::EmulatedDevice(Product product, std::string name)
    : product_(product), name_(std::move(name)), state_(std::make_unique<State>()) {
  State& s = *state_;
  const bool keyboard = product == Product::kKeyboard;
  const bool mouse = product == Product::kMouse;
  s.area(Area::kInfo).assign(kInfoSize, 0);
  s.area(Area::kParameters).assign(kParameterSize, 0);
  s.area(Area::kKeyMap).assign(keyboard || mouse ? kKeyMapSize : 0, 0);
  s.area(Area::kKeyPositions).assign(keyboard || mouse ? kKeyMapSize : 0, 0xFF);
  s.area(Area::kColorSlots).assign(keyboard ? kKeyboardColorSlots * kColorSlotSize : 0, 0);
  s.area(Area::kLiveFrame).assign(kLiveFrameSize, 0);
  s.area(Area::kStatus).assign(kStatusSize, 0);
  s.area(Area::kRecoil).assign(mouse ? kRecoilCapacity : 0, 0);

  // Information block: firmware version, kind, profile count, key count, macro capacity in
  // 128-byte units, light count, and the mouse sensor values.
  std::vector<std::uint8_t>& info = s.area(Area::kInfo);
  PutLe16(info, 0, Identity(Link::kCable).version);
  info[2] = static_cast<std::uint8_t>(keyboard ? 1 : mouse ? 2 : product == Product::kMousePad ? 3 : 7);
  info[3] = kProfileCount;
  info[5] = static_cast<std::uint8_t>(KeyCount());
  info[6] = keyboard ? 16 : mouse ? 8 : 0;
  info[7] = static_cast<std::uint8_t>(LightCount());
  if (mouse) {
    PutLe16(info, 9, 13093);  // sensor code
    info[11] = 50;            // resolution step per slider unit
    info[12] = 120;           // slider maximum
    PutLe16(info, 14, 50);    // resolution base
  }
  s.area(Area::kMacros).assign(static_cast<std::size_t>(info[6]) * 128, 0);

  // Key map with the factory codes, key positions on the light grid.
  if (keyboard || mouse) {
    const auto codes = keyboard ? KeyboardFactoryKeyMap() : MouseFactoryKeyMap();
    for (std::size_t k = 0; k < codes.size(); ++k) {
      std::copy(codes[k].begin(), codes[k].end(), s.area(Area::kKeyMap).begin() + static_cast<std::ptrdiff_t>(3 * k));
      s.area(Area::kKeyPositions)[k] = k < 96 ? static_cast<std::uint8_t>((k / 16) << 4 | (k % 16)) : 0xFF;
    }
  }

  // Settings records of the five device profiles; profile 0 active.
  std::vector<std::uint8_t>& p = s.area(Area::kParameters);
  for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
    const std::size_t at = SettingsRecordOffset(static_cast<int>(profile));
    p[at] = static_cast<std::uint8_t>(profile);
    p[at + 1] = keyboard ? 1 : 0;  // light effect code (the keyboard's wave)
    p[at + 2] = 4;     // brightness
    p[at + 3] = 2;     // speed as stored (4 - speed)
    p[at + 5] = 1;     // 7-colour
    p[at + 6] = 0xFF;  // red
    if (mouse) {
      p[at + 11] = 3;  // report rate index
      p[at + 12] = 1;  // active resolution stage
      const std::uint16_t stages[5] = {16, 32, 48, 64, 96};
      for (std::size_t st = 0; st < 5; ++st) {
        const std::size_t r = at + 14 + 9 * st;
        p[r] = 1;
        PutLe16(p, r + 2, stages[st]);
        PutLe16(p, r + 4, stages[st]);
        p[r + 6 + st % 3] = 0xFF;
      }
      p[at + 59] = 1;
      PutLe16(p, at + 60, 1920);
      PutLe16(p, at + 62, 1080);
    }
  }
  p[0] = 0;

  std::vector<std::uint8_t>& status = s.area(Area::kStatus);
  status[0] = 100;
}

EmulatedDevice::~EmulatedDevice() = default;

bool EmulatedDevice::HasReceiver() const { return product_ == Product::kKeyboard || product_ == Product::kMouse; }

UsbIdentity EmulatedDevice::Identity(Link link) const {
  const bool receiver = link == Link::kReceiver;
  switch (product_) {
    case Product::kKeyboard:
      return receiver ? UsbIdentity{0x05AC, 0x024F, 0x0102, 1} : UsbIdentity{0x05AC, 0x024E, 0x0105, 1};
    case Product::kMouse:
      return receiver ? UsbIdentity{0x5E1D, 0x4A11, 0x0102, 1} : UsbIdentity{0x5E1D, 0x4A10, 0x0104, 1};
    case Product::kMousePad:
      return receiver ? UsbIdentity{} : UsbIdentity{0x5E1D, 0x4B04, 0x0101, 1};
    case Product::kHeadset:
      return receiver ? UsbIdentity{} : UsbIdentity{0x0C76, 0x1630, 0x0100, 3};
  }
  return {};
}

std::span<const std::uint8_t> EmulatedDevice::ReportDescriptor() const {
  switch (product_) {
    case Product::kKeyboard:
      return KeyboardInterfaceDescriptor();
    case Product::kMouse:
    case Product::kMousePad:
      return MouseInterfaceDescriptor();
    case Product::kHeadset:
      return HeadsetInterfaceDescriptor();
  }
  return {};
}

std::size_t EmulatedDevice::KeyCount() const {
  return product_ == Product::kKeyboard ? KeyboardFactoryKeyMap().size()
         : product_ == Product::kMouse  ? MouseFactoryKeyMap().size()
                                        : 0;
}

std::size_t EmulatedDevice::LightCount() const {
  return product_ == Product::kKeyboard ? 126 : product_ == Product::kHeadset ? kHeadsetLedCount : 15;
}

// ---------------------------------------------------------------------------------------------
// Controls

void EmulatedDevice::Plug(Link link) {
  if (link == Link::kReceiver && !HasReceiver()) return;
  std::lock_guard lock(mutex_);
  state_->plugged[Index(link)] = true;
}

void EmulatedDevice::Unplug(Link link) {
  std::vector<std::shared_ptr<HidConnection>> keep;  // released after the lock (see HandleOutput)
  std::lock_guard lock(mutex_);
  state_->plugged[Index(link)] = false;
  for (auto& weak : state_->connections[Index(link)]) {
    if (auto c = weak.lock()) {
      c->Disconnect();
      keep.push_back(std::move(c));
    }
  }
  state_->connections[Index(link)].clear();
}

bool EmulatedDevice::IsPlugged(Link link) const {
  std::lock_guard lock(mutex_);
  return state_->plugged[Index(link)];
}

void EmulatedDevice::SetPoweredOn(bool on) {
  std::lock_guard lock(mutex_);
  state_->powered = on;
}

void EmulatedDevice::SetInRange(bool in_range) {
  std::lock_guard lock(mutex_);
  state_->in_range = in_range;
}

bool EmulatedDevice::Reachable() const {
  std::lock_guard lock(mutex_);
  return state_->powered && state_->in_range;
}

void EmulatedDevice::SetBattery(std::uint8_t percent) {
  std::lock_guard lock(mutex_);
  state_->area(Area::kStatus)[0] = percent;
}

void EmulatedDevice::SetChargeState(std::uint8_t charge) {
  std::lock_guard lock(mutex_);
  state_->area(Area::kStatus)[1] = charge;
}

void EmulatedDevice::SetPhoneType(std::uint8_t type) {
  std::lock_guard lock(mutex_);
  state_->area(Area::kStatus)[5] = type;
}

void EmulatedDevice::SetLatency(platform::Millis latency) {
  std::lock_guard lock(mutex_);
  state_->latency = std::max(latency, platform::Millis(0));
}

void EmulatedDevice::InjectFault(const Fault& fault) {
  std::lock_guard lock(mutex_);
  state_->faults.push_back(
      State::ArmedFault{fault, state_->packets + static_cast<std::uint64_t>(std::max(0, fault.packet))});
}

void EmulatedDevice::ClearFaults() {
  std::lock_guard lock(mutex_);
  state_->faults.clear();
}

// ---------------------------------------------------------------------------------------------
// Notifications

bool EmulatedDevice::Notify(std::uint16_t code) {
  std::vector<std::shared_ptr<HidConnection>> keep;  // released after the lock (see HandleOutput)
  std::lock_guard lock(mutex_);
  State& s = *state_;
  std::optional<Link> via;
  if (s.plugged[0]) {
    via = Link::kCable;
  } else if (s.plugged[1] && s.powered && s.in_range) {
    via = Link::kReceiver;
  }
  if (!via) return false;
  std::vector<std::uint8_t> report{kReportIdConsumer, static_cast<std::uint8_t>(code & 0xFF),
                                   static_cast<std::uint8_t>(code >> 8)};
  const auto ready = Clock::now();
  for (auto& weak : s.connections[Index(*via)]) {
    if (auto c = weak.lock()) {
      c->Deliver(report, ready);
      keep.push_back(std::move(c));
    }
  }
  return true;
}

bool EmulatedDevice::SwitchProfile(std::uint8_t profile) {
  {
    std::lock_guard lock(mutex_);
    state_->area(Area::kParameters)[0] = profile;
  }
  return Notify(static_cast<std::uint16_t>(0x1000 | (profile & 0x0F)));
}

bool EmulatedDevice::SwitchProfileAndStage(std::uint8_t profile, std::uint8_t stage) {
  {
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t>& p = state_->area(Area::kParameters);
    p[0] = profile;
    if (product_ == Product::kMouse) p[SettingsRecordOffset(profile) + 12] = stage;
    if (product_ == Product::kKeyboard) p[SettingsRecordOffset(profile) + 17] = stage;
  }
  return Notify(static_cast<std::uint16_t>(0x1100 | ((stage & 0x0F) << 4) | (profile & 0x0F)));
}

// ---------------------------------------------------------------------------------------------
// Memory access

std::size_t EmulatedDevice::AreaSize(Area area) const {
  std::lock_guard lock(mutex_);
  return state_->area(area).size();
}

std::vector<std::uint8_t> EmulatedDevice::Memory(Area area) const {
  std::lock_guard lock(mutex_);
  return state_->area(area);
}

void EmulatedDevice::SetMemory(Area area, std::size_t offset, std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  std::vector<std::uint8_t>& a = state_->area(area);
  for (std::size_t i = 0; i < bytes.size() && offset + i < a.size(); ++i) a[offset + i] = bytes[i];
  if (area == Area::kInfo) {  // the macro capacity follows info byte 6
    state_->area(Area::kMacros).resize(static_cast<std::size_t>(a[6]) * 128, 0);
  }
}

std::size_t EmulatedDevice::SettingsRecordOffset(int profile) const {
  const std::size_t p = static_cast<std::size_t>(std::max(profile, 0));
  switch (product_) {
    case Product::kKeyboard:
      return p * 29;
    case Product::kMouse:
      return p * 128;
    default:
      return p * 64;
  }
}

std::size_t EmulatedDevice::SettingsRecordSize() const {
  return product_ == Product::kKeyboard ? 29 : product_ == Product::kMouse ? 71 : 21;
}

std::vector<std::uint8_t> EmulatedDevice::SettingsRecord(int profile) const {
  const std::size_t at = SettingsRecordOffset(profile);
  std::lock_guard lock(mutex_);
  const std::vector<std::uint8_t>& p = state_->area(Area::kParameters);
  if (at >= p.size()) return {};
  return std::vector<std::uint8_t>(
      p.begin() + static_cast<std::ptrdiff_t>(at),
      p.begin() + static_cast<std::ptrdiff_t>(std::min(p.size(), at + SettingsRecordSize())));
}

DecodedBlock EmulatedDevice::Macros() const {
  std::lock_guard lock(mutex_);
  return state_->macro_block;
}

DecodedBlock EmulatedDevice::Recoil() const {
  std::lock_guard lock(mutex_);
  return state_->recoil_block;
}

bool EmulatedDevice::LightControl() const {
  std::lock_guard lock(mutex_);
  return state_->light_control;
}

bool EmulatedDevice::InTransaction() const {
  std::lock_guard lock(mutex_);
  return state_->in_transaction;
}

std::size_t EmulatedDevice::StreamedPackets() const {
  std::lock_guard lock(mutex_);
  return state_->streamed;
}

std::vector<std::vector<std::uint8_t>> EmulatedDevice::LedReports() const {
  std::lock_guard lock(mutex_);
  return std::vector<std::vector<std::uint8_t>>(state_->led_reports.begin(), state_->led_reports.end());
}

std::array<std::array<std::array<std::uint8_t, 3>, kHeadsetLedCount>, 2> EmulatedDevice::HeadsetLeds() const {
  std::lock_guard lock(mutex_);
  return state_->leds;
}

std::vector<Exchange> EmulatedDevice::ExchangeLog() const {
  std::lock_guard lock(mutex_);
  return std::vector<Exchange>(state_->log.begin(), state_->log.end());
}

std::size_t EmulatedDevice::ExchangeCount() const {
  std::lock_guard lock(mutex_);
  return state_->exchange_count;
}

void EmulatedDevice::ClearExchangeLog() {
  std::lock_guard lock(mutex_);
  state_->log.clear();
}

// ---------------------------------------------------------------------------------------------
// Persistence

bool EmulatedDevice::SaveMemory(const std::string& path, std::string* error) const {
  Json::Value root;
  {
    std::lock_guard lock(mutex_);
    root["device"] = name_;
    for (std::size_t a = 0; a < kAreaCount; ++a) {
      static constexpr char kHex[] = "0123456789abcdef";
      std::string hex;
      hex.reserve(2 * state_->areas[a].size());
      for (std::uint8_t b : state_->areas[a]) {
        hex.push_back(kHex[b >> 4]);
        hex.push_back(kHex[b & 0x0F]);
      }
      root["areas"][kAreaNames[a]] = hex;
    }
  }
  Json::StreamWriterBuilder builder;
  return platform::WriteFileAtomically(path, Json::writeString(builder, root), error);
}

bool EmulatedDevice::LoadMemory(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot read " + path;
    return false;
  }
  Json::Value root;
  Json::CharReaderBuilder builder;
  std::string errs;
  bool parsed = false;
  try {
    parsed = Json::parseFromStream(builder, in, &root, &errs);
  } catch (const Json::Exception& e) {
    errs = e.what();  // nesting past the reader's depth limit
  }
  if (!parsed || !root.isObject() || !root["areas"].isObject()) {
    if (error) *error = "not an emulator memory file: " + errs;
    return false;
  }
  std::array<std::vector<std::uint8_t>, kAreaCount> loaded;
  for (std::size_t a = 0; a < kAreaCount; ++a) {
    const Json::Value& v = root["areas"][kAreaNames[a]];
    if (v.isNull()) continue;
    const std::string hex = v.isString() ? v.asString() : std::string("?");
    if (hex.size() % 2 != 0 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
      if (error) *error = std::string("bad bytes in area ") + kAreaNames[a];
      return false;
    }
    for (std::size_t i = 0; i < hex.size(); i += 2)
      loaded[a].push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  }
  std::lock_guard lock(mutex_);
  for (std::size_t a = 0; a < kAreaCount; ++a) {
    std::vector<std::uint8_t>& area = state_->areas[a];
    std::copy_n(loaded[a].begin(), std::min(loaded[a].size(), area.size()), area.begin());
  }
  state_->area(Area::kMacros).resize(static_cast<std::size_t>(state_->area(Area::kInfo)[6]) * 128, 0);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Firmware

std::shared_ptr<HidConnection> EmulatedDevice::Connect(Link link, bool read, bool write) {
  std::lock_guard lock(mutex_);
  if (!state_->plugged[Index(link)]) return nullptr;
  auto c = std::make_shared<HidConnection>(shared_from_this(), link, read, write);
  auto& list = state_->connections[Index(link)];
  std::erase_if(list, [](const std::weak_ptr<HidConnection>& w) { return w.expired(); });
  list.push_back(c);  // writers too, so that an unplug ends their transfers
  return c;
}

EmulatedDevice::WriteVerdict EmulatedDevice::HandleOutput(Link link, std::span<const std::uint8_t> report) {
  // Connections reached while the lock is held are released only after it: the last reference
  // to a connection (and through it to this device) must not be dropped under the device lock.
  std::vector<std::shared_ptr<HidConnection>> keep;
  std::lock_guard lock(mutex_);
  State& s = *state_;
  if (!s.plugged[Index(link)] || report.empty()) return WriteVerdict::kGone;

  // Headset LED reports: 0xFF, zone (0x22 or 0x44), colour and LED group, 0, 7 or 6 values.
  if (product_ == Product::kHeadset && report[0] == kReportIdHeadsetLed) {
    s.led_reports.emplace_back(report.begin(), report.end());
    if (s.led_reports.size() > kLogLimit) s.led_reports.pop_front();
    if (report.size() >= 4) {
      const int zone = report[1] == 0x22 ? 0 : report[1] == 0x44 ? 1 : -1;
      const int code = report[2] - 0xAA;  // AA/AB/AC: LEDs 0-6 R/G/B; AD/AE/AF: LEDs 7-12
      if (zone >= 0 && code >= 0 && code < 6) {
        const std::size_t first = code < 3 ? 0 : 7;
        const std::size_t colour = static_cast<std::size_t>(code % 3);
        for (std::size_t i = 0; first + i < (code < 3 ? 7u : kHeadsetLedCount) && 4 + i < report.size(); ++i)
          s.leds[static_cast<std::size_t>(zone)][first + i][colour] = report[4 + i];
      }
    }
    return WriteVerdict::kAccepted;
  }
  if (report[0] != kReportIdCommand) return WriteVerdict::kAccepted;  // no other output report is used

  std::array<std::uint8_t, kReportSize> req{};
  std::copy_n(report.begin(), std::min(report.size(), kReportSize), req.begin());
  Exchange ex;
  ex.link = link;
  ex.request.assign(req.begin(), req.end());

  const std::uint64_t packet = s.packets++;
  std::optional<FaultKind> fault;
  for (const State::ArmedFault& f : s.faults) {
    if (packet >= f.first && packet < f.first + static_cast<std::uint64_t>(std::max(1, f.fault.count))) {
      fault = f.fault.kind;
      break;
    }
  }
  std::erase_if(s.faults, [&](const State::ArmedFault& f) {
    return packet + 1 >= f.first + static_cast<std::uint64_t>(std::max(1, f.fault.count));
  });
  ex.fault = fault;

  auto log = [&](Exchange&& e) {
    ++s.exchange_count;
    s.log.push_back(std::move(e));
    if (s.log.size() > kLogLimit) s.log.pop_front();
  };
  const auto ready = Clock::now() + s.latency;
  auto send = [&](const std::array<std::uint8_t, kReportSize>& answer) {
    for (auto& weak : s.connections[Index(link)]) {
      if (auto c = weak.lock()) {
        c->Deliver(std::vector<std::uint8_t>(answer.begin(), answer.end()), ready);
        keep.push_back(std::move(c));
      }
    }
    ex.answers.emplace_back(answer.begin(), answer.end());
  };

  if (fault == FaultKind::kWriteTimeout) {
    ex.note = "write time-out";
    log(std::move(ex));
    return WriteVerdict::kTimedOut;
  }
  if (fault == FaultKind::kUnplug) {
    ex.note = "unplugged";
    log(std::move(ex));
    s.plugged[Index(link)] = false;
    for (auto& weak : s.connections[Index(link)]) {
      if (auto c = weak.lock()) {
        c->Disconnect();
        keep.push_back(std::move(c));
      }
    }
    s.connections[Index(link)].clear();
    return WriteVerdict::kAccepted;
  }

  std::array<std::uint8_t, kReportSize> answer{};
  answer[0] = kReportIdCommand;
  std::copy(req.begin() + 3, req.begin() + 7, answer.begin() + 3);
  const std::uint8_t cmd = req[3];

  const bool unreachable = link == Link::kReceiver && (!(s.powered && s.in_range) || fault == FaultKind::kLinkDown);
  if (unreachable) {
    // The receiver answers for a device it cannot reach.
    answer[3] = kLinkDownEcho;
    ex.note = "unreachable";
  } else if (Le16(req, 1) != Checksum(req)) {
    answer[7] = kStatusRejected;
    ex.note = "checksum";
  } else if (fault == FaultKind::kStatusFE || fault == FaultKind::kStatusFF) {
    answer[7] = fault == FaultKind::kStatusFE ? kStatusBadRange : kStatusRejected;
  } else if (req[7] != 0) {
    answer[7] = kStatusBadRange;
    ex.note = "byte 7";
  } else if (req[4] > PacketLimit(link, cmd)) {
    answer[7] = kStatusBadRange;
    ex.note = "packet length";
  } else {
    const std::size_t len = req[4];
    const std::size_t offset = Le16(req, 5);
    std::span<const std::uint8_t> data(req.data() + 8, len);
    std::uint8_t status = kStatusOk;
    auto read = [&](Area area) {
      const std::vector<std::uint8_t>& a = s.area(area);
      if (offset + len > a.size()) {
        status = kStatusBadRange;
        return;
      }
      std::copy_n(a.begin() + static_cast<std::ptrdiff_t>(offset), len, answer.begin() + 8);
    };
    // `limit`: how much of the area the command may reach (the live frame: the product's lights).
    auto write = [&](Area area, std::size_t limit = SIZE_MAX) {
      std::vector<std::uint8_t>& a = s.area(area);
      if (offset + len > std::min(limit, a.size())) {
        status = kStatusBadRange;
        return false;
      }
      std::copy(data.begin(), data.end(), a.begin() + static_cast<std::ptrdiff_t>(offset));
      return true;
    };
    // A block write: the first packet (offset 0) must bring the header and a total length that
    // fits; the block is decoded once every byte up to that length has arrived in order.
    auto write_block = [&](Area area, std::size_t& received, DecodedBlock& block) {
      const std::vector<std::uint8_t>& a = s.area(area);
      if (offset == 0) {
        block = DecodedBlock{};
        received = 0;
        if (len < 4 || data[0] != 0xAA || data[1] != 0x55) {
          status = kStatusBadRange;
          ex.note = "block: bad header";
          return;
        }
        const std::size_t total = Le16(data, 2);
        if (total < 16 || total > a.size()) {
          status = kStatusBadRange;
          ex.note = "block: total length " + std::to_string(total) + " out of range";
          return;
        }
        block.total_length = static_cast<std::uint16_t>(total);
      } else if (block.total_length == 0 || block.complete) {
        status = kStatusBadRange;
        ex.note = "block: packet without a header";
        return;
      }
      if (!write(area)) return;
      if (offset == received) received += len;
      if (received >= block.total_length) {
        block = DecodeBlock(s.area(area), block.total_length);
        if (!block.valid) {
          status = kStatusBadRange;
          ex.note = "block: " + block.error;
        }
      }
    };
    switch (cmd) {
      case kCmdBegin:
        s.in_transaction = true;
        break;
      case kCmdEnd:
        s.in_transaction = false;
        break;
      case kCmdReadInfo:
        read(Area::kInfo);
        break;
      case kCmdReadParam:
        read(Area::kParameters);
        break;
      case kCmdWriteParam:
        write(Area::kParameters);
        break;
      case kCmdReadKeyMap:
        read(Area::kKeyMap);
        break;
      case kCmdWriteKeyMap:
        write(Area::kKeyMap);
        break;
      case kCmdWriteKeyColors:
        write(Area::kColorSlots);
        break;
      case kCmdStreamKeyColors:
        if (write(Area::kLiveFrame, 3 * LightCount())) ++s.streamed;
        break;
      case kCmdWriteMacros:
        write_block(Area::kMacros, s.macro_received, s.macro_block);
        break;
      case kCmdWriteShoot:
        write_block(Area::kRecoil, s.recoil_received, s.recoil_block);
        break;
      case kCmdReadStatus:
        read(Area::kStatus);
        break;
      case kCmdReadKeyPositions:
        read(Area::kKeyPositions);
        break;
      case kCmdLightControl:
        s.light_control = true;
        break;
      case kCmdLinkQuery:
        answer[8] = 0xFF;
        break;
      default:
        status = kStatusRejected;
        ex.note = "unknown command";
        break;
    }
    if (status == kStatusBadRange && ex.note.empty()) ex.note = "range";
    answer[7] = status;
  }
  PutLe16(answer, 1, Checksum(answer));

  if (fault != FaultKind::kNoAnswer) {
    if (fault == FaultKind::kStaleAnswer) {
      std::array<std::uint8_t, kReportSize> stale{};
      stale[0] = kReportIdCommand;  // nothing answered before: an answer to no command
      if (const auto& last = s.last_answer[Index(link)]) std::copy(last->begin(), last->end(), stale.begin());
      send(stale);
    }
    send(answer);
  }
  s.last_answer[Index(link)] = std::vector<std::uint8_t>(answer.begin(), answer.end());
  log(std::move(ex));
  return WriteVerdict::kAccepted;
}

// ---------------------------------------------------------------------------------------------
// Connection

HidConnection::HidConnection(std::shared_ptr<EmulatedDevice> device, Link link, bool read, bool write)
    : device_(std::move(device)), link_(link), read_(read), write_(write) {}

HidConnection::~HidConnection() = default;

platform::HidIoResult HidConnection::Write(std::span<const std::uint8_t> report, platform::Millis timeout) {
  {
    std::lock_guard lock(mutex_);
    if (aborted_) return platform::HidIoResult::kAborted;
    if (!alive_ || !write_) return platform::HidIoResult::kFailed;
  }
  switch (device_->HandleOutput(link_, report)) {
    case EmulatedDevice::WriteVerdict::kAccepted:
      return platform::HidIoResult::kOk;
    case EmulatedDevice::WriteVerdict::kGone:
      return platform::HidIoResult::kFailed;
    case EmulatedDevice::WriteVerdict::kTimedOut:
      break;
  }
  // The device does not take the report: the write waits out its time-out (or an abort).
  std::unique_lock lock(mutex_);
  auto done = [&] { return aborted_ || !alive_; };
  if (timeout == platform::kInfinite) {
    cv_.wait(lock, done);
  } else {
    cv_.wait_for(lock, timeout, done);
  }
  if (aborted_) return platform::HidIoResult::kAborted;
  return alive_ ? platform::HidIoResult::kTimedOut : platform::HidIoResult::kFailed;
}

platform::HidIoResult HidConnection::Read(std::span<std::uint8_t> buffer, std::size_t& transferred,
                                          platform::Millis timeout) {
  transferred = 0;
  const bool infinite = timeout == platform::kInfinite;
  const Clock::time_point deadline = infinite ? Clock::time_point::max() : Clock::now() + timeout;
  std::unique_lock lock(mutex_);
  if (!read_) return platform::HidIoResult::kFailed;
  for (;;) {
    if (aborted_) return platform::HidIoResult::kAborted;
    if (!alive_) return platform::HidIoResult::kFailed;
    const Clock::time_point now = Clock::now();
    if (!queue_.empty() && queue_.front().ready <= now) {
      const std::vector<std::uint8_t>& r = queue_.front().report;
      transferred = std::min(r.size(), buffer.size());
      std::copy_n(r.begin(), transferred, buffer.begin());
      queue_.pop_front();
      return platform::HidIoResult::kOk;
    }
    if (now >= deadline) return platform::HidIoResult::kTimedOut;
    const Clock::time_point wake = queue_.empty() ? deadline : std::min(deadline, queue_.front().ready);
    if (wake == Clock::time_point::max()) {
      cv_.wait(lock);
    } else if (!queue_.empty() && wake == queue_.front().ready) {
      // An answer due at a known time is read then, not up to a timer slack later: the wait is
      // the device's latency, not the reading thread's.
      const platform::PreciseWakeups precise;
      cv_.wait_until(lock, wake);
    } else {
      cv_.wait_until(lock, wake);
    }
  }
}

void HidConnection::Abort() {
  std::lock_guard lock(mutex_);
  aborted_ = true;
  cv_.notify_all();
}

bool HidConnection::Alive() const {
  std::lock_guard lock(mutex_);
  return alive_;
}

void HidConnection::Deliver(std::vector<std::uint8_t> report, Clock::time_point ready) {
  if (!read_) return;
  std::lock_guard lock(mutex_);
  if (!alive_ || queue_.size() >= kQueueLimit || report.empty()) return;
  if (!accept_ids_.empty() && std::find(accept_ids_.begin(), accept_ids_.end(), report[0]) == accept_ids_.end()) return;
  queue_.push_back(Pending{ready, std::move(report)});
  cv_.notify_all();
}

void HidConnection::AcceptOnly(std::vector<std::uint8_t> report_ids) {
  std::lock_guard lock(mutex_);
  accept_ids_ = std::move(report_ids);
}

void HidConnection::Disconnect() {
  std::lock_guard lock(mutex_);
  alive_ = false;
  queue_.clear();
  cv_.notify_all();
}

}  // namespace brimvex::emulator
