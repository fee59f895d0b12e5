#include "hid/report_descriptor.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace brimvex::hid {
namespace {

// A report's data may take at most this many bytes, so that the length with its ID byte still
// fits the 16-bit report length.
constexpr std::uint32_t kMaxReportBytes = 0xFFFF - 1;
constexpr std::uint32_t kMaxReportBits = kMaxReportBytes * 8;
constexpr std::size_t kMaxPushDepth = 64;

// Item prefixes with their size bits cleared.
enum Tag : std::uint8_t {
  kInput = 0x80,
  kOutput = 0x90,
  kCollection = 0xA0,
  kFeature = 0xB0,
  kEndCollection = 0xC0,
  kUsagePage = 0x04,
  kLogicalMinimum = 0x14,
  kLogicalMaximum = 0x24,
  kPhysicalMinimum = 0x34,
  kPhysicalMaximum = 0x44,
  kReportSize = 0x74,
  kReportId = 0x84,
  kReportCount = 0x94,
  kPush = 0xA4,
  kPop = 0xB4,
  kUsage = 0x08,
  kUsageMinimum = 0x18,
  kUsageMaximum = 0x28,
  kDelimiter = 0xA8,
};
constexpr std::uint8_t kLongItemPrefix = 0xFE;

// Item data as stored: little-endian, 0 to 4 bytes.
struct ItemData {
  std::uint32_t raw = 0;
  std::uint8_t size = 0;

  std::int32_t Signed() const {
    switch (size) {
      case 1:
        return static_cast<std::int8_t>(raw);
      case 2:
        return static_cast<std::int16_t>(raw);
      case 4:
        return static_cast<std::int32_t>(raw);
      default:
        return 0;
    }
  }
};

// Logical and physical maxima are read unsigned when the matching minimum is not negative (many
// devices write 255 as one byte 0xFF); a 4-byte maximum stays signed so it fits 32 bits.
std::int32_t Maximum(std::int32_t minimum, ItemData max) {
  if (minimum >= 0 && max.size < 4) return static_cast<std::int32_t>(max.raw);
  return max.Signed();
}

struct GlobalState {
  std::uint16_t usage_page = 0;
  std::int32_t logical_min = 0;
  ItemData logical_max;
  std::int32_t physical_min = 0;
  ItemData physical_max;
  std::uint32_t report_size = 0;
  std::uint32_t report_count = 0;
  std::uint8_t report_id = 0;
};

// A usage or one end of a usage range with its page in the high 16 bits: the page it was bound to
// (see Bind), or its own when it was written in 4 bytes (extended).
struct UsageEnd {
  std::uint32_t usage = 0;
  bool extended = false;
};

struct LocalUsage {
  UsageEnd min;
  UsageEnd max;
  bool is_range = false;
  std::size_t offset = 0;
};

struct LocalState {
  std::vector<LocalUsage> usages;
  std::optional<ItemData> usage_min;
  std::optional<ItemData> usage_max;
  std::size_t usage_min_offset = 0;
  std::size_t usage_max_offset = 0;
  // A Usage Page item came since the last main item, and a usage came after it.
  bool page_declared = false;
  bool usage_after_page = false;
  bool in_delimiter = false;
  int delimiter_sets = 0;
  std::size_t delimiter_offset = 0;

  // Within delimiters only the first set of alternative usages counts.
  bool Ignoring() const { return in_delimiter && delimiter_sets > 1; }
};

std::string At(std::size_t offset, const std::string& what) { return "offset " + std::to_string(offset) + ": " + what; }

class Parser {
 public:
  explicit Parser(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  ParseResult Run() {
    ParseResult result;
    if (!Parse()) {
      result.error = error_;
      return result;
    }
    Finish();
    result.descriptor = std::move(descriptor_);
    return result;
  }

 private:
  bool Fail(std::size_t offset, const std::string& what) {
    error_ = At(offset, what);
    return false;
  }

  bool Parse() {
    std::size_t pos = 0;
    while (pos < bytes_.size()) {
      const std::uint8_t prefix = bytes_[pos];
      if (prefix == kLongItemPrefix) {
        // Long item: prefix, data size, tag, data. No long item tags are defined; skip it.
        if (bytes_.size() - pos < 3) return Fail(pos, "long item header runs past the end");
        const std::size_t size = bytes_[pos + 1];
        if (bytes_.size() - pos - 3 < size) return Fail(pos, "long item runs past the end");
        pos += 3 + size;
        continue;
      }
      static constexpr std::uint8_t kSizes[4] = {0, 1, 2, 4};
      const std::uint8_t size = kSizes[prefix & 0x03];
      if (bytes_.size() - pos - 1 < size) return Fail(pos, "item runs past the end");
      ItemData data;
      data.size = size;
      for (std::uint8_t i = 0; i < size; ++i) {
        data.raw |= static_cast<std::uint32_t>(bytes_[pos + 1 + i]) << (8 * i);
      }
      if (!Item(pos, static_cast<std::uint8_t>(prefix & 0xFC), data)) return false;
      pos += 1 + size;
    }
    if (!open_collections_.empty()) {
      return Fail(open_collections_.back(), "collection is never closed");
    }
    if (descriptor_.collections.empty()) return Fail(bytes_.size(), "no top-level collection");
    if (descriptor_.uses_report_ids && first_field_without_id_) {
      return Fail(*first_field_without_id_, "report without a Report ID in a descriptor that uses report IDs");
    }
    return true;
  }

  bool Item(std::size_t offset, std::uint8_t tag, ItemData data) {
    switch (tag) {
      case kInput:
        return Field(offset, ReportType::kInput, data.raw);
      case kOutput:
        return Field(offset, ReportType::kOutput, data.raw);
      case kFeature:
        return Field(offset, ReportType::kFeature, data.raw);
      case kCollection:
        return BeginCollection(offset);
      case kEndCollection:
        if (open_collections_.empty()) return Fail(offset, "End Collection without an open collection");
        open_collections_.pop_back();
        return ClearLocals();
      case kUsagePage:
        global_.usage_page = static_cast<std::uint16_t>(data.raw);
        local_.page_declared = true;
        return true;
      case kLogicalMinimum:
        global_.logical_min = data.Signed();
        return true;
      case kLogicalMaximum:
        global_.logical_max = data;
        return true;
      case kPhysicalMinimum:
        global_.physical_min = data.Signed();
        return true;
      case kPhysicalMaximum:
        global_.physical_max = data;
        return true;
      case kReportSize:
        global_.report_size = data.raw;
        return true;
      case kReportCount:
        global_.report_count = data.raw;
        return true;
      case kReportId:
        if (data.raw == 0 || data.raw > 0xFF) return Fail(offset, "Report ID must be 1 to 255");
        global_.report_id = static_cast<std::uint8_t>(data.raw);
        descriptor_.uses_report_ids = true;
        return true;
      case kPush:
        if (global_stack_.size() >= kMaxPushDepth) return Fail(offset, "Push nested too deep");
        global_stack_.push_back(global_);
        return true;
      case kPop:
        if (global_stack_.empty()) return Fail(offset, "Pop without Push");
        global_ = global_stack_.back();
        global_stack_.pop_back();
        return true;
      case kUsage:
        if (!local_.Ignoring()) {
          NoteUsage();
          const UsageEnd usage = Bind(data);
          local_.usages.push_back(LocalUsage{usage, usage, false, offset});
        }
        return true;
      case kUsageMinimum:
        if (local_.Ignoring()) return true;
        if (local_.usage_min) return Fail(offset, "second Usage Minimum without a Usage Maximum");
        NoteUsage();
        local_.usage_min = data;
        local_.usage_min_offset = offset;
        PairRange();
        return true;
      case kUsageMaximum:
        if (local_.Ignoring()) return true;
        if (local_.usage_max) return Fail(offset, "second Usage Maximum without a Usage Minimum");
        NoteUsage();
        local_.usage_max = data;
        local_.usage_max_offset = offset;
        PairRange();
        return true;
      case kDelimiter:
        if (data.raw != 0) {
          if (local_.in_delimiter) return Fail(offset, "nested Delimiter");
          local_.in_delimiter = true;
          ++local_.delimiter_sets;
          local_.delimiter_offset = offset;
        } else {
          if (!local_.in_delimiter) return Fail(offset, "Delimiter close without open");
          local_.in_delimiter = false;
        }
        return true;
      default:
        // Unit, Unit Exponent, designators, strings and reserved tags change nothing we report.
        return true;
    }
  }

  void NoteUsage() {
    if (local_.page_declared) local_.usage_after_page = true;
  }

  // A 1- or 2-byte usage is bound to the Usage Page in effect where it is declared; a usage range
  // where its second end is.
  UsageEnd Bind(ItemData data) const {
    if (data.size == 4) return UsageEnd{data.raw, true};
    return UsageEnd{(std::uint32_t{global_.usage_page} << 16) | data.raw, false};
  }

  void PairRange() {
    if (!local_.usage_min || !local_.usage_max) return;
    local_.usages.push_back(
        LocalUsage{Bind(*local_.usage_min), Bind(*local_.usage_max), true, local_.usage_max_offset});
    local_.usage_min.reset();
    local_.usage_max.reset();
  }

  // Resolves the local usages into runs on their pages; false (with the error set) when they are
  // inconsistent. When every usage of the main item came before its first Usage Page item (the
  // page written after its usages), the 1- and 2-byte ones take the page in effect here instead.
  bool ResolveUsages(std::vector<UsageRun>& runs) {
    const bool page_after_usages = local_.page_declared && !local_.usage_after_page;
    auto page = [&](const UsageEnd& end) {
      return static_cast<std::uint16_t>(page_after_usages && !end.extended ? global_.usage_page : end.usage >> 16);
    };
    for (const LocalUsage& u : local_.usages) {
      const std::uint16_t page_min = page(u.min);
      const std::uint16_t page_max = page(u.max);
      const auto id_min = static_cast<std::uint16_t>(u.min.usage);
      const auto id_max = static_cast<std::uint16_t>(u.max.usage);
      if (page_min != page_max) return Fail(u.offset, "usage range spans two usage pages");
      if (id_min > id_max) return Fail(u.offset, "Usage Minimum above Usage Maximum");
      runs.push_back(UsageRun{page_min, id_min, id_max, u.is_range});
    }
    return true;
  }

  bool ClearLocals() {
    if (local_.usage_min) return Fail(local_.usage_min_offset, "Usage Minimum without Usage Maximum");
    if (local_.usage_max) return Fail(local_.usage_max_offset, "Usage Maximum without Usage Minimum");
    if (local_.in_delimiter) return Fail(local_.delimiter_offset, "Delimiter not closed before the main item");
    local_ = LocalState{};
    return true;
  }

  bool BeginCollection(std::size_t offset) {
    std::vector<UsageRun> runs;
    if (!ResolveUsages(runs)) return false;
    if (open_collections_.empty()) {
      TopLevelCollection tlc;
      if (runs.empty()) {
        tlc.usage_page = global_.usage_page;
      } else {
        tlc.usage_page = runs.front().page;
        tlc.usage = runs.front().min;
      }
      descriptor_.collections.push_back(std::move(tlc));
      reports_.emplace_back();
    }
    open_collections_.push_back(offset);
    return ClearLocals();
  }

  bool Field(std::size_t offset, ReportType type, std::uint32_t flags) {
    if (open_collections_.empty()) return Fail(offset, "main item outside any collection");
    std::vector<UsageRun> runs;
    if (!ResolveUsages(runs)) return false;
    if (global_.report_size > 0xFFFF) return Fail(offset, "Report Size too large");
    if (global_.report_count > 0xFFFF) return Fail(offset, "Report Count too large");
    const std::uint64_t bits = std::uint64_t{global_.report_size} * global_.report_count;
    const auto t = static_cast<std::size_t>(type);
    std::uint32_t& used = report_bits_[t][global_.report_id];
    if (bits > kMaxReportBits - used) return Fail(offset, "report longer than 65534 bytes");
    const std::uint32_t bit_offset = used;
    used += static_cast<std::uint32_t>(bits);
    if (bits == 0) return ClearLocals();

    if (global_.report_id == 0 && !first_field_without_id_) first_field_without_id_ = offset;
    TopLevelCollection& tlc = descriptor_.collections.back();
    if (std::find(tlc.report_ids.begin(), tlc.report_ids.end(), global_.report_id) == tlc.report_ids.end()) {
      tlc.report_ids.push_back(global_.report_id);
    }
    reports_[descriptor_.collections.size() - 1][t][global_.report_id] = true;

    // A Constant field is padding, unless it is a variable with a usage: a read-only control.
    const bool constant = (flags & 0x01) != 0;
    const bool is_array = (flags & 0x02) == 0;
    const bool has_usage = std::any_of(runs.begin(), runs.end(), [](const UsageRun& r) { return r.max != 0; });
    if (!constant || (!is_array && has_usage)) {
      ReportField f;
      f.report_id = global_.report_id;
      f.bit_offset = bit_offset;
      f.bit_size = static_cast<std::uint16_t>(global_.report_size);
      f.report_count = static_cast<std::uint16_t>(global_.report_count);
      f.is_array = is_array;
      f.is_button = f.is_array || f.bit_size == 1;
      f.logical_min = global_.logical_min;
      f.logical_max = Maximum(global_.logical_min, global_.logical_max);
      f.physical_min = global_.physical_min;
      f.physical_max = Maximum(global_.physical_min, global_.physical_max);
      if (runs.empty()) runs.push_back(UsageRun{global_.usage_page, 0, 0, false});
      f.usages = std::move(runs);
      AddCaps(tlc, t, f);
      tlc.fields[t].push_back(std::move(f));
    }
    return ClearLocals();
  }

  static void AddCaps(TopLevelCollection& tlc, std::size_t t, const ReportField& f) {
    if (f.is_array) {
      for (const UsageRun& run : f.usages) {
        ButtonCap cap;
        cap.usage_page = run.page;
        cap.report_id = f.report_id;
        cap.is_range = run.is_range;
        cap.usage_min = run.min;
        cap.usage_max = run.max;
        cap.bit_offset = f.bit_offset;
        cap.bit_size = f.bit_size;
        cap.report_count = f.report_count;
        cap.is_array = true;
        cap.logical_min = f.logical_min;
        cap.logical_max = f.logical_max;
        tlc.button_caps[t].push_back(cap);
      }
      return;
    }
    // Variable field: split the slots over the usage runs.
    struct Piece {
      UsageRun run;
      std::uint32_t first_slot;
      std::uint32_t count;
    };
    std::vector<Piece> pieces;
    std::uint32_t slot = 0;
    for (const UsageRun& run : f.usages) {
      if (slot >= f.report_count) break;
      const std::uint32_t n = std::uint32_t{run.max} - run.min + 1;
      const std::uint32_t take = std::min<std::uint32_t>(n, f.report_count - slot);
      UsageRun used = run;
      used.max = static_cast<std::uint16_t>(run.min + take - 1);
      pieces.push_back(Piece{used, slot, take});
      slot += take;
    }
    // The remaining slots take the last usage; its cap (a range or a single usage) counts them.
    if (slot < f.report_count) pieces.back().count += f.report_count - slot;
    for (const Piece& p : pieces) {
      const std::uint32_t offset = f.bit_offset + p.first_slot * f.bit_size;
      const auto count = static_cast<std::uint16_t>(p.count);
      // The fields both kinds of cap share.
      auto fill = [&](auto& cap) {
        cap.usage_page = p.run.page;
        cap.report_id = f.report_id;
        cap.is_range = p.run.is_range;
        cap.usage_min = p.run.min;
        cap.usage_max = p.run.max;
        cap.bit_offset = offset;
        cap.bit_size = f.bit_size;
        cap.report_count = count;
        cap.logical_min = f.logical_min;
        cap.logical_max = f.logical_max;
        return cap;
      };
      if (f.is_button) {
        ButtonCap cap;
        tlc.button_caps[t].push_back(fill(cap));
      } else {
        ValueCap cap;
        fill(cap);
        cap.physical_min = f.physical_min;
        cap.physical_max = f.physical_max;
        tlc.value_caps[t].push_back(cap);
      }
    }
  }

  // Report lengths: the longest report of each type in the collection plus the ID byte.
  void Finish() {
    for (std::size_t c = 0; c < descriptor_.collections.size(); ++c) {
      if (!descriptor_.uses_report_ids) descriptor_.collections[c].report_ids.clear();
      for (std::size_t t = 0; t < 3; ++t) {
        std::uint32_t longest = 0;
        bool any = false;
        for (std::size_t id = 0; id < 256; ++id) {
          if (!reports_[c][t][id]) continue;
          any = true;
          longest = std::max(longest, (report_bits_[t][id] + 7) / 8);
        }
        descriptor_.collections[c].report_length[t] = any ? static_cast<std::uint16_t>(longest + 1) : 0;
      }
    }
  }

  std::span<const std::uint8_t> bytes_;
  std::string error_;
  ReportDescriptor descriptor_;
  GlobalState global_;
  std::vector<GlobalState> global_stack_;
  LocalState local_;
  std::vector<std::size_t> open_collections_;                    // offsets of the open Collection items
  std::array<std::array<std::uint32_t, 256>, 3> report_bits_{};  // [type][report id]
  // [collection][type][report id]: the collection has a report of that type and ID.
  std::vector<std::array<std::array<bool, 256>, 3>> reports_;
  std::optional<std::size_t> first_field_without_id_;
};

// ---- unpacking ----

// The report data after the ID byte, when `report` belongs to the field and covers it.
bool FieldInReport(const ReportField& f, std::span<const std::uint8_t> report, bool& covered) {
  if (report.empty() || report[0] != f.report_id) return false;
  const std::uint64_t end_bit = std::uint64_t{f.bit_offset} + std::uint64_t{f.bit_size} * f.report_count;
  covered = (end_bit + 7) / 8 <= report.size() - 1;
  return true;
}

// Reads `size` (<= 32) bits at `bit` of the report data, least significant bit first.
std::uint32_t ReadBits(std::span<const std::uint8_t> data, std::uint64_t bit, std::uint16_t size) {
  std::uint32_t value = 0;
  for (std::uint16_t i = 0; i < size; ++i) {
    const std::uint64_t b = bit + i;
    const std::uint32_t byte = data[static_cast<std::size_t>(b / 8)];
    if (((byte >> static_cast<std::uint32_t>(b % 8)) & 1u) != 0) value |= std::uint32_t{1} << i;
  }
  return value;
}

std::span<const std::uint8_t> Data(std::span<const std::uint8_t> report) { return report.subspan(1); }

// The usage of array index `index` (usages past the runs give nothing).
std::optional<UsageRun> UsageAtIndex(const ReportField& f, std::uint64_t index) {
  for (const UsageRun& run : f.usages) {
    const std::uint64_t n = std::uint64_t{run.max} - run.min + 1;
    if (index < n) return UsageRun{run.page, static_cast<std::uint16_t>(run.min + index), 0, false};
    index -= n;
  }
  return std::nullopt;
}

// Calls fn(slot, page, usage) for every slot of a variable field.
template <typename Fn>
void ForEachSlot(const ReportField& f, Fn fn) {
  std::uint32_t slot = 0;
  for (const UsageRun& run : f.usages) {
    for (std::uint32_t u = run.min; u <= run.max && slot < f.report_count; ++u, ++slot) {
      if (!fn(slot, run.page, static_cast<std::uint16_t>(u))) return;
    }
    if (slot >= f.report_count) return;
  }
  const UsageRun& last = f.usages.back();
  for (; slot < f.report_count; ++slot) {
    if (!fn(slot, last.page, last.max)) return;
  }
}

bool UsesPage(const ReportField& f, std::uint16_t page) {
  return std::any_of(f.usages.begin(), f.usages.end(), [&](const UsageRun& r) { return r.page == page; });
}

std::int64_t SignExtend(std::uint32_t raw, std::uint16_t size) {
  if (size == 0) return 0;
  if (size >= 32) return static_cast<std::int32_t>(raw);
  const std::uint32_t sign = 1u << (size - 1);
  return static_cast<std::int64_t>(raw ^ sign) - static_cast<std::int64_t>(sign);
}

// The value field that carries `usage` on `page` in this report, and the slot of the usage.
const ReportField* FindValue(const TopLevelCollection& collection, ReportType type, std::uint16_t page,
                             std::uint16_t usage, std::span<const std::uint8_t> report, std::uint32_t& slot) {
  for (const ReportField& f : collection.fields[static_cast<std::size_t>(type)]) {
    if (f.is_button || report.empty() || report[0] != f.report_id) continue;
    bool found = false;
    ForEachSlot(f, [&](std::uint32_t s, std::uint16_t p, std::uint16_t u) {
      if (p == page && u == usage) {
        slot = s;
        found = true;
        return false;
      }
      return true;
    });
    if (found) return &f;
  }
  return nullptr;
}

}  // namespace

bool TopLevelCollection::HasReportId(std::uint8_t id) const {
  if (report_ids.empty()) return id == 0;
  return std::find(report_ids.begin(), report_ids.end(), id) != report_ids.end();
}

std::uint32_t TopLevelCollection::MaxUsageListLength(ReportType t, std::uint16_t page) const {
  std::array<std::uint32_t, 256> per_report{};
  for (const ReportField& f : fields[static_cast<std::size_t>(t)]) {
    if (!f.is_button) continue;
    std::uint32_t n = 0;
    if (f.is_array) {
      if (page == 0 || UsesPage(f, page)) n = f.report_count;
    } else {
      ForEachSlot(f, [&](std::uint32_t, std::uint16_t p, std::uint16_t) {
        if (page == 0 || p == page) ++n;
        return true;
      });
    }
    per_report[f.report_id] += n;
  }
  return *std::max_element(per_report.begin(), per_report.end());
}

ParseResult ParseReportDescriptor(std::span<const std::uint8_t> bytes) { return Parser(bytes).Run(); }

bool GetUsages(const TopLevelCollection& collection, ReportType type, std::uint16_t usage_page,
               std::span<const std::uint8_t> report, std::vector<std::uint16_t>& usages) {
  usages.clear();
  bool any = false;
  for (const ReportField& f : collection.fields[static_cast<std::size_t>(type)]) {
    bool covered = false;
    if (!f.is_button || !UsesPage(f, usage_page) || !FieldInReport(f, report, covered)) continue;
    if (!covered) {
      usages.clear();
      return false;
    }
    any = true;
    const auto data = Data(report);
    if (f.is_array) {
      if (f.bit_size > 32) continue;
      for (std::uint32_t s = 0; s < f.report_count; ++s) {
        const std::uint32_t raw =
            ReadBits(data, std::uint64_t{f.bit_offset} + std::uint64_t{s} * f.bit_size, f.bit_size);
        const std::int64_t v = f.logical_min < 0 ? SignExtend(raw, f.bit_size) : std::int64_t{raw};
        if (v < f.logical_min || v > f.logical_max) continue;
        const auto u = UsageAtIndex(f, static_cast<std::uint64_t>(v - f.logical_min));
        // Usage 0 means "no event" and also ends the caller's usage lists.
        if (u && u->page == usage_page && u->min != 0) usages.push_back(u->min);
      }
    } else {
      ForEachSlot(f, [&](std::uint32_t s, std::uint16_t p, std::uint16_t u) {
        if (p == usage_page && u != 0 && ReadBits(data, std::uint64_t{f.bit_offset} + s, 1) != 0) {
          usages.push_back(u);
        }
        return true;
      });
    }
  }
  return any;
}

bool GetUsageValue(const TopLevelCollection& collection, ReportType type, std::uint16_t usage_page, std::uint16_t usage,
                   std::span<const std::uint8_t> report, std::uint32_t& raw) {
  std::uint32_t slot = 0;
  const ReportField* f = FindValue(collection, type, usage_page, usage, report, slot);
  bool covered = false;
  if (f == nullptr || f->bit_size > 32 || !FieldInReport(*f, report, covered) || !covered) return false;
  raw = ReadBits(Data(report), std::uint64_t{f->bit_offset} + std::uint64_t{slot} * f->bit_size, f->bit_size);
  return true;
}

bool GetScaledUsageValue(const TopLevelCollection& collection, ReportType type, std::uint16_t usage_page,
                         std::uint16_t usage, std::span<const std::uint8_t> report, std::int32_t& scaled) {
  std::uint32_t slot = 0;
  const ReportField* f = FindValue(collection, type, usage_page, usage, report, slot);
  bool covered = false;
  if (f == nullptr || f->bit_size > 32 || !FieldInReport(*f, report, covered) || !covered) return false;
  const std::uint32_t raw =
      ReadBits(Data(report), std::uint64_t{f->bit_offset} + std::uint64_t{slot} * f->bit_size, f->bit_size);
  const std::int64_t v = f->logical_min < 0 ? SignExtend(raw, f->bit_size) : std::int64_t{raw};
  if (f->logical_min > f->logical_max || v < f->logical_min || v > f->logical_max) return false;
  if (f->physical_min == 0 && f->physical_max == 0) {
    scaled = static_cast<std::int32_t>(v);
    return true;
  }
  const std::int64_t logical_span = std::int64_t{f->logical_max} - f->logical_min;
  if (logical_span == 0) return false;
  __extension__ using Wide = __int128;
  const Wide product = Wide{v - f->logical_min} * (std::int64_t{f->physical_max} - f->physical_min);
  const Wide result = product / logical_span + f->physical_min;
  if (result < std::numeric_limits<std::int32_t>::min() || result > std::numeric_limits<std::int32_t>::max()) {
    return false;
  }
  scaled = static_cast<std::int32_t>(result);
  return true;
}

}  // namespace brimvex::hid
