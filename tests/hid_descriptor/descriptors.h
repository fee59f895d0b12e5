#pragma once
// Report descriptors used by the parser tests and written out as the fuzzer's seed corpus.
#include <cstdint>
#include <vector>

namespace brimvex::hid::test {

using Bytes = std::vector<std::uint8_t>;

// Boot keyboard: modifiers, a reserved byte, six key codes; five LED outputs.
inline const Bytes kBootKeyboard = {
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x06,  // Usage (Keyboard)
    0xA1, 0x01,  // Collection (Application)
    0x05, 0x07,  //   Usage Page (Keyboard)
    0x19, 0xE0,  //   Usage Minimum (Left Control)
    0x29, 0xE7,  //   Usage Maximum (Right GUI)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x01,  //   Logical Maximum (1)
    0x75, 0x01,  //   Report Size (1)
    0x95, 0x08,  //   Report Count (8)
    0x81, 0x02,  //   Input (Data, Variable, Absolute): modifier bits
    0x95, 0x01,  //   Report Count (1)
    0x75, 0x08,  //   Report Size (8)
    0x81, 0x01,  //   Input (Constant): reserved byte
    0x95, 0x05,  //   Report Count (5)
    0x75, 0x01,  //   Report Size (1)
    0x05, 0x08,  //   Usage Page (LEDs)
    0x19, 0x01,  //   Usage Minimum (Num Lock)
    0x29, 0x05,  //   Usage Maximum (Kana)
    0x91, 0x02,  //   Output (Data, Variable, Absolute): LEDs
    0x95, 0x01,  //   Report Count (1)
    0x75, 0x03,  //   Report Size (3)
    0x91, 0x01,  //   Output (Constant): LED padding
    0x95, 0x06,  //   Report Count (6)
    0x75, 0x08,  //   Report Size (8)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x65,  //   Logical Maximum (101)
    0x05, 0x07,  //   Usage Page (Keyboard)
    0x19, 0x00,  //   Usage Minimum (0)
    0x29, 0x65,  //   Usage Maximum (101)
    0x81, 0x00,  //   Input (Data, Array): key codes
    0xC0,        // End Collection
};

// Mouse: five buttons, padding, X/Y as 16-bit and the wheel as 8-bit relative values.
inline const Bytes kMouse = {
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x09, 0x02,        // Usage (Mouse)
    0xA1, 0x01,        // Collection (Application)
    0x09, 0x01,        //   Usage (Pointer)
    0xA1, 0x00,        //   Collection (Physical)
    0x05, 0x09,        //     Usage Page (Button)
    0x19, 0x01,        //     Usage Minimum (1)
    0x29, 0x05,        //     Usage Maximum (5)
    0x15, 0x00,        //     Logical Minimum (0)
    0x25, 0x01,        //     Logical Maximum (1)
    0x95, 0x05,        //     Report Count (5)
    0x75, 0x01,        //     Report Size (1)
    0x81, 0x02,        //     Input (Data, Variable, Absolute): buttons
    0x95, 0x01,        //     Report Count (1)
    0x75, 0x03,        //     Report Size (3)
    0x81, 0x01,        //     Input (Constant): padding
    0x05, 0x01,        //     Usage Page (Generic Desktop)
    0x09, 0x30,        //     Usage (X)
    0x09, 0x31,        //     Usage (Y)
    0x16, 0x01, 0x80,  //     Logical Minimum (-32767)
    0x26, 0xFF, 0x7F,  //     Logical Maximum (32767)
    0x75, 0x10,        //     Report Size (16)
    0x95, 0x02,        //     Report Count (2)
    0x81, 0x06,        //     Input (Data, Variable, Relative): X, Y
    0x09, 0x38,        //     Usage (Wheel)
    0x15, 0x81,        //     Logical Minimum (-127)
    0x25, 0x7F,        //     Logical Maximum (127)
    0x75, 0x08,        //     Report Size (8)
    0x95, 0x01,        //     Report Count (1)
    0x81, 0x06,        //     Input (Data, Variable, Relative): wheel
    0xC0,              //   End Collection
    0xC0,              // End Collection
};

// One interface, four top-level collections: keyboard, system control, consumer control with a
// 16-bit event code, and the vendor command collection with 63-byte reports.
inline const Bytes kFourCollections = {
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x09, 0x06,        // Usage (Keyboard)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x01,        //   Report ID (1)
    0x05, 0x07,        //   Usage Page (Keyboard)
    0x19, 0xE0,        //   Usage Minimum (Left Control)
    0x29, 0xE7,        //   Usage Maximum (Right GUI)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x01,        //   Logical Maximum (1)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x08,        //   Report Count (8)
    0x81, 0x02,        //   Input (Data, Variable, Absolute): modifiers
    0x95, 0x01,        //   Report Count (1)
    0x75, 0x08,        //   Report Size (8)
    0x81, 0x01,        //   Input (Constant): reserved byte
    0x95, 0x06,        //   Report Count (6)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x00,  //   Usage Maximum (255)
    0x81, 0x00,        //   Input (Data, Array): key codes
    0xC0,              // End Collection
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x09, 0x80,        // Usage (System Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x02,        //   Report ID (2)
    0x19, 0x81,        //   Usage Minimum (System Power Down)
    0x29, 0x83,        //   Usage Maximum (System Wake Up)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x01,        //   Logical Maximum (1)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x03,        //   Report Count (3)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x95, 0x05,        //   Report Count (5)
    0x81, 0x01,        //   Input (Constant): padding
    0xC0,              // End Collection
    0x05, 0x0C,        // Usage Page (Consumer)
    0x09, 0x01,        // Usage (Consumer Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x03,        //   Report ID (3)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0xFF,  //   Logical Maximum (65535: unsigned, the minimum is not negative)
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0xFF,  //   Usage Maximum (0xFFFF)
    0x75, 0x10,        //   Report Size (16)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x00,        //   Input (Data, Array): event code
    0xC0,              // End Collection
    0x06, 0x1C, 0xFF,  // Usage Page (Vendor 0xFF1C)
    0x09, 0x92,        // Usage (0x92)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x04,        //   Report ID (4)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x3F,        //   Report Count (63)
    0x09, 0x01,        //   Usage (1)
    0x81, 0x02,        //   Input (Data, Variable, Absolute): command answer
    0x09, 0x02,        //   Usage (2)
    0x91, 0x02,        //   Output (Data, Variable, Absolute): command request
    0xC0,              // End Collection
};

// Headset: one consumer collection with the 63-byte command reports (ID 4, extended vendor
// usages) and the 17-byte LED output report (ID 0xFF); a long item in between.
inline const Bytes kHeadset = {
    0x05, 0x0C,                    // Usage Page (Consumer)
    0x09, 0x01,                    // Usage (Consumer Control)
    0xA1, 0x01,                    // Collection (Application)
    0x85, 0x04,                    //   Report ID (4)
    0x15, 0x00,                    //   Logical Minimum (0)
    0x26, 0xFF, 0x00,              //   Logical Maximum (255)
    0x75, 0x08,                    //   Report Size (8)
    0x95, 0x3F,                    //   Report Count (63)
    0x0B, 0x01, 0x00, 0x00, 0xFF,  //   Usage (0xFF00:0x0001, extended)
    0x81, 0x02,                    //   Input (Data, Variable, Absolute)
    0x0B, 0x02, 0x00, 0x00, 0xFF,  //   Usage (0xFF00:0x0002, extended)
    0x91, 0x02,                    //   Output (Data, Variable, Absolute)
    0xFE, 0x02, 0x10, 0xAA, 0xBB,  //   Long item (tag 0x10, 2 data bytes): skipped
    0x85, 0xFF,                    //   Report ID (255)
    0x95, 0x11,                    //   Report Count (17)
    0x0B, 0x03, 0x00, 0x00, 0xFF,  //   Usage (0xFF00:0x0003, extended)
    0x91, 0x02,                    //   Output (Data, Variable, Absolute): LED report
    0xC0,                          // End Collection
};

// Global state saved and restored around a scaled dial; signed 4-bit values; a value with a
// narrow logical range; alternative usages in delimiters (only the first set counts).
inline const Bytes kPushPopValues = {
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x04,  // Usage (Joystick)
    0xA1, 0x01,  // Collection (Application)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0xFF,  //   Logical Maximum (255: one byte 0xFF, read unsigned)
    0x75, 0x08,  //   Report Size (8)
    0x95, 0x01,  //   Report Count (1)
    0xA4,        //   Push
    0x35, 0x9C,  //   Physical Minimum (-100)
    0x45, 0x64,  //   Physical Maximum (100)
    0x09, 0x37,  //   Usage (Dial)
    0x81, 0x02,  //   Input (Data, Variable, Absolute): byte 0
    0xB4,        //   Pop: physical range back to none
    0x09, 0x36,  //   Usage (Slider)
    0x81, 0x02,  //   Input (Data, Variable, Absolute): byte 1
    0x15, 0xF8,  //   Logical Minimum (-8)
    0x25, 0x07,  //   Logical Maximum (7)
    0x75, 0x04,  //   Report Size (4)
    0x95, 0x02,  //   Report Count (2)
    0x19, 0x30,  //   Usage Minimum (X)
    0x29, 0x31,  //   Usage Maximum (Y)
    0x81, 0x02,  //   Input (Data, Variable, Absolute): byte 2, X low nibble
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x64,  //   Logical Maximum (100)
    0x75, 0x08,  //   Report Size (8)
    0x95, 0x01,  //   Report Count (1)
    0x09, 0x32,  //   Usage (Z)
    0x81, 0x02,  //   Input (Data, Variable, Absolute): byte 3
    0xA9, 0x01,  //   Delimiter (open)
    0x09, 0x33,  //     Usage (Rx)
    0xA9, 0x00,  //   Delimiter (close)
    0xA9, 0x01,  //   Delimiter (open)
    0x09, 0x34,  //     Usage (Ry): alternative, ignored
    0xA9, 0x00,  //   Delimiter (close)
    0x81, 0x02,  //   Input (Data, Variable, Absolute): byte 4
    0x09, 0x35,  //   Usage (Rz)
    0x09, 0x40,  //   Usage (Vx)
    0x95, 0x03,  //   Report Count (3): Vx also takes the third slot
    0xB1, 0x02,  //   Feature (Data, Variable, Absolute)
    0xC0,        // End Collection
};

// Buttons 1-3 and 4-8 as two variable fields, then a 2-slot array of three single usages.
inline const Bytes kButtonsAndArray = {
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x05,  // Usage (Game Pad)
    0xA1, 0x01,  // Collection (Application)
    0x85, 0x07,  //   Report ID (7)
    0x05, 0x09,  //   Usage Page (Button)
    0x19, 0x01,  //   Usage Minimum (1)
    0x29, 0x03,  //   Usage Maximum (3)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x01,  //   Logical Maximum (1)
    0x75, 0x01,  //   Report Size (1)
    0x95, 0x03,  //   Report Count (3)
    0x81, 0x02,  //   Input (Data, Variable, Absolute): bits 0-2
    0x19, 0x04,  //   Usage Minimum (4)
    0x29, 0x08,  //   Usage Maximum (8)
    0x95, 0x05,  //   Report Count (5)
    0x81, 0x02,  //   Input (Data, Variable, Absolute): bits 3-7
    0x09, 0x10,  //   Usage (16)
    0x09, 0x12,  //   Usage (18)
    0x09, 0x14,  //   Usage (20)
    0x15, 0x01,  //   Logical Minimum (1)
    0x25, 0x03,  //   Logical Maximum (3)
    0x75, 0x04,  //   Report Size (4)
    0x95, 0x02,  //   Report Count (2)
    0x81, 0x00,  //   Input (Data, Array): byte 1, two 4-bit slots
    0xC0,        // End Collection
};

// A gamepad whose Usage Page changes inside a main item: each usage keeps the page declared before
// it (HID 1.11 6.2.2.7). The page written after all of an item's usages still applies to them.
inline const Bytes kUsagePageBinding = {
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x09, 0x05,        // Usage (Game Pad)
    0xA1, 0x01,        // Collection (Application)
    0x05, 0x09,        //   Usage Page (Button)
    0x19, 0x01,        //   Usage Minimum (Button 1)
    0x29, 0x02,        //   Usage Maximum (Button 2)
    0x0A, 0x03, 0x00,  //   Usage (Button 3, 2 bytes)
    0x05, 0x0C,        //   Usage Page (Consumer)
    0x0A, 0x24, 0x02,  //   Usage (AC Back)
    0x0A, 0x23, 0x02,  //   Usage (AC Home)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x01,        //   Logical Maximum (1)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x05,        //   Report Count (5)
    0x81, 0x02,        //   Input (Data, Variable, Absolute): bits 0-4
    0x05, 0x01,        //   Usage Page (Generic Desktop): in force for the sticks below
    0x75, 0x03,        //   Report Size (3)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x03,        //   Input (Constant, Variable): bits 5-7, padding
    0x09, 0x30,        //   Usage (X)
    0x09, 0x31,        //   Usage (Y)
    0x05, 0x02,        //   Usage Page (Simulation Controls)
    0x09, 0xC5,        //   Usage (Brake)
    0x09, 0xC4,        //   Usage (Accelerator)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x04,        //   Report Count (4)
    0x81, 0x02,        //   Input (Data, Variable, Absolute): bytes 1-4
    0x19, 0x05,        //   Usage Minimum (5)
    0x29, 0x06,        //   Usage Maximum (6)
    0x05, 0x09,        //   Usage Page (Button): written after the usages, applies to them
    0x25, 0x01,        //   Logical Maximum (1)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x02,        //   Report Count (2)
    0x81, 0x02,        //   Input (Data, Variable, Absolute): byte 5, bits 0-1
    0x75, 0x06,        //   Report Size (6)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x03,        //   Input (Constant, Variable): byte 5, bits 2-7, padding
    0xC0,              // End Collection
};

// Buttons 1-3 over eight 1-bit fields: fields 4-8 take Button 3, and the range's one cap counts
// all eight.
inline const Bytes kShortUsageRange = {
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x05,  // Usage (Game Pad)
    0xA1, 0x01,  // Collection (Application)
    0x05, 0x09,  //   Usage Page (Button)
    0x19, 0x01,  //   Usage Minimum (1)
    0x29, 0x03,  //   Usage Maximum (3)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x01,  //   Logical Maximum (1)
    0x95, 0x08,  //   Report Count (8)
    0x75, 0x01,  //   Report Size (1)
    0x81, 0x02,  //   Input (Data, Variable, Absolute)
    0xC0,        // End Collection
};

// A vendor feature report with Constant fields: a Constant Variable field with a usage is a
// read-only control (HID 1.11 6.2.2.5) and gets a cap; one without a usage, with usage 0, or a
// Constant array is padding.
inline const Bytes kConstantWithUsage = {
    0x06, 0xA0, 0xFF,  // Usage Page (Vendor 0xFFA0)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x1B,        //   Report ID (27)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x01,        //   Logical Maximum (1)
    0x09, 0xDE,        //   Usage (0xDE)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x01,        //   Report Count (1)
    0xB1, 0x23,        //   Feature (Constant, Variable, No Preferred): bit 0, a read-only button
    0x75, 0x07,        //   Report Size (7)
    0xB1, 0x03,        //   Feature (Constant, Variable): bits 1-7, padding without a usage
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x09, 0x00,        //   Usage (0)
    0xB1, 0x03,        //   Feature (Constant, Variable): byte 1, padding with usage 0
    0x09, 0xDF,        //   Usage (0xDF)
    0xB1, 0x01,        //   Feature (Constant, Array): byte 2, padding
    0x09, 0xE0,        //   Usage (0xE0)
    0xB1, 0x03,        //   Feature (Constant, Variable): byte 3, a read-only value
    0xC0,              // End Collection
};

}  // namespace brimvex::hid::test
