#include "hid/hid_interface.h"

#include <algorithm>

#include "hid/hid_path.h"
#include "platform/trace.h"

namespace brimvex::hid {

namespace {
constexpr std::array<ReportType, 3> kTypes{ReportType::kInput, ReportType::kOutput, ReportType::kFeature};
constexpr std::size_t kFirstCapacity = 4;  // doubled before the first pass: 8 entries

std::uint16_t UsageCount(const ValueCap& cap) {
  return cap.is_range && cap.usage_max >= cap.usage_min ? static_cast<std::uint16_t>(cap.usage_max - cap.usage_min + 1)
                                                        : std::uint16_t{1};
}
std::uint16_t Narrow(std::size_t n) { return static_cast<std::uint16_t>(std::min<std::size_t>(n, 0xFFFF)); }
}  // namespace

HidInterface::HidInterface(platform::HidBackend& backend) : backend_(backend) {}

HidInterface::~HidInterface() {
  Close();
  FreePathList();
}

// ---------------------------------------------------------------------------------------------
// Enumeration

bool HidInterface::Enumerate() {
  path_cursor_ = 0;
  FreePathList();
  std::vector<std::string> present;
  if (!backend_.Enumerate(present)) return false;

  // The list grows by doubling, keeping the entries found so far, until an index past the last
  // interface is reached.
  std::vector<std::string> list;
  std::size_t capacity = kFirstCapacity;
  std::size_t index = 0;
  for (;;) {
    capacity *= 2;
    list.resize(capacity);
    for (; index < capacity; ++index) {
      if (index >= present.size()) {
        path_count_ = static_cast<std::uint32_t>(index);
        path_list_ = std::move(list);
        return true;
      }
      list[index] = std::move(present[index]);  // an empty entry stays empty and is skipped
    }
  }
}

std::optional<std::string_view> HidInterface::NextPath() {
  if (!path_list_) return std::nullopt;
  while (path_cursor_ < path_count_) {
    const std::string& entry = (*path_list_)[path_cursor_++];
    if (!entry.empty()) return std::string_view(entry);
  }
  return std::nullopt;
}

void HidInterface::FreePathList() {
  path_list_.reset();
  path_count_ = 0;
}

// ---------------------------------------------------------------------------------------------
// Open and close

bool HidInterface::Open(std::string_view path, bool want_read, bool want_write, bool overlapped, bool exclusive_write) {
  Close();
  want_read_ = want_read;
  want_write_ = want_write;
  overlapped_ = overlapped;
  exclusive_write_ = exclusive_write;
  // A path the record cannot hold is refused rather than cut, which could name another device.
  if (path.size() >= kPathCapacity) return false;
  path_.assign(path);

  std::unique_ptr<platform::HidHandle> opened =
      backend_.Open(path_, platform::HidOpenFlags{want_read, want_write, exclusive_write});
  if (!opened) return false;
  if (!FillCapabilities(*opened)) {
    FreeBuffers();
    return false;
  }
  std::lock_guard lock(handle_mutex_);
  handle_ = std::move(opened);
  return true;
}

bool HidInterface::FillCapabilities(platform::HidHandle& handle) {
  attributes_ = handle.Attributes();
  const std::vector<std::uint8_t> descriptor = handle.ReportDescriptor();
  ParseResult parsed = ParseReportDescriptor(descriptor);
  if (!parsed.descriptor) {
    platform::Trace("HID report descriptor refused: " + parsed.error + " (" + path_ + ")");
    return false;
  }
  const std::size_t index = CollectionIndexFromPath(path_);
  if (index >= parsed.descriptor->collections.size()) return false;
  collection_ = std::move(parsed.descriptor->collections[index]);

  caps_ = HidCapabilities{};
  caps_.usage = collection_.usage;
  caps_.usage_page = collection_.usage_page;
  caps_.input_report_byte_length = collection_.ReportLength(ReportType::kInput);
  caps_.output_report_byte_length = collection_.ReportLength(ReportType::kOutput);
  caps_.feature_report_byte_length = collection_.ReportLength(ReportType::kFeature);
  for (ReportType t : kTypes) FillType(t);
  interface_number_ = PathField(path_, kInterfaceKey);
  collection_number_ = PathField(path_, kCollectionKey);
  return true;
}

void HidInterface::FillType(ReportType t) {
  PerType& per = types_[Index(t)];
  per.report_buffer.assign(collection_.ReportLength(t), 0);
  per.button_caps = collection_.ButtonCaps(t);
  per.value_caps = collection_.ValueCaps(t);

  std::size_t value_items = 0;
  for (const ValueCap& cap : per.value_caps) value_items += UsageCount(cap);
  std::size_t data_indices = value_items;
  for (const ButtonCap& cap : per.button_caps)
    data_indices += cap.is_range && cap.usage_max >= cap.usage_min
                        ? static_cast<std::size_t>(cap.usage_max - cap.usage_min + 1)
                        : 1;
  caps_.number_button_caps[Index(t)] = Narrow(per.button_caps.size());
  caps_.number_value_caps[Index(t)] = Narrow(per.value_caps.size());
  caps_.number_data_indices[Index(t)] = Narrow(data_indices);

  per.data_items = BuildDataItems(collection_, t);
}

std::vector<HidDataItem> BuildDataItems(const TopLevelCollection& collection, ReportType t) {
  std::vector<HidDataItem> items;
  for (const ButtonCap& cap : collection.ButtonCaps(t)) {
    HidDataItem item;
    item.is_button = true;
    item.usage_page = cap.usage_page;
    item.usage_min = cap.usage_min;
    item.usage_max = cap.is_range ? std::max(cap.usage_max, cap.usage_min) : cap.usage_min;
    // A hostile descriptor cannot make one list larger than every 16-bit usage.
    item.max_usage_list_length = std::min<std::uint32_t>(collection.MaxUsageListLength(t, cap.usage_page), 0x10000);
    item.usage_list.assign(item.max_usage_list_length, 0);
    item.report_id = cap.report_id;
    items.push_back(std::move(item));
  }
  for (const ValueCap& cap : collection.ValueCaps(t)) {
    const std::uint32_t last = cap.is_range ? std::max(cap.usage_max, cap.usage_min) : cap.usage_min;
    for (std::uint32_t u = cap.usage_min; u <= last; ++u) {
      HidDataItem item;
      item.usage_page = cap.usage_page;
      item.usage = static_cast<std::uint16_t>(u);
      item.report_id = cap.report_id;
      items.push_back(std::move(item));
    }
  }
  return items;
}

void HidInterface::FreeBuffers() {
  for (PerType& per : types_) per = PerType{};
  collection_ = TopLevelCollection{};
  caps_ = HidCapabilities{};
}

void HidInterface::Close() {
  std::shared_ptr<platform::HidHandle> closing;
  {
    std::lock_guard lock(handle_mutex_);
    closing = std::move(handle_);
    handle_.reset();
  }
  // Aborting unconditionally also covers a transfer that took the handle just before the swap;
  // a thread still inside Read keeps its reference, and the handle closes when it returns.
  if (closing) closing->Abort();
  closing.reset();
  FreeBuffers();
}

bool HidInterface::IsOpen() const { return CurrentHandle() != nullptr; }

std::shared_ptr<platform::HidHandle> HidInterface::CurrentHandle() const {
  std::lock_guard lock(handle_mutex_);
  return handle_;
}

// ---------------------------------------------------------------------------------------------
// Transfers

int HidInterface::ReadReport(std::span<std::uint8_t> buffer, std::uint32_t* transferred, platform::Millis timeout) {
  read_pending_ = true;
  if (transferred) *transferred = 0;
  int result = 0;
  if (std::shared_ptr<platform::HidHandle> handle = CurrentHandle()) {
    std::size_t n = 0;
    if (handle->Read(buffer, n, timeout) == platform::HidIoResult::kOk) {
      result = 1;
      if (transferred) *transferred = static_cast<std::uint32_t>(n);
    }
  }
  read_pending_ = false;
  return result;
}

int HidInterface::WriteReport(std::span<const std::uint8_t> buffer, std::uint32_t* transferred,
                              platform::Millis timeout) {
  write_pending_ = true;
  if (transferred) *transferred = 0;
  int result = 0;
  if (std::shared_ptr<platform::HidHandle> handle = CurrentHandle()) {
    std::size_t n = 0;
    if (handle->Write(buffer, n, timeout) == platform::HidIoResult::kOk) {
      result = 1;
      if (transferred) *transferred = static_cast<std::uint32_t>(n);
    }
  }
  write_pending_ = false;
  return result;
}

// ---------------------------------------------------------------------------------------------
// Unpacking

bool UnpackReport(const TopLevelCollection& collection, ReportType type, std::span<const std::uint8_t> report,
                  std::span<HidDataItem> items) {
  if (report.empty()) return true;
  const std::uint32_t id = report[0];
  std::vector<std::uint16_t> pressed;
  for (HidDataItem& item : items) {
    if (item.report_id != id) continue;
    if (item.is_button) {
      const bool ok = GetUsages(collection, type, item.usage_page, report, pressed);
      item.status = ok ? kHidStatusSuccess : kHidStatusUsageNotFound;
      item.usage_list.assign(item.max_usage_list_length, 0);
      std::size_t kept = 0;
      if (ok) {
        for (std::uint16_t u : pressed) {
          if (kept == item.usage_list.size()) break;
          if (u >= item.usage_min && u <= item.usage_max) item.usage_list[kept++] = u;
        }
      }
      // The list was cleared, so a 0 follows the last usage whenever there is room.
    } else {
      std::uint32_t raw = 0;
      if (!GetUsageValue(collection, type, item.usage_page, item.usage, report, raw)) {
        item.status = kHidStatusUsageNotFound;
        return false;
      }
      item.raw_value = raw;
      std::int32_t scaled = 0;
      const bool ok = GetScaledUsageValue(collection, type, item.usage_page, item.usage, report, scaled);
      item.status = ok ? kHidStatusSuccess : kHidStatusUsageNotFound;
      if (ok) item.scaled_value = scaled;
    }
    item.is_set = true;
  }
  return true;
}

bool HidInterface::UnpackInputReport(std::span<const std::uint8_t> report) {
  return UnpackReport(collection_, ReportType::kInput, report, InputDataItems());
}

}  // namespace brimvex::hid
