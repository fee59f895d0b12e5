// Unpacking input reports into data items, over descriptors written inline.
#include <gtest/gtest.h>

#include "hid/hid_interface.h"

namespace brimvex::hid {
namespace {

// Report 1: buttons 1-3 (3 bits) and buttons 4-8 (5 bits) of the button page, then an 8-bit X
// value with logical range -127..127. Report 2: one 8-bit value of usage Y.
constexpr std::uint8_t kDescriptor[] = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,                          // Generic Desktop, Mouse, Collection (Application)
    0x85, 0x01,                                                  //   Report ID (1)
    0x05, 0x09, 0x19, 0x01, 0x29, 0x03,                          //   Button page, usages 1-3
    0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02,  // 3 x 1 bit, Input (Variable)
    0x19, 0x04, 0x29, 0x08, 0x95, 0x05, 0x81, 0x02,              // usages 4-8, 5 x 1 bit
    0x05, 0x01, 0x09, 0x30, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x01, 0x81, 0x06,  // X, -127..127
    0x85, 0x02,                                                                          //   Report ID (2)
    0x09, 0x31, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x81, 0x02,                                //   Y, 0..255
    0xC0,
};

class Unpack : public ::testing::Test {
 protected:
  void SetUp() override {
    ParseResult parsed = ParseReportDescriptor(kDescriptor);
    ASSERT_TRUE(parsed.descriptor) << parsed.error;
    ASSERT_EQ(parsed.descriptor->collections.size(), 1u);
    collection = parsed.descriptor->collections[0];
    items = BuildDataItems(collection, ReportType::kInput);
  }
  TopLevelCollection collection;
  std::vector<HidDataItem> items;
};

TEST_F(Unpack, ItemsFollowTheCapsInOrder) {
  ASSERT_EQ(items.size(), 4u);  // two button fields, X, Y
  EXPECT_TRUE(items[0].is_button);
  EXPECT_EQ(items[0].usage_min, 1u);
  EXPECT_EQ(items[0].usage_max, 3u);
  EXPECT_EQ(items[0].max_usage_list_length, 8u);  // the longest list of the button page
  EXPECT_EQ(items[0].usage_list.size(), 8u);
  EXPECT_FALSE(items[2].is_button);
  EXPECT_EQ(items[2].usage, 0x30);
  EXPECT_EQ(items[3].report_id, 2u);
}

TEST_F(Unpack, ButtonItemsKeepTheirOwnRangeAndEndWithZero) {
  // Buttons 2 and 5 pressed (bits 1 and 4), X = -3.
  const std::uint8_t report[] = {0x01, 0b0001'0010, 0xFD};
  ASSERT_TRUE(UnpackReport(collection, ReportType::kInput, report, items));
  EXPECT_EQ(items[0].usage_list[0], 2);
  EXPECT_EQ(items[0].usage_list[1], 0);
  EXPECT_EQ(items[1].usage_list[0], 5);
  EXPECT_EQ(items[1].usage_list[1], 0);
  EXPECT_EQ(items[2].raw_value, 0xFDu);
  EXPECT_EQ(items[2].scaled_value, -3);
  EXPECT_TRUE(items[0].is_set);
  EXPECT_FALSE(items[3].is_set);  // report 2's item is untouched
}

TEST_F(Unpack, AReportIdOfNoItemChangesNothingAndSucceeds) {
  const std::uint8_t report[] = {0x07, 0xFF, 0xFF};
  ASSERT_TRUE(UnpackReport(collection, ReportType::kInput, report, items));
  for (const HidDataItem& item : items) EXPECT_FALSE(item.is_set);
}

TEST_F(Unpack, AValueThatCannotBeReadStopsWithFailure) {
  const std::uint8_t report[] = {0x01, 0x01};  // too short for X
  EXPECT_FALSE(UnpackReport(collection, ReportType::kInput, report, items));
  EXPECT_TRUE(items[0].is_set);  // handled before the failure
  EXPECT_EQ(items[0].usage_list[0], 1);
  EXPECT_NE(items[2].status, kHidStatusSuccess);
  EXPECT_FALSE(items[2].is_set);
}

}  // namespace
}  // namespace brimvex::hid
