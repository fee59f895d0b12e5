#include "app/slot_table.h"

namespace brimvex::app {

SlotTable::SlotTable() : slots_(SupportedDevices()) {
  for (auto& s : slots_) {
    s.found = 0;
    s.path.clear();
  }
}

SlotTable::Slots SlotTable::Snapshot() const {
  std::lock_guard lock(mutex_);
  return slots_;
}

std::optional<SlotRecord> SlotTable::Get(std::size_t index) const {
  std::lock_guard lock(mutex_);
  if (index >= slots_.size()) return std::nullopt;
  return slots_[index];
}

bool SlotTable::AnyFree() const {
  std::lock_guard lock(mutex_);
  for (const auto& s : slots_)
    if (IsFree(s)) return true;
  return false;
}

bool SlotTable::AllFound() const {
  std::lock_guard lock(mutex_);
  for (const auto& s : slots_)
    if (s.found == 0) return false;
  return true;
}

int SlotTable::FindFree(const SlotRecord& c) const {
  std::lock_guard lock(mutex_);
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const SlotRecord& s = slots_[i];
    if (IsFree(s) && InterfaceMatches(s, c.vendor_id, c.product_id, c.interface_number, c.collection_number) &&
        InterfaceAccepted(s, c.usage_page, c.usage))
      return static_cast<int>(i);
  }
  return -1;
}

bool SlotTable::HasFreeMatch(std::uint16_t vendor_id, std::uint16_t product_id, std::uint16_t interface_number,
                             std::uint16_t collection_number) const {
  std::lock_guard lock(mutex_);
  for (const auto& s : slots_)
    if (IsFree(s) && InterfaceMatches(s, vendor_id, product_id, interface_number, collection_number)) return true;
  return false;
}

void SlotTable::MarkFound(std::size_t index, std::string path) {
  std::lock_guard lock(mutex_);
  if (index >= slots_.size()) return;
  slots_[index].found = 1;
  slots_[index].path = std::move(path);
}

void SlotTable::MarkLost(std::size_t index) {
  std::lock_guard lock(mutex_);
  if (index >= slots_.size()) return;
  slots_[index].found = 0;
  slots_[index].path.clear();
}

}  // namespace brimvex::app
