#include "profiles/identifier.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brimvex::profiles {
namespace {

using platform::LocalTime;

TEST(Identifier, FormatAndShape) {
  EXPECT_EQ(FormatIdentifier(LocalTime{2024, 1, 2, 9, 5, 3, 7}), "2024_01_02_09_05_03_007");
  struct Case {
    std::string text;
    bool shaped;
  };
  const Case cases[] = {
      {"2024_01_02_09_05_03_007", true},
      {"1_00_00_00_00_00_000", true},
      {std::string(180, '9') + "_01_02_09_05_03_007", true},   // 199 characters
      {std::string(181, '9') + "_01_02_09_05_03_007", false},  // 200
      {"", false},
      {"..", false},
      {"../../victim", false},
      {"/tmp/x", false},
      {"a/b", false},
      {"2024_01_02_09_05_03_07", false},
      {"2024_01_02_09_05_03_0071", false},
      {"2024_1_02_09_05_03_007", false},
      {"_01_02_09_05_03_007", false},
      {"2024_01_02_09_05_03_007.Json", false},
      {"../2024_01_02_09_05_03_007", false},
      {"2024_01_02_09_05_03_00a", false},
      {"2024-01_02_09_05_03_007", false},
      {std::string("2024_01_02_09_05_03_007\0x", 25), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsIdentifier(c.text), c.shaped) << c.text;
}

TEST(Identifier, AThousandCallsAscend) {
  std::vector<std::string> ids;
  for (int i = 0; i < 1000; ++i) ids.push_back(NewIdentifier());
  for (std::size_t i = 1; i < ids.size(); ++i) {
    // Same length until the year 10000, so text order is time order.
    ASSERT_EQ(ids[i].size(), ids[i - 1].size());
    ASSERT_LT(ids[i - 1], ids[i]) << i;
  }
}

TEST(Identifier, AClockNotMovingOnStepsOneMillisecond) {
  struct Case {
    LocalTime clock;
    std::vector<std::string> issued;
  };
  const Case cases[] = {
      {{2023, 5, 7, 14, 3, 9, 42}, {"2023_05_07_14_03_09_042", "2023_05_07_14_03_09_043", "2023_05_07_14_03_09_044"}},
      {{2023, 12, 31, 23, 59, 59, 999}, {"2023_12_31_23_59_59_999", "2024_01_01_00_00_00_000"}},
      {{2024, 2, 28, 23, 59, 59, 999}, {"2024_02_28_23_59_59_999", "2024_02_29_00_00_00_000"}},
      {{2023, 2, 28, 23, 59, 59, 999}, {"2023_02_28_23_59_59_999", "2023_03_01_00_00_00_000"}},
  };
  for (const auto& c : cases) {
    IdentifierIssuer issuer;
    for (const auto& expected : c.issued) EXPECT_EQ(issuer.Next(c.clock), expected);
  }
  // A clock set back keeps ascending from the last one issued; a later clock is taken as it is.
  IdentifierIssuer issuer;
  EXPECT_EQ(issuer.Next({2023, 5, 7, 14, 3, 9, 42}), "2023_05_07_14_03_09_042");
  EXPECT_EQ(issuer.Next({2023, 5, 7, 13, 0, 0, 0}), "2023_05_07_14_03_09_043");
  EXPECT_EQ(issuer.Next({2023, 5, 7, 15, 0, 0, 0}), "2023_05_07_15_00_00_000");
}

}  // namespace
}  // namespace brimvex::profiles
