#include "emulator/emulated_hid_backend.h"

#include <algorithm>

#include "hid/hid_path.h"
#include "hid/report_descriptor.h"

namespace brimvex::emulator {

namespace {
constexpr std::string_view kScheme = "emu";
using Clock = std::chrono::steady_clock;

class EmulatedHandle : public platform::HidHandle {
 public:
  EmulatedHandle(std::shared_ptr<HidConnection> connection, platform::HidAttributes attributes,
                 std::vector<std::uint8_t> descriptor, std::vector<std::uint8_t> report_ids)
      : connection_(std::move(connection)),
        attributes_(attributes),
        descriptor_(std::move(descriptor)),
        report_ids_(std::move(report_ids)) {}
  ~EmulatedHandle() override { connection_->Abort(); }

  platform::HidAttributes Attributes() const override { return attributes_; }
  std::vector<std::uint8_t> ReportDescriptor() const override { return descriptor_; }

  platform::HidIoResult Read(std::span<std::uint8_t> buffer, std::size_t& transferred,
                             platform::Millis timeout) override {
    transferred = 0;
    const bool infinite = timeout == platform::kInfinite;
    const auto deadline = infinite ? Clock::time_point::max() : Clock::now() + timeout;
    std::vector<std::uint8_t> report(std::max<std::size_t>(buffer.size(), 64));
    for (;;) {
      platform::Millis left = platform::kInfinite;
      if (!infinite) {
        left = std::max(platform::Millis(0), std::chrono::duration_cast<platform::Millis>(deadline - Clock::now()));
      }
      std::size_t n = 0;
      const platform::HidIoResult r = connection_->Read(report, n, left);
      if (r != platform::HidIoResult::kOk) return r;
      // Reports of the interface's other collections are not this handle's.
      if (n == 0 || std::find(report_ids_.begin(), report_ids_.end(), report[0]) == report_ids_.end()) {
        if (!infinite && Clock::now() >= deadline) return platform::HidIoResult::kTimedOut;
        continue;
      }
      transferred = std::min(n, buffer.size());
      std::copy_n(report.begin(), transferred, buffer.begin());
      return platform::HidIoResult::kOk;
    }
  }

  platform::HidIoResult Write(std::span<const std::uint8_t> report, std::size_t& transferred,
                              platform::Millis timeout) override {
    transferred = 0;
    const platform::HidIoResult r = connection_->Write(report, timeout);
    if (r == platform::HidIoResult::kOk) transferred = report.size();
    return r;
  }

  void Abort() override { connection_->Abort(); }

 private:
  std::shared_ptr<HidConnection> connection_;
  platform::HidAttributes attributes_;
  std::vector<std::uint8_t> descriptor_;
  std::vector<std::uint8_t> report_ids_;
};
}  // namespace

bool EmulatedHidBackend::Enumerate(std::vector<std::string>& paths) {
  paths.clear();
  for (const PresentInterface& p : emulator_.PresentInterfaces()) {
    const hid::ParseResult parsed = hid::ParseReportDescriptor(p.device->ReportDescriptor());
    const std::size_t count = parsed.descriptor ? parsed.descriptor->collections.size() : 1;
    for (std::size_t c = 0; c < std::max<std::size_t>(count, 1); ++c) {
      paths.push_back(hid::FormatInterfacePath(kScheme, p.node, p.identity.vendor_id, p.identity.product_id,
                                               p.identity.interface_number, c, count));
    }
  }
  return true;
}

std::string EmulatedHidBackend::InterfacePath(std::string_view node, std::size_t collection) const {
  PresentInterface p;
  if (!emulator_.NodeIdentity(node, p)) return "";
  const hid::ParseResult parsed = hid::ParseReportDescriptor(p.device->ReportDescriptor());
  const std::size_t count = parsed.descriptor ? std::max<std::size_t>(parsed.descriptor->collections.size(), 1) : 1;
  const std::size_t index = collection == 0 ? 0 : collection - 1;
  if (index >= count || (collection == 0 && count > 1)) return "";
  return hid::FormatInterfacePath(kScheme, p.node, p.identity.vendor_id, p.identity.product_id,
                                  p.identity.interface_number, index, count);
}

std::unique_ptr<platform::HidHandle> EmulatedHidBackend::Open(const std::string& path,
                                                              const platform::HidOpenFlags& flags) {
  const std::optional<std::string_view> node = hid::PathNode(path, kScheme);
  if (!node) return nullptr;
  PresentInterface p;
  if (!emulator_.NodeIdentity(*node, p)) return nullptr;
  if (!hid::PathKeysMatch(path, p.identity.vendor_id, p.identity.product_id)) return nullptr;
  const std::span<const std::uint8_t> bytes = p.device->ReportDescriptor();
  std::vector<std::uint8_t> descriptor(bytes.begin(), bytes.end());
  const hid::ParseResult parsed = hid::ParseReportDescriptor(descriptor);
  const std::size_t index = hid::CollectionIndexFromPath(path);
  std::vector<std::uint8_t> ids;
  if (parsed.descriptor) {
    if (index >= parsed.descriptor->collections.size()) return nullptr;
    ids = parsed.descriptor->collections[index].report_ids;
  }
  std::shared_ptr<HidConnection> connection = p.device->Connect(p.link, flags.read, flags.write);
  if (!connection) return nullptr;
  if (!ids.empty()) connection->AcceptOnly(ids);
  const platform::HidAttributes attributes{p.identity.vendor_id, p.identity.product_id, p.identity.version};
  return std::make_unique<EmulatedHandle>(std::move(connection), attributes, std::move(descriptor), std::move(ids));
}

}  // namespace brimvex::emulator
