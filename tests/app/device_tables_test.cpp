#include "app/device_tables.h"

#include <gtest/gtest.h>

#include <vector>

namespace brimvex::app {
namespace {

std::vector<SlotRecord> Slots() { return {SupportedDevices().begin(), SupportedDevices().end()}; }

// What discovery does with one interface: the row it matches and is accepted as, or -1.
int Accept(std::uint16_t vid, std::uint16_t pid, std::uint16_t mi, std::uint16_t col, std::uint16_t page,
           std::uint16_t usage) {
  const auto& rows = SupportedDevices();
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (InterfaceMatches(rows[i], vid, pid, mi, col))
      return InterfaceAccepted(rows[i], page, usage) ? static_cast<int>(i) : -1;
  return -1;
}

TEST(DeviceTables, DiscoveredInterfacesAreAcceptedByRowAndPairedToTheirIdentity) {
  struct Case {
    std::uint16_t vid, pid, mi, col, page, usage;
    int row, identity;
  };
  const Case cases[] = {
      {0x5E1D, 0x4A11, 1, 4, 0xFF1C, 0x0092, 6, 4},  // mouse through its receiver -> mouse page
      {0x5E1D, 0x4A11, 1, 3, 0x000C, 0x0001, 7, 4},  // its event interface -> same page
      {0x05AC, 0x024F, 1, 4, 0xFF1C, 0x0092, 2, 0},
      {0x05AC, 0x024E, 1, 3, 0x000C, 0x0001, 1, 0},
      {0x05AC, 0x024E, 1, 3, 0xFF1C, 0x0092, -1, -1},  // wrong usage page for row 1
      {0x0C76, 0x1630, 3, 0, 0x000C, 0x0001, 10, 10},  // headset: no collection number
      {0x5E1D, 0x4B04, 1, 3, 0x000C, 0x0001, 9, 8},
      {0x5E1D, 0x4B04, 2, 4, 0xFF1C, 0x0092, -1, -1},  // other interface number
  };
  const auto slots = Slots();
  for (const Case& c : cases) {
    const int row = Accept(c.vid, c.pid, c.mi, c.col, c.page, c.usage);
    EXPECT_EQ(row, c.row) << std::hex << c.pid << " col " << c.col;
    if (row >= 0) {
      EXPECT_EQ(DeviceIdentity(slots, row), c.identity) << row;
    }
  }
}

TEST(DeviceTables, PairingChecksTheWayBackOnlyForCommandSlots) {
  auto slots = Slots();
  slots[4].partner_row = 5;  // row 6 points at 4, but 4 no longer points back
  EXPECT_EQ(DeviceIdentity(slots, 6), 6);
  EXPECT_EQ(DeviceIdentity(slots, 7), 4);  // event slot: partner of row 6 without a check
  EXPECT_EQ(DeviceIdentity(slots, -1), -1);
  EXPECT_EQ(DeviceIdentity(slots, 11), -1);
}

TEST(DeviceTables, LookupsAndTableShape) {
  EXPECT_EQ(FindSupportedRow(0x5E1D, 0x4A11, 6, 0xFF), 7);
  EXPECT_EQ(FindSupportedRow(0x0C76, 0x1630, 7, 0), 10);
  EXPECT_EQ(FindSupportedRow(0x0C76, 0x1630, 7, 0xFF), -1);
  EXPECT_EQ(FindDeviceOptionRow(0x5E1D, 0x4B04, 3, 0), 2);
  EXPECT_EQ(FindDeviceOptionRow(0x5E1D, 0x4B04, 3, 1), -1);  // only sub-kind 0 is listed
  EXPECT_EQ(DeviceOptions()[0].kind_name, "mouse");
  EXPECT_EQ(DeviceOptions()[3].kind_name, "HD");
  EXPECT_EQ(DevicePages()[1].light_count, 170);
  EXPECT_EQ(DevicePages()[3].layout_file, "XML\\DeviceXml\\ri6533device.xml");
  for (const auto& row : SupportedDevices()) {
    EXPECT_EQ(row.found, 0u);
    EXPECT_TRUE(row.path.empty());
  }
}

TEST(DeviceTables, UpdateListTakesDeviceVersionsAndTheInstalledVersion) {
  const auto list = BuildUpdateList([](std::size_t k) { return k == 1 ? 0x0102 : 0; }, 0x01000000);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].project_code, "Tamsel");
  EXPECT_EQ(list[0].current_version, 0);
  EXPECT_EQ(list[1].current_version, 0x0102);
  EXPECT_EQ(list[2].version_source, 2);
  EXPECT_EQ(list[3].version, "V1.0.0.0");
  EXPECT_EQ(list[3].current_version, 0x01000000);
  for (const auto& e : list) EXPECT_EQ(e.flag, 1);
}

}  // namespace
}  // namespace brimvex::app
