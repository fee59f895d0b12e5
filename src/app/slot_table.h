#pragma once
// The live slot list of discovery: one slot per supported interface, in table order. Only the
// found flag and the path change at run time. The discovery thread writes them; the UI thread
// reads them in its handlers; a mutex keeps each read whole.
#include <array>
#include <mutex>
#include <optional>
#include <string>

#include "app/device_tables.h"

namespace brimvex::app {

class SlotTable {
 public:
  using Slots = std::array<SlotRecord, kSupportedDeviceCount>;

  // The supported-device table, every slot free.
  SlotTable();

  static constexpr std::size_t size() { return kSupportedDeviceCount; }
  // A copy of every slot (consistent with itself).
  Slots Snapshot() const;
  // A copy of one slot, or nullopt for an index past the list.
  std::optional<SlotRecord> Get(std::size_t index) const;

  bool AnyFree() const;
  bool AllFound() const;
  // The first free slot equal to the candidate in vendor, product, interface, collection, usage
  // page and usage; -1 when none.
  int FindFree(const SlotRecord& candidate) const;
  // Whether some free slot has these four values.
  bool HasFreeMatch(std::uint16_t vendor_id, std::uint16_t product_id, std::uint16_t interface_number,
                    std::uint16_t collection_number) const;

  void MarkFound(std::size_t index, std::string path);
  void MarkLost(std::size_t index);

 private:
  static bool IsFree(const SlotRecord& s) { return s.found == 0 && s.path.empty(); }
  mutable std::mutex mutex_;
  Slots slots_;
};

}  // namespace brimvex::app
