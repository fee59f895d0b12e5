#include "platform/hidraw/hidraw_backend.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

#include "hid/hid_path.h"
#include "hid/report_descriptor.h"
#include "platform/trace.h"

namespace brimvex::platform::hidraw {

namespace {
constexpr std::string_view kScheme = "hidraw";
constexpr std::string_view kNodePrefix = "hidraw";
constexpr std::size_t kMaxReport = 16384;  // the kernel's largest HID report
using Clock = std::chrono::steady_clock;

// Reads a small sysfs file whole (report descriptors are at most 4096 bytes, so anything past
// 64 KiB is not a sysfs attribute); nullopt when it cannot be read.
constexpr std::size_t kMaxAttribute = 64 * 1024;
std::optional<std::string> ReadSmallFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string text;
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    text.append(chunk, static_cast<std::size_t>(n));
    if (text.size() > kMaxAttribute) {
      ::close(fd);
      return std::nullopt;
    }
    // sysfs hands an attribute out in one read: a short read is the end, no second call needed.
    if (static_cast<std::size_t>(n) < sizeof chunk) break;
  }
  ::close(fd);
  return text;
}

std::optional<std::uint32_t> ParseHex(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  if (s.starts_with("0x") || s.starts_with("0X")) s.remove_prefix(2);
  std::uint32_t v = 0;
  std::size_t digits = 0;
  for (char c : s) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) break;
    v = (v << 4) | static_cast<std::uint32_t>(d);
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return v;
}

// What sysfs tells about one hidraw node.
struct NodeInfo {
  HidAttributes attributes;
  std::optional<std::uint8_t> interface_number;
  std::string name;  // HID_NAME
  std::vector<std::uint8_t> descriptor;
};

std::optional<NodeInfo> ReadNodeInfo(const std::string& sysfs_root, std::string_view node_name, bool want_version) {
  const std::string device = sysfs_root + "/class/hidraw/" + std::string(node_name) + "/device";
  const std::optional<std::string> uevent = ReadSmallFile(device + "/uevent");
  if (!uevent) return std::nullopt;
  NodeInfo info;
  bool have_id = false;
  std::string_view rest = *uevent;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (line.starts_with("HID_ID=")) {
      // bus:vendor:product, each hexadecimal ("0003:000005AC:0000024E").
      const std::string_view id = line.substr(7);
      const std::size_t a = id.find(':');
      const std::size_t b = a == std::string_view::npos ? a : id.find(':', a + 1);
      if (b == std::string_view::npos) return std::nullopt;
      const auto vendor = ParseHex(id.substr(a + 1, b - a - 1));
      const auto product = ParseHex(id.substr(b + 1));
      if (!vendor || !product) return std::nullopt;
      info.attributes.vendor_id = static_cast<std::uint16_t>(*vendor & 0xFFFF);
      info.attributes.product_id = static_cast<std::uint16_t>(*product & 0xFFFF);
      have_id = true;
    } else if (line.starts_with("HID_NAME=")) {
      info.name = std::string(line.substr(9));
    }
  }
  if (!have_id) return std::nullopt;
  if (const auto text = ReadSmallFile(device + "/../bInterfaceNumber")) {
    if (const auto n = ParseHex(*text)) info.interface_number = static_cast<std::uint8_t>(*n & 0xFF);
  }
  if (want_version) {
    if (const auto text = ReadSmallFile(device + "/../../bcdDevice")) {
      if (const auto v = ParseHex(*text)) info.attributes.version = static_cast<std::uint16_t>(*v & 0xFFFF);
    }
  }
  if (const auto bytes = ReadSmallFile(device + "/report_descriptor"))
    info.descriptor.assign(bytes->begin(), bytes->end());
  return info;
}

class HidrawHandle : public HidHandle {
 public:
  HidrawHandle(int fd, int abort_fd, bool can_read, bool can_write, NodeInfo info, std::vector<std::uint8_t> ids,
               bool uses_ids, std::string node)
      : fd_(fd),
        abort_fd_(abort_fd),
        can_read_(can_read),
        can_write_(can_write),
        info_(std::move(info)),
        ids_(std::move(ids)),
        uses_ids_(uses_ids),
        node_(std::move(node)),
        scratch_(kMaxReport + 1) {}
  ~HidrawHandle() override {
    ::close(fd_);
    ::close(abort_fd_);
  }

  HidAttributes Attributes() const override { return info_.attributes; }
  std::vector<std::uint8_t> ReportDescriptor() const override { return info_.descriptor; }

  HidIoResult Read(std::span<std::uint8_t> buffer, std::size_t& transferred, Millis timeout) override {
    transferred = 0;
    if (!can_read_) return HidIoResult::kFailed;
    const bool infinite = timeout == kInfinite;
    const Clock::time_point deadline = infinite ? Clock::time_point::max() : Clock::now() + timeout;
    for (;;) {
      const WaitResult w = WaitFor(POLLIN, infinite, deadline);
      if (w != WaitResult::kReady) return ToIo(w);
      const ssize_t n = ::read(fd_, scratch_.data(), scratch_.size());
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (n <= 0) {
        Disconnected();
        return HidIoResult::kFailed;
      }
      const std::size_t len = static_cast<std::size_t>(n);
      if (uses_ids_) {
        // Every reader of the node gets every report: keep this collection's only.
        if (!ids_.empty() && std::find(ids_.begin(), ids_.end(), scratch_[0]) == ids_.end()) continue;
        transferred = std::min(len, buffer.size());
        std::copy_n(scratch_.begin(), transferred, buffer.begin());
      } else if (!buffer.empty()) {
        buffer[0] = 0;  // no report IDs: the host form starts with ID 0
        transferred = 1 + std::min(len, buffer.size() - 1);
        std::copy_n(scratch_.begin(), transferred - 1, buffer.begin() + 1);
      }
      return HidIoResult::kOk;
    }
  }

  HidIoResult Write(std::span<const std::uint8_t> report, std::size_t& transferred, Millis timeout) override {
    transferred = 0;
    if (!can_write_ || report.empty()) return HidIoResult::kFailed;
    const bool infinite = timeout == kInfinite;
    const Clock::time_point deadline = infinite ? Clock::time_point::max() : Clock::now() + timeout;
    for (;;) {
      const WaitResult w = WaitFor(POLLOUT, infinite, deadline);
      if (w != WaitResult::kReady) return ToIo(w);
      const ssize_t n = ::write(fd_, report.data(), report.size());
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (n < 0) {
        Disconnected();
        return HidIoResult::kFailed;
      }
      if (static_cast<std::size_t>(n) != report.size()) return HidIoResult::kFailed;
      transferred = report.size();
      return HidIoResult::kOk;
    }
  }

  void Abort() override {
    const std::uint64_t one = 1;
    // An eventfd write only fails when the counter would overflow, which needs 2^64 aborts.
    [[maybe_unused]] const ssize_t n = ::write(abort_fd_, &one, sizeof one);
  }

 private:
  enum class WaitResult { kReady, kTimedOut, kAborted, kGone, kFailed };

  static HidIoResult ToIo(WaitResult w) {
    switch (w) {
      case WaitResult::kTimedOut:
        return HidIoResult::kTimedOut;
      case WaitResult::kAborted:
        return HidIoResult::kAborted;
      default:
        return HidIoResult::kFailed;
    }
  }

  // Waits until the node is ready for `events`, the abort is set, or the deadline passes.
  WaitResult WaitFor(short events, bool infinite, Clock::time_point deadline) {
    for (;;) {
      int wait_ms = -1;
      if (!infinite) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) {
          wait_ms = 0;
        } else {
          // Rounded up, so a wait never ends just short of the deadline and spins.
          const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
          wait_ms = static_cast<int>(std::min<long long>(ms, 1 << 30));
        }
      }
      pollfd fds[2] = {{abort_fd_, POLLIN, 0}, {fd_, events, 0}};
      const int r = ::poll(fds, 2, wait_ms);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) return WaitResult::kFailed;
      if (fds[0].revents & POLLIN) return WaitResult::kAborted;
      if (fds[1].revents & events) return WaitResult::kReady;  // data first, even with a hang-up behind it
      if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
        Disconnected();
        return WaitResult::kGone;
      }
      if (r == 0 && !infinite && Clock::now() >= deadline) return WaitResult::kTimedOut;
    }
  }

  void Disconnected() {
    if (!disconnect_traced_.exchange(true)) Trace("hidraw: device disconnected " + node_);
  }

  const int fd_;
  const int abort_fd_;
  const bool can_read_;
  const bool can_write_;
  const NodeInfo info_;
  const std::vector<std::uint8_t> ids_;
  const bool uses_ids_;
  const std::string node_;
  std::vector<std::uint8_t> scratch_;  // used by the reading thread only
  std::atomic<bool> disconnect_traced_{false};
};

// Opens a node; a Unix socket (the fake trees of the tests) is connected as SOCK_SEQPACKET.
int OpenNode(const std::string& node, const HidOpenFlags& flags) {
  int mode = O_PATH;
  if (flags.read && flags.write) {
    mode = O_RDWR;
  } else if (flags.read) {
    mode = O_RDONLY;
  } else if (flags.write) {
    mode = O_WRONLY;
  }
  const int fd = ::open(node.c_str(), mode | O_CLOEXEC);
  if (fd >= 0 || errno != ENXIO) return fd;
  struct stat st {};
  if (::stat(node.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) return -1;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (node.size() >= sizeof addr.sun_path) return -1;
  std::memcpy(addr.sun_path, node.c_str(), node.size() + 1);
  const int s = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
  if (s < 0) return -1;
  if (::connect(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(s);
    return -1;
  }
  return s;
}

bool IsNodeName(std::string_view name) {
  if (!name.starts_with(kNodePrefix) || name.size() == kNodePrefix.size()) return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(kNodePrefix.size()), name.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}
}  // namespace

HidrawBackend::HidrawBackend(HidrawSettings settings) : settings_(std::move(settings)) {}

bool HidrawBackend::Enumerate(std::vector<std::string>& paths) {
  paths.clear();
  const std::string class_dir = settings_.sysfs_root + "/class/hidraw";
  DIR* dir = ::opendir(class_dir.c_str());
  if (!dir) return errno == ENOENT;  // no hidraw class: a machine without HID devices
  std::vector<std::pair<unsigned long, std::string>> nodes;
  while (const dirent* e = ::readdir(dir)) {
    const std::string_view name = e->d_name;
    if (IsNodeName(name)) nodes.emplace_back(std::stoul(std::string(name.substr(kNodePrefix.size()))), name);
  }
  ::closedir(dir);
  std::sort(nodes.begin(), nodes.end());

  for (const auto& [number, name] : nodes) {
    const std::optional<NodeInfo> info = ReadNodeInfo(settings_.sysfs_root, name, false);
    if (!info) {
      paths.emplace_back();  // a node sysfs cannot describe keeps its place, empty
      continue;
    }
    std::size_t count = 1;
    const hid::ParseResult parsed = hid::ParseReportDescriptor(info->descriptor);
    if (parsed.descriptor && !parsed.descriptor->collections.empty()) count = parsed.descriptor->collections.size();
    const std::string node = settings_.dev_root + "/" + name;
    for (std::size_t c = 0; c < count; ++c) {
      paths.push_back(hid::FormatInterfacePath(kScheme, node, info->attributes.vendor_id, info->attributes.product_id,
                                               info->interface_number, c, count));
    }
  }
  return true;
}

std::unique_ptr<HidHandle> HidrawBackend::Open(const std::string& path, const HidOpenFlags& flags) {
  const std::optional<std::string_view> node = hid::PathNode(path, kScheme);
  if (!node) return nullptr;
  const std::size_t slash = node->rfind('/');
  const std::string_view name = slash == std::string_view::npos ? *node : node->substr(slash + 1);
  if (!IsNodeName(name)) return nullptr;
  std::optional<NodeInfo> info = ReadNodeInfo(settings_.sysfs_root, name, true);
  if (!info) return nullptr;
  // A node number is reused by the next device plugged in: a path whose keys name another
  // product is not this node's (a liveness check must not take the newcomer for the old device).
  if (!hid::PathKeysMatch(path, info->attributes.vendor_id, info->attributes.product_id)) return nullptr;

  // The collection's report IDs, so this handle sees only its own input reports.
  std::vector<std::uint8_t> ids;
  bool uses_ids = false;
  const hid::ParseResult parsed = hid::ParseReportDescriptor(info->descriptor);
  if (parsed.descriptor) {
    const std::size_t index = hid::CollectionIndexFromPath(path);
    if (index >= std::max<std::size_t>(parsed.descriptor->collections.size(), 1)) return nullptr;
    for (const auto& c : parsed.descriptor->collections) uses_ids = uses_ids || !c.report_ids.empty();
    if (index < parsed.descriptor->collections.size()) ids = parsed.descriptor->collections[index].report_ids;
  }

  const std::string node_path(*node);
  const int fd = OpenNode(node_path, flags);
  if (fd < 0) return nullptr;
  const int abort_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (abort_fd < 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<HidrawHandle>(fd, abort_fd, flags.read, flags.write, std::move(*info), std::move(ids),
                                        uses_ids, node_path);
}

}  // namespace brimvex::platform::hidraw
