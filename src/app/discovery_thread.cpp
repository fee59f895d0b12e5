#include "app/discovery_thread.h"

#include <string>

#include "app/app_messages.h"
#include "hid/hid_interface.h"
#include "hid/hid_path.h"
#include "platform/trace.h"

namespace brimvex::app {
namespace {

constexpr std::string_view kExitTrace = "抓取设备线程设定退出";

std::uint16_t Field16(std::string_view path, std::string_view key) {
  return static_cast<std::uint16_t>(hid::PathField(path, key) & 0xFFFF);
}

bool AnyRowMatches(std::uint16_t vid, std::uint16_t pid, std::uint16_t mi, std::uint16_t col) {
  for (const SlotRecord& row : SupportedDevices())
    if (InterfaceMatches(row, vid, pid, mi, col)) return true;
  return false;
}

const SlotRecord* AcceptedRow(const SlotRecord& c) {
  for (const SlotRecord& row : SupportedDevices()) {
    if (InterfaceMatches(row, c.vendor_id, c.product_id, c.interface_number, c.collection_number) &&
        InterfaceAccepted(row, c.usage_page, c.usage))
      return &row;
  }
  return nullptr;
}

enum class PassResult { kDone, kEnumerationFailed, kStopped };

class Discovery {
 public:
  Discovery(const DiscoveryContext& c, platform::Event& stop)
      : slots_(*c.slot_table), backend_(*c.backend), host_(*c.host), stop_(stop), enumeration_(backend_) {}

  // Enumerates and reports the supported interfaces that fill a free slot.
  PassResult EnumerationPass() {
    if (!enumeration_.Enumerate()) return PassResult::kEnumerationFailed;
    PassResult result = PassResult::kDone;
    while (auto path = enumeration_.NextPath()) {
      if (!Consider(std::string(*path))) {
        result = PassResult::kStopped;
        break;
      }
    }
    enumeration_.FreePathList();
    return result;
  }

  // Reports every found slot whose interface cannot be opened any more.
  bool LivenessPass() {
    const SlotTable::Slots snapshot = slots_.Snapshot();
    for (std::size_t i = 0; i < snapshot.size(); ++i) {
      if (snapshot[i].found == 0) continue;
      if (backend_.Open(snapshot[i].path, platform::HidOpenFlags{}) != nullptr) continue;  // closed at once
      slots_.MarkLost(i);
      if (!host_.SendSlotMessage(kMsgSlotLost, i, &stop_)) return false;
    }
    return true;
  }

 private:
  // False when the hand-over to the UI thread was refused.
  bool Consider(const std::string& path) {
    SlotRecord c;
    c.vendor_id = Field16(path, hid::kVendorKey);
    c.product_id = Field16(path, hid::kProductKey);
    c.interface_number = Field16(path, hid::kInterfaceKey);
    c.collection_number = Field16(path, hid::kCollectionKey);
    if (!AnyRowMatches(c.vendor_id, c.product_id, c.interface_number, c.collection_number)) return true;
    if (!slots_.HasFreeMatch(c.vendor_id, c.product_id, c.interface_number, c.collection_number)) return true;
    // Trial open, read only and shared: the attributes and the collection's usage.
    hid::HidInterface trial(backend_);
    if (!trial.Open(path, true, false, true, false)) return true;  // tried again next pass
    c.vendor_id = trial.attributes().vendor_id;
    c.product_id = trial.attributes().product_id;
    c.usage_page = trial.capabilities().usage_page;
    c.usage = trial.capabilities().usage;
    trial.Close();
    const SlotRecord* row = AcceptedRow(c);
    if (row == nullptr) return true;
    c.type = row->type;
    c.role = row->role;
    const int slot = slots_.FindFree(c);
    if (slot < 0) return true;
    const auto index = static_cast<std::size_t>(slot);
    slots_.MarkFound(index, path);
    return host_.SendSlotMessage(kMsgSlotFound, index, &stop_);
  }

  SlotTable& slots_;
  platform::HidBackend& backend_;
  DiscoveryHost& host_;
  platform::Event& stop_;
  hid::HidInterface enumeration_;
};

}  // namespace

void DiscoveryThread(const platform::ThreadParam& param, const DiscoveryContext& context) {
  // The stop event was cleared when the worker started; clearing it again here would lose a stop
  // asked for right after the start.
  platform::Event& stop = *param.stop;
  Discovery discovery(context, stop);
  bool first_pass = true;
  while (!stop.IsSet()) {
    if (context.slot_table->AnyFree()) {
      const PassResult r = discovery.EnumerationPass();
      if (r == PassResult::kEnumerationFailed) return;
      if (r == PassResult::kStopped) break;
      if (first_pass) {
        first_pass = false;
        context.host->PostFirstPass();
      }
    }
    if (!discovery.LivenessPass()) break;
    // The pause between passes is a wait on the stop event, so a stop ends it at once.
    if (stop.Wait(context.period)) break;
  }
  platform::Trace(kExitTrace);
}

}  // namespace brimvex::app
