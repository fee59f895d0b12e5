#pragma once
// HidInterface: one opened HID interface (one top-level collection of a HID device), or, for the
// discovery thread, the list of interface paths of the last enumeration. It works only through
// the HID backend port (platform/hid_backend.h), so the same code runs on hidraw and on the
// emulator.
//
// Life: construct; Open; any number of ReadReport / WriteReport / UnpackInputReport; Close; Open
// again (Open closes first); destroy. One read and one write may run at the same time on two
// threads; callers serialise transfers of one kind. Close (or the destructor) may be called from
// another thread while a read or write is blocked: the transfer ends with 0 at once.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hid/report_descriptor.h"
#include "platform/event.h"
#include "platform/hid_backend.h"

namespace brimvex::hid {

// Status of the last parser call for a data item.
inline constexpr std::int32_t kHidStatusSuccess = 0;
inline constexpr std::int32_t kHidStatusUsageNotFound = 1;

// One button field (its pressed usages) or one value usage of a report type.
struct HidDataItem {
  bool is_button = false;
  std::uint16_t usage_page = 0;
  std::int32_t status = kHidStatusSuccess;
  std::uint32_t report_id = 0;
  bool is_set = false;
  // Button part: the usages of the field pressed in the last report, in order, inside
  // [usage_min, usage_max]; a 0 after the last one when fewer than max_usage_list_length.
  std::uint32_t usage_min = 0;
  std::uint32_t usage_max = 0;
  std::uint32_t max_usage_list_length = 0;
  std::vector<std::uint16_t> usage_list;
  // Value part.
  std::uint16_t usage = 0;
  std::uint32_t raw_value = 0;
  std::int32_t scaled_value = 0;
};

// What the host HID parser reports for the opened collection.
struct HidCapabilities {
  std::uint16_t usage = 0;
  std::uint16_t usage_page = 0;
  std::uint16_t input_report_byte_length = 0;
  std::uint16_t output_report_byte_length = 0;
  std::uint16_t feature_report_byte_length = 0;
  // Indexed by ReportType (input, output, feature).
  std::array<std::uint16_t, 3> number_button_caps{};
  std::array<std::uint16_t, 3> number_value_caps{};
  std::array<std::uint16_t, 3> number_data_indices{};
};

// One data item per button cap, then one per value usage (a range cap gives one per usage), in
// cap order, for the collection's reports of `type`.
std::vector<HidDataItem> BuildDataItems(const TopLevelCollection& collection, ReportType type);

// Unpacks one report of `type` into `items` (built for that collection and type): the first byte
// is the report ID, and only the items of that ID change. False when a value item's usage cannot
// be read; the items handled before keep their results.
bool UnpackReport(const TopLevelCollection& collection, ReportType type, std::span<const std::uint8_t> report,
                  std::span<HidDataItem> items);

class HidInterface {
 public:
  // Path capacity of the record, terminator included; longer paths are refused by Open.
  static constexpr std::size_t kPathCapacity = 260;

  explicit HidInterface(platform::HidBackend& backend);
  ~HidInterface();
  HidInterface(const HidInterface&) = delete;
  HidInterface& operator=(const HidInterface&) = delete;

  // --- Enumeration (the discovery thread's record) ---
  // Rebuilds the path list: it grows by doubling from 8 entries; on success PathCount() is the
  // number of interfaces found. On failure the list is freed and the count is 0.
  bool Enumerate();
  // The next non-empty path of the list and advances the cursor; nullopt at the end or when
  // there is no list. The string stays owned by the list.
  std::optional<std::string_view> NextPath();
  void FreePathList();
  std::uint32_t PathCount() const { return path_count_; }
  // Allocated entries of the list (8, 16, 32, ...); 0 when there is none.
  std::size_t PathListCapacity() const { return path_list_ ? path_list_->size() : 0; }

  // --- One interface ---
  // Closes, stores the flags and the path, opens it and fills attributes, capabilities, report
  // buffers, caps and data items, and the interface and collection numbers. `overlapped` is kept
  // for the callers' sake (transfers always take a time-out). False leaves the record closed.
  bool Open(std::string_view path, bool want_read, bool want_write, bool overlapped, bool exclusive_write);
  // Ends a pending transfer, frees buffers, caps and data items, closes the handle. The path,
  // flags and numbers stay.
  void Close();
  bool IsOpen() const;

  // One input report with a time-out (platform::kInfinite allowed): 1 on success, 0 on failure,
  // time-out or abort. `transferred` (when given) gets the byte count, 0 unless 1 is returned.
  int ReadReport(std::span<std::uint8_t> buffer, std::uint32_t* transferred, platform::Millis timeout);
  // One output report (report-ID byte first): 1 or 0 as ReadReport.
  int WriteReport(std::span<const std::uint8_t> buffer, std::uint32_t* transferred, platform::Millis timeout);

  // Unpacks a received input report into InputDataItems().
  bool UnpackInputReport(std::span<const std::uint8_t> report);

  // --- Fields ---
  const std::string& path() const { return path_; }
  bool want_read() const { return want_read_; }
  bool want_write() const { return want_write_; }
  bool overlapped() const { return overlapped_; }
  bool exclusive_write() const { return exclusive_write_; }
  const platform::HidAttributes& attributes() const { return attributes_; }
  const HidCapabilities& capabilities() const { return caps_; }
  // The parsed collection of the open interface (the "parse data").
  const TopLevelCollection& collection() const { return collection_; }
  std::vector<std::uint8_t>& ReportBuffer(ReportType t) { return types_[Index(t)].report_buffer; }
  std::span<HidDataItem> DataItems(ReportType t) { return types_[Index(t)].data_items; }
  std::span<HidDataItem> InputDataItems() { return DataItems(ReportType::kInput); }
  const std::vector<ButtonCap>& ButtonCaps(ReportType t) const { return types_[Index(t)].button_caps; }
  const std::vector<ValueCap>& ValueCaps(ReportType t) const { return types_[Index(t)].value_caps; }
  std::uint32_t interface_number() const { return interface_number_; }
  std::uint32_t collection_number() const { return collection_number_; }
  bool read_pending() const { return read_pending_.load(); }
  bool write_pending() const { return write_pending_.load(); }

 private:
  struct PerType {
    std::vector<std::uint8_t> report_buffer;
    std::vector<HidDataItem> data_items;
    std::vector<ButtonCap> button_caps;
    std::vector<ValueCap> value_caps;
  };
  static std::size_t Index(ReportType t) { return static_cast<std::size_t>(t); }
  bool FillCapabilities(platform::HidHandle& handle);
  void FillType(ReportType t);
  void FreeBuffers();
  std::shared_ptr<platform::HidHandle> CurrentHandle() const;

  platform::HidBackend& backend_;

  // Enumeration: the list, its valid entries and the cursor.
  std::optional<std::vector<std::string>> path_list_;
  std::uint32_t path_count_ = 0;
  std::uint32_t path_cursor_ = 0;

  bool want_read_ = false;
  bool want_write_ = false;
  bool overlapped_ = false;
  bool exclusive_write_ = false;

  // The handle is shared with a transfer in flight, so Close from another thread never frees it
  // under a blocked read: it aborts the handle, and the last holder closes it.
  mutable std::mutex handle_mutex_;
  std::shared_ptr<platform::HidHandle> handle_;

  std::string path_;
  TopLevelCollection collection_;
  HidCapabilities caps_;
  platform::HidAttributes attributes_;
  std::array<PerType, 3> types_;
  std::uint32_t interface_number_ = 0;
  std::uint32_t collection_number_ = 0;
  std::atomic<bool> read_pending_{false};
  std::atomic<bool> write_pending_{false};
};

}  // namespace brimvex::hid
