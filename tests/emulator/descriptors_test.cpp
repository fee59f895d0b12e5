// The emulated products' report descriptors, as the host parser sees them.
#include "emulator/descriptors.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "hid/report_descriptor.h"

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

// Writes the descriptors into the parser fuzzer's seed corpus when BRIMVEX_WRITE_SEED_CORPUS
// names a folder (same seed format as the parser's own seeds: 16-bit length, the descriptor, then
// per collection a length byte and one report).
TEST(Descriptors, SeedCorpusWhenAsked) {
  const char* folder = std::getenv("BRIMVEX_WRITE_SEED_CORPUS");
  if (folder == nullptr) GTEST_SKIP() << "set BRIMVEX_WRITE_SEED_CORPUS to a folder to write the seeds";
  std::filesystem::create_directories(folder);
  for (const Case& c : Cases()) {
    std::vector<std::uint8_t> seed = {static_cast<std::uint8_t>(c.bytes.size()),
                                      static_cast<std::uint8_t>(c.bytes.size() >> 8)};
    seed.insert(seed.end(), c.bytes.begin(), c.bytes.end());
    for (const Expected& e : c.collections) {
      if (e.input_length == 0) continue;
      seed.push_back(static_cast<std::uint8_t>(e.input_length));
      seed.push_back(e.report_id);
      seed.insert(seed.end(), e.input_length - 1u, 0x01);
    }
    std::ofstream out(std::filesystem::path(folder) / c.name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(seed.data()), static_cast<std::streamsize>(seed.size()));
    ASSERT_TRUE(out.good());
  }
}

}  // namespace
}  // namespace brimvex::emulator
