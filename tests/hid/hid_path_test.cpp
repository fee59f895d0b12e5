#include "hid/hid_path.h"

#include <gtest/gtest.h>

namespace brimvex::hid {
namespace {

TEST(PathField, CaseInsensitiveKeyThenHexadecimalNumberMissingGivesZero) {
  struct Case {
    const char* path;
    std::string_view key;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"hidraw:/dev/hidraw3#vid_05ac&pid_024e&mi_01&col04", kVendorKey, 0x05AC},
      {"hidraw:/dev/hidraw3#vid_05ac&pid_024e&mi_01&col04", kProductKey, 0x024E},
      {"hidraw:/dev/hidraw3#vid_05ac&pid_024e&mi_01&col04", kInterfaceKey, 1},
      {"hidraw:/dev/hidraw3#vid_05ac&pid_024e&mi_01&col04", kCollectionKey, 4},
      {"emu:headset#vid_0c76&pid_1630", kInterfaceKey, 0},                 // no "&mi_"
      {"emu:headset#vid_0c76&pid_1630", kCollectionKey, 0},                // no "&col"
      {"\\\\?\\HID#VID_5E1D&PID_4A11&MI_01&COL0A#8&1", kInterfaceKey, 1},  // upper case keys
      {"\\\\?\\HID#VID_5E1D&PID_4A11&MI_01&COL0A#8&1", kCollectionKey, 0x0A},
      {"x#vid_&pid_zz", kVendorKey, 0},  // key without digits
      {"x#mi_01", kInterfaceKey, 0},     // "mi_" without the "&"
  };
  for (const Case& c : cases) EXPECT_EQ(PathField(c.path, c.key), c.expected) << c.path << " " << c.key;
}

TEST(PathField, FormatAndReadBackAgree) {
  EXPECT_EQ(FormatInterfacePath("hidraw", "/dev/hidraw3", 0x05AC, 0x024E, 1, 3, 4),
            "hidraw:/dev/hidraw3#vid_05ac&pid_024e&mi_01&col04");
  EXPECT_EQ(FormatInterfacePath("emu", "headset", 0x0C76, 0x1630, 3, 0, 1), "emu:headset#vid_0c76&pid_1630&mi_03");
  EXPECT_EQ(FormatInterfacePath("emu", "pad", 0x5E1D, 0x4B04, std::nullopt, 0, 1), "emu:pad#vid_5e1d&pid_4b04");
  EXPECT_EQ(CollectionIndexFromPath("emu:k#vid_1&col11"), 0x10u);
  EXPECT_EQ(PathNode("hidraw:/dev/hidraw3#vid_1", "hidraw"), "/dev/hidraw3");
  EXPECT_EQ(PathNode("emu:keyboard#vid_1", "hidraw"), std::nullopt);
}

}  // namespace
}  // namespace brimvex::hid
