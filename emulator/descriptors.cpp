#include "emulator/descriptors.h"

namespace brimvex::emulator {

namespace {
// clang-format off

// The vendor command collection shared by every product with a command interface: 63 data bytes
// in and out behind report ID 4.
#define BRIMVEX_VENDOR_COMMAND_COLLECTION                                                          \
  0x06, 0x1C, 0xFF,        /* Usage Page (vendor 0xFF1C) */                                          \
  0x09, 0x92,              /* Usage (0x92) */                                                        \
  0xA1, 0x01,              /* Collection (Application) */                                            \
  0x85, 0x04,              /*   Report ID (4) */                                                     \
  0x15, 0x00,              /*   Logical Minimum (0) */                                               \
  0x26, 0xFF, 0x00,        /*   Logical Maximum (255) */                                             \
  0x75, 0x08,              /*   Report Size (8) */                                                   \
  0x95, 0x3F,              /*   Report Count (63) */                                                 \
  0x09, 0x01,              /*   Usage (1) */                                                         \
  0x81, 0x02,              /*   Input (Data, Variable, Absolute): answers */                         \
  0x95, 0x3F,              /*   Report Count (63) */                                                 \
  0x09, 0x02,              /*   Usage (2) */                                                         \
  0x91, 0x02,              /*   Output (Data, Variable, Absolute): requests */                       \
  0xC0                     /* End Collection */

// Collections 2 and 3, the same on every product of interface 1.
#define BRIMVEX_SYSTEM_AND_CONSUMER_COLLECTIONS                                                    \
  0x05, 0x01,              /* Usage Page (Generic Desktop) */                                        \
  0x09, 0x80,              /* Usage (System Control) */                                              \
  0xA1, 0x01,              /* Collection (Application) */                                            \
  0x85, 0x02,              /*   Report ID (2) */                                                     \
  0x19, 0x81,              /*   Usage Minimum (System Power Down) */                                 \
  0x29, 0x83,              /*   Usage Maximum (System Wake Up) */                                    \
  0x15, 0x00,              /*   Logical Minimum (0) */                                               \
  0x25, 0x01,              /*   Logical Maximum (1) */                                               \
  0x75, 0x01,              /*   Report Size (1) */                                                   \
  0x95, 0x03,              /*   Report Count (3) */                                                  \
  0x81, 0x02,              /*   Input (Data, Variable, Absolute) */                                  \
  0x95, 0x05,              /*   Report Count (5) */                                                  \
  0x81, 0x01,              /*   Input (Constant): padding */                                         \
  0xC0,                    /* End Collection */                                                      \
  0x05, 0x0C,              /* Usage Page (Consumer) */                                               \
  0x09, 0x01,              /* Usage (Consumer Control) */                                            \
  0xA1, 0x01,              /* Collection (Application) */                                            \
  0x85, 0x03,              /*   Report ID (3) */                                                     \
  0x15, 0x00,              /*   Logical Minimum (0) */                                               \
  0x27, 0xFF, 0xFF, 0x00, 0x00, /* Logical Maximum (65535) */                                        \
  0x19, 0x00,              /*   Usage Minimum (0) */                                                 \
  0x2A, 0xFF, 0xFF,        /*   Usage Maximum (65535): every 16-bit notification code is a usage */  \
  0x75, 0x10,              /*   Report Size (16) */                                                  \
  0x95, 0x01,              /*   Report Count (1) */                                                  \
  0x81, 0x00,              /*   Input (Data, Array, Absolute) */                                     \
  0xC0                     /* End Collection */

constexpr std::uint8_t kKeyboardDescriptor[] = {
  0x05, 0x01,              // Usage Page (Generic Desktop)
  0x09, 0x06,              // Usage (Keyboard)
  0xA1, 0x01,              // Collection (Application)
  0x85, 0x01,              //   Report ID (1)
  0x05, 0x07,              //   Usage Page (Keyboard)
  0x19, 0xE0,              //   Usage Minimum (Left Control)
  0x29, 0xE7,              //   Usage Maximum (Right GUI)
  0x15, 0x00,              //   Logical Minimum (0)
  0x25, 0x01,              //   Logical Maximum (1)
  0x75, 0x01,              //   Report Size (1)
  0x95, 0x08,              //   Report Count (8)
  0x81, 0x02,              //   Input (Data, Variable, Absolute): modifiers
  0x95, 0x01,              //   Report Count (1)
  0x75, 0x08,              //   Report Size (8)
  0x81, 0x01,              //   Input (Constant): reserved byte
  0x19, 0x00,              //   Usage Minimum (0)
  0x29, 0xFF,              //   Usage Maximum (255)
  0x26, 0xFF, 0x00,        //   Logical Maximum (255)
  0x95, 0x06,              //   Report Count (6)
  0x81, 0x00,              //   Input (Data, Array, Absolute): six keys
  0xC0,                    // End Collection
  BRIMVEX_SYSTEM_AND_CONSUMER_COLLECTIONS,
  BRIMVEX_VENDOR_COMMAND_COLLECTION,
};

constexpr std::uint8_t kMouseDescriptor[] = {
  0x05, 0x01,              // Usage Page (Generic Desktop)
  0x09, 0x02,              // Usage (Mouse)
  0xA1, 0x01,              // Collection (Application)
  0x85, 0x01,              //   Report ID (1)
  0x09, 0x01,              //   Usage (Pointer)
  0xA1, 0x00,              //   Collection (Physical)
  0x05, 0x09,              //     Usage Page (Button)
  0x19, 0x01,              //     Usage Minimum (1)
  0x29, 0x05,              //     Usage Maximum (5)
  0x15, 0x00,              //     Logical Minimum (0)
  0x25, 0x01,              //     Logical Maximum (1)
  0x75, 0x01,              //     Report Size (1)
  0x95, 0x05,              //     Report Count (5)
  0x81, 0x02,              //     Input (Data, Variable, Absolute): buttons
  0x95, 0x03,              //     Report Count (3)
  0x81, 0x01,              //     Input (Constant): padding
  0x05, 0x01,              //     Usage Page (Generic Desktop)
  0x09, 0x30,              //     Usage (X)
  0x09, 0x31,              //     Usage (Y)
  0x16, 0x01, 0x80,        //     Logical Minimum (-32767)
  0x26, 0xFF, 0x7F,        //     Logical Maximum (32767)
  0x75, 0x10,              //     Report Size (16)
  0x95, 0x02,              //     Report Count (2)
  0x81, 0x06,              //     Input (Data, Variable, Relative)
  0x09, 0x38,              //     Usage (Wheel)
  0x15, 0x81,              //     Logical Minimum (-127)
  0x25, 0x7F,              //     Logical Maximum (127)
  0x75, 0x08,              //     Report Size (8)
  0x95, 0x01,              //     Report Count (1)
  0x81, 0x06,              //     Input (Data, Variable, Relative)
  0xC0,                    //   End Collection
  0xC0,                    // End Collection
  BRIMVEX_SYSTEM_AND_CONSUMER_COLLECTIONS,
  BRIMVEX_VENDOR_COMMAND_COLLECTION,
};

constexpr std::uint8_t kHeadsetDescriptor[] = {
  0x05, 0x0C,              // Usage Page (Consumer)
  0x09, 0x01,              // Usage (Consumer Control)
  0xA1, 0x01,              // Collection (Application)
  0x85, 0x01,              //   Report ID (1)
  0x15, 0x00,              //   Logical Minimum (0)
  0x25, 0x01,              //   Logical Maximum (1)
  0x19, 0xE9,              //   Usage Minimum (Volume Increment)
  0x29, 0xEA,              //   Usage Maximum (Volume Decrement)
  0x75, 0x01,              //   Report Size (1)
  0x95, 0x02,              //   Report Count (2)
  0x81, 0x02,              //   Input (Data, Variable, Absolute): volume buttons
  0x95, 0x06,              //   Report Count (6)
  0x81, 0x01,              //   Input (Constant): padding
  0x06, 0x1C, 0xFF,        //   Usage Page (vendor 0xFF1C)
  0x85, 0x04,              //   Report ID (4)
  0x26, 0xFF, 0x00,        //   Logical Maximum (255)
  0x75, 0x08,              //   Report Size (8)
  0x95, 0x3F,              //   Report Count (63)
  0x09, 0x01,              //   Usage (1)
  0x81, 0x02,              //   Input (Data, Variable, Absolute): command answers
  0x95, 0x3F,              //   Report Count (63)
  0x09, 0x02,              //   Usage (2)
  0x91, 0x02,              //   Output (Data, Variable, Absolute): command requests
  0x85, 0xFF,              //   Report ID (255)
  0x95, 0x10,              //   Report Count (16)
  0x09, 0x03,              //   Usage (3)
  0x91, 0x02,              //   Output (Data, Variable, Absolute): LED colours
  0xC0,                    // End Collection
};

#undef BRIMVEX_VENDOR_COMMAND_COLLECTION
#undef BRIMVEX_SYSTEM_AND_CONSUMER_COLLECTIONS

// Keyboard key slots in the order of the keyboard's page keys: type 0x20 keys give the modifier
// bits in p1 and the keyboard usage in p2.
constexpr std::array<std::uint8_t, 3> K(std::uint8_t usage) { return {0x20, 0x00, usage}; }
constexpr std::array<std::uint8_t, 3> kNone{0x20, 0x00, 0x00};
constexpr std::array<std::array<std::uint8_t, 3>, 126> kKeyboardKeys{{
  K(0x29),                                                                      // 0 Esc
  K(0x3A), K(0x3B), K(0x3C), K(0x3D), K(0x3E), K(0x3F),                         // 1-6 F1-F6
  K(0x40), K(0x41), K(0x42), K(0x43), K(0x44), K(0x45),                         // 7-12 F7-F12
  K(0x46), K(0x47), K(0x48),                                                    // 13-15 Print Scr, Scroll Lock, Pause
  {0xA0, 0x1B, 0x00}, {0xA0, 0x24, 0x00},                                       // 16 GM, 17
  kNone, kNone, kNone,                                                          // 18-20
  K(0x35),                                                                      // 21 `
  K(0x1E), K(0x1F), K(0x20), K(0x21), K(0x22), K(0x23), K(0x24), K(0x25), K(0x26), K(0x27),  // 22-31 1-0
  K(0x2D), K(0x2E), K(0x2A),                                                    // 32-34 - = BackSpace
  K(0x49), K(0x4A), K(0x4B),                                                    // 35-37 Insert Home PgUp
  K(0x53), K(0x54), K(0x55), K(0x56),                                           // 38-41 Num Lock / * -
  K(0x2B),                                                                      // 42 Tab
  K(0x14), K(0x1A), K(0x08), K(0x15), K(0x17), K(0x1C), K(0x18), K(0x0C), K(0x12), K(0x13),  // 43-52 Q-P
  K(0x2F), K(0x30), K(0x31),                                                    // 53-55 [ ] backslash
  K(0x4C), K(0x4D), K(0x4E),                                                    // 56-58 Delete End PgDn
  K(0x5F), K(0x60), K(0x61),                                                    // 59-61 Num 7-9
  K(0x32),                                                                      // 62 K42
  K(0x39),                                                                      // 63 Caps Lock
  K(0x04), K(0x16), K(0x07), K(0x09), K(0x0A), K(0x0B), K(0x0D), K(0x0E), K(0x0F),  // 64-72 A-L
  K(0x33), K(0x34), K(0x28),                                                    // 73-75 ; ' Enter
  K(0x5C), K(0x5D), K(0x5E),                                                    // 76-78 Num 4-6
  K(0x8A), K(0x8B), K(0x90), K(0x91), K(0x88),                                  // 79-83 K132 K131 K151 K150 K133
  {0x20, 0x02, 0x00},                                                           // 84 LShift
  K(0x1D), K(0x1B), K(0x06), K(0x19), K(0x05), K(0x11), K(0x10),                // 85-91 Z-M
  K(0x36), K(0x37), K(0x38),                                                    // 92-94 , . /
  {0x20, 0x20, 0x00},                                                           // 95 RShift
  K(0x52),                                                                      // 96 Up
  K(0x59), K(0x5A), K(0x5B),                                                    // 97-99 Num 1-3
  K(0x87), K(0x89), K(0x64), K(0x85),                                           // 100-103 K56 K14 K45 K107
  kNone,                                                                        // 104
  {0x20, 0x01, 0x00}, {0x20, 0x08, 0x00}, {0x20, 0x04, 0x00},                   // 105-107 LCtrl LWin LAlt
  K(0x2C),                                                                      // 108 Space
  {0x20, 0x40, 0x00},                                                           // 109 RAlt
  {0xA0, 0x01, 0x00},                                                           // 110 FN
  K(0x65),                                                                      // 111 App
  {0x20, 0x10, 0x00},                                                           // 112 RCtrl
  K(0x50), K(0x51), K(0x4F),                                                    // 113-115 Left Down Right
  K(0x62), K(0x63), K(0x58), K(0x57),                                           // 116-119 Num 0 . Enter +
  {0xD0, 0xA2, 0x01}, {0xD0, 0xA2, 0x02}, {0xD0, 0xA2, 0x03}, {0xD0, 0xA2, 0x04}, {0xD0, 0xA2, 0x05},  // 120-124 M1-M5
  {0x20, 0x80, 0x00},                                                           // 125 RWin
}};

constexpr std::array<std::array<std::uint8_t, 3>, 11> kMouseKeys{{
  {0x10, 0x01, 0x00},  // left button
  {0x10, 0x02, 0x00},  // right button
  {0x10, 0x04, 0x00},  // middle button
  {0x10, 0x10, 0x00},  // forward
  {0x10, 0x08, 0x00},  // back
  {0x13, 0x01, 0x00},  // resolution up
  {0x13, 0x02, 0x00},  // resolution down
  {0x13, 0x03, 0x00},  // resolution cycle
  {0xA0, 0x1B, 0x00},  // GM
  {0x16, 0x90, 0x01},  // resolution shift
  {0x14, 0x78, 0x02},  // fire
}};
// clang-format on
}  // namespace

std::span<const std::uint8_t> KeyboardInterfaceDescriptor() { return kKeyboardDescriptor; }
std::span<const std::uint8_t> MouseInterfaceDescriptor() { return kMouseDescriptor; }
std::span<const std::uint8_t> HeadsetInterfaceDescriptor() { return kHeadsetDescriptor; }
std::span<const std::array<std::uint8_t, 3>> KeyboardFactoryKeyMap() { return kKeyboardKeys; }
std::span<const std::array<std::uint8_t, 3>> MouseFactoryKeyMap() { return kMouseKeys; }

}  // namespace brimvex::emulator
