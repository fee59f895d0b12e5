// The emulated products' report descriptors, as the host parser sees them.
#include "emulator/descriptors.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "hid/report_descriptor.h"
#include "test_support/fuzz_seed.h"

namespace brimvex::emulator {
namespace {

using hid::ReportType;

struct Expected {
  std::uint16_t usage_page, usage;
  std::uint8_t report_id;
  std::uint16_t input_length, output_length;
};

struct Case {
  const char* name;
  std::span<const std::uint8_t> bytes;
  std::vector<Expected> collections;
};

std::vector<Case> Cases() {
  const std::vector<Expected> interface1_tail = {
      {0x0001, 0x0080, 0x02, 2, 0}, {0x000C, 0x0001, 0x03, 3, 0}, {0xFF1C, 0x0092, 0x04, 64, 64}};
  auto with_first = [&](Expected first) {
    std::vector<Expected> v{first};
    v.insert(v.end(), interface1_tail.begin(), interface1_tail.end());
    return v;
  };
  return {
      {"emulator_keyboard", KeyboardInterfaceDescriptor(), with_first({0x0001, 0x0006, 0x01, 9, 0})},
      {"emulator_mouse", MouseInterfaceDescriptor(), with_first({0x0001, 0x0002, 0x01, 7, 0})},
      {"emulator_headset", HeadsetInterfaceDescriptor(), {{0x000C, 0x0001, 0x01, 64, 64}}},
  };
}

TEST(Descriptors, CollectionsReportIdsAndLengths) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    const hid::ParseResult parsed = hid::ParseReportDescriptor(c.bytes);
    ASSERT_TRUE(parsed.descriptor) << parsed.error;
    ASSERT_EQ(parsed.descriptor->collections.size(), c.collections.size());
    for (std::size_t i = 0; i < c.collections.size(); ++i) {
      const hid::TopLevelCollection& tlc = parsed.descriptor->collections[i];
      const Expected& e = c.collections[i];
      EXPECT_EQ(tlc.usage_page, e.usage_page) << i;
      EXPECT_EQ(tlc.usage, e.usage) << i;
      EXPECT_TRUE(tlc.HasReportId(e.report_id)) << i;
      EXPECT_EQ(tlc.ReportLength(ReportType::kInput), e.input_length) << i;
      EXPECT_EQ(tlc.ReportLength(ReportType::kOutput), e.output_length) << i;
    }
  }
}

TEST(Descriptors, EveryNotificationCodeIsAUsageOfTheConsumerCollection) {
  const hid::ParseResult parsed = hid::ParseReportDescriptor(KeyboardInterfaceDescriptor());
  ASSERT_TRUE(parsed.descriptor);
  const hid::TopLevelCollection& consumer = parsed.descriptor->collections[2];
  for (std::uint16_t code :
       {std::uint16_t{1025}, std::uint16_t{0x0512}, std::uint16_t{0x11A5}, std::uint16_t{0xFFFF}}) {
    const std::uint8_t report[] = {0x03, static_cast<std::uint8_t>(code & 0xFF), static_cast<std::uint8_t>(code >> 8)};
    std::vector<std::uint16_t> usages;
    ASSERT_TRUE(hid::GetUsages(consumer, ReportType::kInput, 0x000C, report, usages)) << code;
    ASSERT_EQ(usages.size(), 1u) << code;
    EXPECT_EQ(usages[0], code);
  }
}

// The parser fuzzer's seeds include the products' descriptors.
TEST(Descriptors, AreInTheFuzzerSeedCorpus) {
  for (const Case& c : Cases()) {
    std::vector<test::SeedReport> reports;
    for (const Expected& e : c.collections) reports.push_back({e.input_length, e.report_id});
    EXPECT_EQ(test::CheckSeed(c.name, test::DescriptorSeed(c.bytes, reports)), "");
  }
}

}  // namespace
}  // namespace brimvex::emulator
