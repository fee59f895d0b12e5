#include "hid/command_report.h"

#include <gtest/gtest.h>

#include "channel_fixture.h"
#include "platform/trace.h"

namespace brimvex::hid {
namespace {

TEST(CommandReport, ChecksumCoversBytes3To63) {
  const Report begin = MakeRequest(CMD_BEGIN);
  EXPECT_EQ(begin[0], 0x04);
  EXPECT_EQ(begin[1], 0x01);
  EXPECT_EQ(begin[2], 0x00);
  Report r = MakeRequest(CMD_READ_STATUS, 6, 0x1234);
  r[63] = 0xFF;
  r[8] = 0xFF;
  StoreChecksum(r);
  EXPECT_EQ(ReportChecksum(r), 0x1A + 6 + 0x34 + 0x12 + 0xFF + 0xFF);
  EXPECT_EQ(r[1] | (r[2] << 8), ReportChecksum(r));
}

TEST(CommandReport, TraceLinesUseTheEightGroupLayout) {
  Report r{};
  for (std::size_t i = 0; i < r.size(); ++i) r[i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(
      FormatTraceLine(r, 0),
      "00 01 02 03   04 05 06 07   08 09 0a 0b   0c 0d 0e 0f  10 11 12 13  14 15 16 17  18 19 1a 1b  1c 1d 1e 1f");
  EXPECT_EQ(FormatTraceLine(r, 32).substr(0, 14), "20 21 22 23   ");
  r[32] = 0xA5;
  r[33] = 0xFF;
  r[34] = 0x9C;
  EXPECT_EQ(FormatTraceLine(r, 32).substr(0, 14), "a5 ff 9c 23   ");
}

TEST(CommandReport, ResultNamesAndDecoders) {
  EXPECT_EQ(ResultName(RESULT_LINK_DOWN), "RESULT_LINK_DOWN");
  EXPECT_EQ(ResultName(7), "RESULT_UNKNOWN");
  InfoBlock b{};
  b[5] = 126;
  b[6] = 8;
  b[9] = 0x34;
  b[10] = 0x12;
  b[11] = 50;
  b[12] = 100;
  b[14] = 0xC8;
  b[15] = 0x00;
  const DeviceInfo info = DecodeInfoBlock(b);
  EXPECT_EQ(info.key_count, 126);
  EXPECT_EQ(info.macro_capacity, 8);
  EXPECT_EQ(info.sensor_code, 0x1234);
  EXPECT_EQ(info.resolution_step, 50);
  EXPECT_EQ(info.slider_maximum, 100);
  EXPECT_EQ(info.resolution_base, 200);
  const std::uint8_t status[6] = {77, 2, 9, 9, 9, 2};
  const DeviceStatus s = DecodeStatusBlock(status, true);
  EXPECT_EQ(s.battery_percent, 77);
  EXPECT_EQ(s.charge_state, 2);
  EXPECT_EQ(s.wireless_mark, 1);
  EXPECT_EQ(PhoneTypeName(s.phone_type), "Phone_type_samsung");
  EXPECT_EQ(PhoneTypeName(9), "Phone_type_no_device");
  EXPECT_EQ(DecodeKeyPosition(0x5F).row, 5);
  EXPECT_EQ(DecodeKeyPosition(0x5F).column, 15);
  EXPECT_FALSE(DecodeKeyPosition(0x60).has_light);
}

}  // namespace
}  // namespace brimvex::hid
