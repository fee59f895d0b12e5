#include "hid/report_descriptor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <string>

#include "hid_descriptor/descriptors.h"
#include "test_support/fuzz_seed.h"

namespace brimvex::hid {

void PrintTo(const ButtonCap& c, std::ostream* os) {
  *os << "{page " << std::hex << c.usage_page << " id " << int{c.report_id} << (c.is_range ? " range " : " usage ")
      << c.usage_min << ".." << c.usage_max << std::dec << " bits " << c.bit_offset << "+" << c.bit_size << "x"
      << c.report_count << (c.is_array ? " array" : "") << " logical " << c.logical_min << ".." << c.logical_max << "}";
}
void PrintTo(const ValueCap& c, std::ostream* os) {
  *os << "{page " << std::hex << c.usage_page << " id " << int{c.report_id} << (c.is_range ? " range " : " usage ")
      << c.usage_min << ".." << c.usage_max << std::dec << " bits " << c.bit_offset << "+" << c.bit_size << "x"
      << c.report_count << " logical " << c.logical_min << ".." << c.logical_max << " physical " << c.physical_min
      << ".." << c.physical_max << "}";
}

namespace {

using test::Bytes;

struct ExpectedCollection {
  std::uint16_t usage_page;
  std::uint16_t usage;
  std::vector<std::uint8_t> report_ids;
  std::array<std::uint16_t, 3> lengths;  // input, output, feature
  std::array<std::vector<ButtonCap>, 3> buttons;
  std::array<std::vector<ValueCap>, 3> values;
};

struct DescriptorCase {
  const char* name;
  const Bytes* bytes;
  bool uses_report_ids;
  std::vector<ExpectedCollection> collections;
};

// Shorthands: 1-bit variable buttons (a range, a single usage) and a single-usage value.
ButtonCap Bits(std::uint16_t page, std::uint8_t id, std::uint16_t min, std::uint16_t max, std::uint32_t offset) {
  return ButtonCap{.usage_page = page,
                   .report_id = id,
                   .is_range = true,
                   .usage_min = min,
                   .usage_max = max,
                   .bit_offset = offset,
                   .bit_size = 1,
                   .report_count = static_cast<std::uint16_t>(max - min + 1),
                   .logical_min = 0,
                   .logical_max = 1};
}
ButtonCap Bit(std::uint16_t page, std::uint8_t id, std::uint16_t usage, std::uint32_t offset) {
  ButtonCap cap = Bits(page, id, usage, usage, offset);
  cap.is_range = false;
  return cap;
}
ValueCap Value(std::uint16_t page, std::uint8_t id, std::uint16_t usage, std::uint32_t offset, std::uint16_t size,
               std::uint16_t count, std::int32_t lmin, std::int32_t lmax, std::int32_t pmin = 0,
               std::int32_t pmax = 0) {
  return ValueCap{.usage_page = page,
                  .report_id = id,
                  .is_range = false,
                  .usage_min = usage,
                  .usage_max = usage,
                  .bit_offset = offset,
                  .bit_size = size,
                  .report_count = count,
                  .logical_min = lmin,
                  .logical_max = lmax,
                  .physical_min = pmin,
                  .physical_max = pmax};
}
ButtonCap Array(std::uint16_t page, std::uint8_t id, bool range, std::uint16_t min, std::uint16_t max,
                std::uint32_t offset, std::uint16_t size, std::uint16_t count, std::int32_t lmin, std::int32_t lmax) {
  return ButtonCap{.usage_page = page,
                   .report_id = id,
                   .is_range = range,
                   .usage_min = min,
                   .usage_max = max,
                   .bit_offset = offset,
                   .bit_size = size,
                   .report_count = count,
                   .is_array = true,
                   .logical_min = lmin,
                   .logical_max = lmax};
}

const std::vector<DescriptorCase>& Cases() {
  static const std::vector<DescriptorCase> cases = {
      {"boot_keyboard",
       &test::kBootKeyboard,
       false,
       {{0x01,
         0x06,
         {},
         {9, 2, 0},
         {{{Bits(0x07, 0, 0xE0, 0xE7, 0), Array(0x07, 0, true, 0x00, 0x65, 16, 8, 6, 0, 0x65)},
           {Bits(0x08, 0, 0x01, 0x05, 0)},
           {}}},
         {}}}},
      {"mouse",
       &test::kMouse,
       false,
       {{0x01,
         0x02,
         {},
         {7, 0, 0},
         {{{Bits(0x09, 0, 1, 5, 0)}, {}, {}}},
         {{{Value(0x01, 0, 0x30, 8, 16, 1, -32767, 32767), Value(0x01, 0, 0x31, 24, 16, 1, -32767, 32767),
            Value(0x01, 0, 0x38, 40, 8, 1, -127, 127)},
           {},
           {}}}}}},
      {"four_collections",
       &test::kFourCollections,
       true,
       {{0x01,
         0x06,
         {1},
         {9, 0, 0},
         {{{Bits(0x07, 1, 0xE0, 0xE7, 0), Array(0x07, 1, true, 0x00, 0xFF, 16, 8, 6, 0, 255)}, {}, {}}},
         {}},
        {0x01, 0x80, {2}, {2, 0, 0}, {{{Bits(0x01, 2, 0x81, 0x83, 0)}, {}, {}}}, {}},
        {0x0C, 0x01, {3}, {3, 0, 0}, {{{Array(0x0C, 3, true, 0x0000, 0xFFFF, 0, 16, 1, 0, 0xFFFF)}, {}, {}}}, {}},
        {0xFF1C,
         0x92,
         {4},
         {64, 64, 0},
         {},
         {{{Value(0xFF1C, 4, 0x01, 0, 8, 63, 0, 255)}, {Value(0xFF1C, 4, 0x02, 0, 8, 63, 0, 255)}, {}}}}}},
      {"headset",
       &test::kHeadset,
       true,
       {{0x0C,
         0x01,
         {4, 0xFF},
         {64, 64, 0},  // the 17-byte LED report (18 with its ID) is shorter than the command report
         {},
         {{{Value(0xFF00, 4, 0x01, 0, 8, 63, 0, 255)},
           {Value(0xFF00, 4, 0x02, 0, 8, 63, 0, 255), Value(0xFF00, 0xFF, 0x03, 0, 8, 17, 0, 255)},
           {}}}}}},
      {"push_pop_values",
       &test::kPushPopValues,
       false,
       {{0x01,
         0x04,
         {},
         {6, 0, 4},
         {},
         {{{Value(0x01, 0, 0x37, 0, 8, 1, 0, 255, -100, 100), Value(0x01, 0, 0x36, 8, 8, 1, 0, 255),
            ValueCap{.usage_page = 0x01,
                     .is_range = true,
                     .usage_min = 0x30,
                     .usage_max = 0x31,
                     .bit_offset = 16,
                     .bit_size = 4,
                     .report_count = 2,
                     .logical_min = -8,
                     .logical_max = 7},
            Value(0x01, 0, 0x32, 24, 8, 1, 0, 100), Value(0x01, 0, 0x33, 32, 8, 1, 0, 100)},
           {},
           {Value(0x01, 0, 0x35, 0, 8, 1, 0, 100), Value(0x01, 0, 0x40, 8, 8, 2, 0, 100)}}}}}},
      {"buttons_and_array",
       &test::kButtonsAndArray,
       true,
       {{0x01,
         0x05,
         {7},
         {3, 0, 0},
         {{{Bits(0x09, 7, 1, 3, 0), Bits(0x09, 7, 4, 8, 3), Array(0x09, 7, false, 0x10, 0x10, 8, 4, 2, 1, 3),
            Array(0x09, 7, false, 0x12, 0x12, 8, 4, 2, 1, 3), Array(0x09, 7, false, 0x14, 0x14, 8, 4, 2, 1, 3)},
           {},
           {}}},
         {}}}},
      {"usage_page_binding",
       &test::kUsagePageBinding,
       false,
       {{0x01,
         0x05,
         {},
         {7, 0, 0},
         {{{Bits(0x09, 0, 1, 2, 0), Bit(0x09, 0, 3, 2), Bit(0x0C, 0, 0x224, 3), Bit(0x0C, 0, 0x223, 4),
            Bits(0x09, 0, 5, 6, 40)},
           {},
           {}}},
         {{{Value(0x01, 0, 0x30, 8, 8, 1, 0, 255), Value(0x01, 0, 0x31, 16, 8, 1, 0, 255),
            Value(0x02, 0, 0xC5, 24, 8, 1, 0, 255), Value(0x02, 0, 0xC4, 32, 8, 1, 0, 255)},
           {},
           {}}}}}},
      {"short_usage_range",
       &test::kShortUsageRange,
       false,
       {{0x01,
         0x05,
         {},
         {2, 0, 0},
         {{{ButtonCap{.usage_page = 0x09,
                      .is_range = true,
                      .usage_min = 1,
                      .usage_max = 3,
                      .bit_size = 1,
                      .report_count = 8,
                      .logical_min = 0,
                      .logical_max = 1}},
           {},
           {}}},
         {}}}},
      {"constant_with_usage",
       &test::kConstantWithUsage,
       true,
       {{0xFFA0,
         0x01,
         {0x1B},
         {0, 0, 5},
         {{{}, {}, {Bit(0xFFA0, 0x1B, 0xDE, 0)}}},
         {{{}, {}, {Value(0xFFA0, 0x1B, 0xE0, 24, 8, 1, 0, 255)}}}}}},
  };
  return cases;
}

const ReportDescriptor& Parsed(const Bytes& bytes) {
  static std::map<const Bytes*, ReportDescriptor> parsed;
  auto it = parsed.find(&bytes);
  if (it == parsed.end()) {
    ParseResult r = ParseReportDescriptor(bytes);
    EXPECT_TRUE(r.descriptor.has_value()) << r.error;
    it = parsed.emplace(&bytes, r.descriptor.value_or(ReportDescriptor{})).first;
  }
  return it->second;
}

TEST(ParseReportDescriptor, GivesCollectionsLengthsAndCaps) {
  for (const DescriptorCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const ParseResult r = ParseReportDescriptor(*c.bytes);
    ASSERT_TRUE(r.descriptor.has_value()) << r.error;
    EXPECT_EQ(r.descriptor->uses_report_ids, c.uses_report_ids);
    ASSERT_EQ(r.descriptor->collections.size(), c.collections.size());
    for (std::size_t i = 0; i < c.collections.size(); ++i) {
      SCOPED_TRACE("collection " + std::to_string(i + 1));
      const TopLevelCollection& got = r.descriptor->collections[i];
      const ExpectedCollection& want = c.collections[i];
      EXPECT_EQ(got.usage_page, want.usage_page);
      EXPECT_EQ(got.usage, want.usage);
      EXPECT_EQ(got.report_ids, want.report_ids);
      for (std::uint8_t id : want.report_ids) EXPECT_TRUE(got.HasReportId(id));
      EXPECT_EQ(got.HasReportId(0), want.report_ids.empty());
      EXPECT_FALSE(got.HasReportId(0x42));
      for (auto t : {ReportType::kInput, ReportType::kOutput, ReportType::kFeature}) {
        const auto ti = static_cast<std::size_t>(t);
        SCOPED_TRACE("report type " + std::to_string(ti));
        EXPECT_EQ(got.ReportLength(t), want.lengths[ti]);
        EXPECT_EQ(got.ButtonCaps(t), want.buttons[ti]);
        EXPECT_EQ(got.ValueCaps(t), want.values[ti]);
      }
    }
  }
}

TEST(MaxUsageListLength, CountsEverySlotThatCanReportAUsageOfThePage) {
  struct Case {
    const Bytes* bytes;
    std::size_t collection;
    ReportType type;
    std::uint16_t page;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {&test::kBootKeyboard, 0, ReportType::kInput, 0x07, 8 + 6},
      {&test::kBootKeyboard, 0, ReportType::kInput, 0x00, 8 + 6},  // page 0: every page
      {&test::kBootKeyboard, 0, ReportType::kOutput, 0x08, 5},
      {&test::kBootKeyboard, 0, ReportType::kOutput, 0x07, 0},
      {&test::kMouse, 0, ReportType::kInput, 0x09, 5},
      {&test::kMouse, 0, ReportType::kInput, 0x01, 0},  // values are not usages
      {&test::kFourCollections, 2, ReportType::kInput, 0x0C, 1},
      {&test::kButtonsAndArray, 0, ReportType::kInput, 0x09, 3 + 5 + 2},
      {&test::kShortUsageRange, 0, ReportType::kInput, 0x09, 8},
  };
  for (const Case& c : cases) {
    const auto& tlc = Parsed(*c.bytes).collections.at(c.collection);
    EXPECT_EQ(tlc.MaxUsageListLength(c.type, c.page), c.expected) << "page " << c.page;
  }
}

TEST(GetUsages, ReportsThePressedUsagesOfThePageInFieldOrder) {
  struct Case {
    const char* what;
    const Bytes* bytes;
    std::size_t collection;
    Bytes report;
    std::uint16_t page;
    bool ok;
    std::vector<std::uint16_t> usages;
  };
  const Case cases[] = {
      {"modifier and keys",
       &test::kBootKeyboard,
       0,
       {0x00, 0x02, 0x00, 0x04, 0x05, 0, 0, 0, 0},
       0x07,
       true,
       {0xE1, 0x04, 0x05}},
      {"key code past the logical maximum is ignored",
       &test::kBootKeyboard,
       0,
       {0x00, 0, 0, 0x70, 0x04, 0, 0, 0, 0},
       0x07,
       true,
       {0x04}},
      {"report too short for the key array", &test::kBootKeyboard, 0, {0x00, 0x02}, 0x07, false, {}},
      {"page with no field", &test::kBootKeyboard, 0, {0x00, 0, 0, 0, 0, 0, 0, 0, 0}, 0x09, false, {}},
      {"mouse buttons", &test::kMouse, 0, {0x00, 0x05, 0, 0, 0, 0, 0}, 0x09, true, {1, 3}},
      {"keyboard collection with its ID",
       &test::kFourCollections,
       0,
       {0x01, 0, 0, 0x2C, 0, 0, 0, 0, 0},
       0x07,
       true,
       {0x2C}},
      {"16-bit consumer code", &test::kFourCollections, 2, {0x03, 0x01, 0x04}, 0x0C, true, {0x0401}},
      {"largest consumer code", &test::kFourCollections, 2, {0x03, 0xFF, 0xFF}, 0x0C, true, {0xFFFF}},
      {"consumer code 0 is no event", &test::kFourCollections, 2, {0x03, 0x00, 0x00}, 0x0C, true, {}},
      {"report ID of another collection", &test::kFourCollections, 2, {0x04, 0x01, 0x04}, 0x0C, false, {}},
      {"range 1-3 and 4-8 with 2 and 5 pressed, array slot 3",
       &test::kButtonsAndArray,
       0,
       {0x07, 0x12, 0x03},
       0x09,
       true,
       {0x02, 0x05, 0x14}},
      {"both array slots", &test::kButtonsAndArray, 0, {0x07, 0x00, 0x21}, 0x09, true, {0x10, 0x12}},
      {"array slots outside the logical range", &test::kButtonsAndArray, 0, {0x07, 0x00, 0x0F}, 0x09, true, {}},
      {"report ID that matches nothing", &test::kButtonsAndArray, 0, {0x09, 0xFF, 0xFF}, 0x09, false, {}},
      {"empty report", &test::kButtonsAndArray, 0, {}, 0x09, false, {}},
      {"fields past a short range take its last usage",
       &test::kShortUsageRange,
       0,
       {0x00, 0x85},
       0x09,
       true,
       {0x01, 0x03, 0x03}},
      {"each usage on the page declared before it",
       &test::kUsagePageBinding,
       0,
       {0x00, 0x1F, 0, 0, 0, 0, 0x03},
       0x09,
       true,
       {0x01, 0x02, 0x03, 0x05, 0x06}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto& tlc = Parsed(*c.bytes).collections.at(c.collection);
    std::vector<std::uint16_t> usages{0xDEAD};
    EXPECT_EQ(GetUsages(tlc, ReportType::kInput, c.page, c.report, usages), c.ok);
    if (c.ok) {
      EXPECT_EQ(usages, c.usages);
    }
  }
}

// The HidInterface keeps, per button cap, only the usages inside the cap's range; the caps carry
// the ranges it needs for that.
TEST(GetUsages, CapRangesSelectTheUsagesOfEachButtonItem) {
  const auto& tlc = Parsed(test::kButtonsAndArray).collections.at(0);
  std::vector<std::uint16_t> usages;
  ASSERT_TRUE(GetUsages(tlc, ReportType::kInput, 0x09, Bytes{0x07, 0x12, 0x00}, usages));
  const ButtonCap& first = tlc.ButtonCaps(ReportType::kInput).at(0);
  std::vector<std::uint16_t> in_range;
  for (std::uint16_t u : usages) {
    if (u >= first.usage_min && u <= first.usage_max) in_range.push_back(u);
  }
  EXPECT_EQ(usages, (std::vector<std::uint16_t>{0x02, 0x05}));
  EXPECT_EQ(in_range, std::vector<std::uint16_t>{0x02});
}

// A Constant Variable field with a usage reads like any other; Constant arrays stay padding.
TEST(GetUsages, ReadsConstantControlsThatHaveAUsage) {
  const auto& tlc = Parsed(test::kConstantWithUsage).collections.at(0);
  const Bytes report = {0x1B, 0x01, 0xFF, 0x00, 0x42};  // bit 0 set; byte 2 would be usage 0xDF
  std::vector<std::uint16_t> usages;
  ASSERT_TRUE(GetUsages(tlc, ReportType::kFeature, 0xFFA0, report, usages));
  EXPECT_EQ(usages, std::vector<std::uint16_t>{0xDE});
  std::uint32_t raw = 0;
  ASSERT_TRUE(GetUsageValue(tlc, ReportType::kFeature, 0xFFA0, 0xE0, report, raw));
  EXPECT_EQ(raw, 0x42u);
}

TEST(GetUsageValue, ReadsRawAndScaledValues) {
  struct Case {
    const char* what;
    const Bytes* bytes;
    std::size_t collection;
    ReportType type;
    Bytes report;
    std::uint16_t page;
    std::uint16_t usage;
    bool raw_ok;
    std::uint32_t raw;
    bool scaled_ok;
    std::int32_t scaled;
  };
  const Bytes mouse = {0x00, 0x05, 0xFE, 0xFF, 0x10, 0x00, 0xFF};
  const Bytes joystick = {0x00, 0xFF, 0x80, 0x8F, 200, 5};
  Bytes command(64, 0x00);
  command[0] = 0x04;
  command[1] = 0x5A;
  Bytes led(18, 0x11);
  led[0] = 0xFF;
  const Case cases[] = {
      {"X sign-extended", &test::kMouse, 0, ReportType::kInput, mouse, 0x01, 0x30, true, 0xFFFE, true, -2},
      {"Y", &test::kMouse, 0, ReportType::kInput, mouse, 0x01, 0x31, true, 16, true, 16},
      {"wheel sign-extended", &test::kMouse, 0, ReportType::kInput, mouse, 0x01, 0x38, true, 0xFF, true, -1},
      {"report too short", &test::kMouse, 0, ReportType::kInput, {0x00, 0x05, 0xFE}, 0x01, 0x30, false, 0, false, 0},
      {"usage not in the report", &test::kMouse, 0, ReportType::kInput, mouse, 0x01, 0x32, false, 0, false, 0},
      {"dial at the logical maximum", &test::kPushPopValues, 0, ReportType::kInput, joystick, 0x01, 0x37, true, 255,
       true, 100},
      {"dial at the logical minimum",
       &test::kPushPopValues,
       0,
       ReportType::kInput,
       {0x00, 0, 0, 0, 0, 0},
       0x01,
       0x37,
       true,
       0,
       true,
       -100},
      {"dial in the middle (truncated)",
       &test::kPushPopValues,
       0,
       ReportType::kInput,
       {0x00, 128, 0, 0, 0, 0},
       0x01,
       0x37,
       true,
       128,
       true,
       0},
      {"slider unscaled after Pop", &test::kPushPopValues, 0, ReportType::kInput, joystick, 0x01, 0x36, true, 0x80,
       true, 128},
      {"4-bit X", &test::kPushPopValues, 0, ReportType::kInput, joystick, 0x01, 0x30, true, 0xF, true, -1},
      {"4-bit Y", &test::kPushPopValues, 0, ReportType::kInput, joystick, 0x01, 0x31, true, 0x8, true, -8},
      {"Z outside its logical range", &test::kPushPopValues, 0, ReportType::kInput, joystick, 0x01, 0x32, true, 200,
       false, 0},
      {"first delimited usage", &test::kPushPopValues, 0, ReportType::kInput, joystick, 0x01, 0x33, true, 5, true, 5},
      {"alternative delimited usage", &test::kPushPopValues, 0, ReportType::kInput, joystick, 0x01, 0x34, false, 0,
       false, 0},
      {"feature value", &test::kPushPopValues, 0, ReportType::kFeature, {0x00, 1, 2, 3}, 0x01, 0x35, true, 1, true, 1},
      {"last usage takes the remaining slots",
       &test::kPushPopValues,
       0,
       ReportType::kFeature,
       {0x00, 1, 2, 3},
       0x01,
       0x40,
       true,
       2,
       true,
       2},
      {"vendor command answer", &test::kFourCollections, 3, ReportType::kInput, command, 0xFF1C, 0x01, true, 0x5A, true,
       0x5A},
      {"command report on the consumer collection", &test::kFourCollections, 2, ReportType::kInput, command, 0xFF1C,
       0x01, false, 0, false, 0},
      {"headset LED output", &test::kHeadset, 0, ReportType::kOutput, led, 0xFF00, 0x03, true, 0x11, true, 0x11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto& tlc = Parsed(*c.bytes).collections.at(c.collection);
    std::uint32_t raw = 0;
    std::int32_t scaled = 0;
    EXPECT_EQ(GetUsageValue(tlc, c.type, c.page, c.usage, c.report, raw), c.raw_ok);
    if (c.raw_ok) {
      EXPECT_EQ(raw, c.raw);
    }
    EXPECT_EQ(GetScaledUsageValue(tlc, c.type, c.page, c.usage, c.report, scaled), c.scaled_ok);
    if (c.scaled_ok) {
      EXPECT_EQ(scaled, c.scaled);
    }
  }
}

Bytes InCollection(const Bytes& body) {
  Bytes b = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01};  // Usage Page, Usage, Collection: 6 bytes
  b.insert(b.end(), body.begin(), body.end());
  b.push_back(0xC0);
  return b;
}

TEST(ParseReportDescriptor, RejectsMalformedDescriptorsNamingTheOffset) {
  struct Case {
    const char* what;
    Bytes bytes;
    const char* error;  // expected start of the error text
  };
  Bytes deep_push(65, 0xA4);
  const Case cases[] = {
      {"empty", {}, "offset 0: no top-level collection"},
      {"item data cut off", {0x05}, "offset 0: item runs past the end"},
      {"4-byte item cut off", {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x27, 0xFF, 0xFF}, "offset 6: item runs past"},
      {"long item header cut off", {0xFE, 0x05}, "offset 0: long item header"},
      {"long item data cut off", {0x09, 0x01, 0xFE, 0x05, 0x10, 0x00}, "offset 2: long item runs past"},
      {"End Collection without a collection", {0x09, 0x01, 0xC0}, "offset 2: End Collection without"},
      {"collection never closed", {0x09, 0x01, 0xA1, 0x01, 0xA1, 0x00, 0xC0}, "offset 2: collection is never closed"},
      {"Pop without Push", InCollection({0xB4}), "offset 6: Pop without Push"},
      {"Push nested too deep", deep_push, "offset 64: Push nested too deep"},
      {"main item outside any collection", {0x75, 0x08, 0x95, 0x01, 0x81, 0x01}, "offset 4: main item outside"},
      {"Report ID 0", InCollection({0x85, 0x00}), "offset 6: Report ID must be 1 to 255"},
      {"Report ID above 255", InCollection({0x86, 0x00, 0x01}), "offset 6: Report ID must be 1 to 255"},
      {"report size times count absurd", InCollection({0x76, 0xFF, 0xFF, 0x96, 0xFF, 0xFF, 0x81, 0x02}),
       "offset 12: report longer than 65534 bytes"},
      {"report grows too long over several items", InCollection({0x75, 0x08, 0x96, 0x00, 0xFA, 0x81, 0x01, 0x81, 0x01}),
       "offset 13: report longer"},
      {"Report Count above 16 bits", InCollection({0x75, 0x01, 0x97, 0x00, 0x00, 0x01, 0x00, 0x81, 0x02}),
       "offset 13: Report Count too large"},
      {"Report Size above 16 bits", InCollection({0x77, 0x00, 0x00, 0x01, 0x00, 0x95, 0x01, 0x81, 0x02}),
       "offset 13: Report Size too large"},
      {"Usage Minimum without Maximum", InCollection({0x19, 0x01, 0x75, 0x01, 0x95, 0x01, 0x81, 0x02}),
       "offset 6: Usage Minimum without Usage Maximum"},
      {"Usage Maximum without Minimum", InCollection({0x29, 0x01, 0x75, 0x01, 0x95, 0x01, 0x81, 0x02}),
       "offset 6: Usage Maximum without Usage Minimum"},
      {"usage range across pages",
       InCollection({0x1B, 0x01, 0x00, 0x09, 0x00, 0x2B, 0x03, 0x00, 0x0C, 0x00, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02}),
       "offset 11: usage range spans two usage pages"},
      {"Usage Minimum above Maximum", InCollection({0x19, 0x05, 0x29, 0x01, 0x75, 0x01, 0x95, 0x01, 0x81, 0x02}),
       "offset 8: Usage Minimum above Usage Maximum"},
      {"nested Delimiter", InCollection({0xA9, 0x01, 0xA9, 0x01}), "offset 8: nested Delimiter"},
      {"Delimiter close without open", InCollection({0xA9, 0x00}), "offset 6: Delimiter close without open"},
      {"Delimiter left open", InCollection({0xA9, 0x01, 0x09, 0x30, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02}),
       "offset 6: Delimiter not closed"},
      {"report without ID beside reports with IDs",
       InCollection({0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0x85, 0x01, 0x81, 0x02}),
       "offset 10: report without a Report"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ParseResult r = ParseReportDescriptor(c.bytes);
    EXPECT_FALSE(r.descriptor.has_value());
    EXPECT_EQ(r.error.rfind(c.error, 0), 0u) << r.error;
  }
}

// A descriptor cut anywhere is rejected (cut item or unclosed collection) unless it ends between
// two top-level collections; the parser never reads past the bytes it was given (the
// sanitizer build checks that: each prefix is a vector of exactly that size).
TEST(ParseReportDescriptor, RejectsTruncationsInsideACollection) {
  for (const DescriptorCase& c : Cases()) {
    const Bytes& full = *c.bytes;
    for (std::size_t n = 0; n < full.size(); ++n) {
      const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
      const ParseResult r = ParseReportDescriptor(prefix);
      if (r.descriptor) {
        EXPECT_LT(r.descriptor->collections.size(), c.collections.size()) << c.name << " cut at " << n;
      } else {
        EXPECT_FALSE(r.error.empty());
      }
    }
  }
}

// The fuzzer's seeds are these descriptors.
TEST(SeedCorpus, HoldsEveryTestDescriptor) {
  for (const DescriptorCase& c : Cases()) {
    std::vector<brimvex::test::SeedReport> reports;
    for (const auto& tlc : Parsed(*c.bytes).collections)
      reports.push_back({*std::max_element(tlc.report_length.begin(), tlc.report_length.end()),
                         tlc.report_ids.empty() ? std::uint8_t{0} : tlc.report_ids.front()});
    EXPECT_EQ(brimvex::test::CheckSeed(c.name, brimvex::test::DescriptorSeed(*c.bytes, reports)), "");
  }
}

}  // namespace
}  // namespace brimvex::hid
