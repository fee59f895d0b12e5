#pragma once
// The HID report descriptors and factory tables of the emulated products.
#include <array>
#include <cstdint>
#include <span>

namespace brimvex::emulator {

// Interface 1 of the keyboard and of its receiver: four top-level collections.
std::span<const std::uint8_t> KeyboardInterfaceDescriptor();
// Interface 1 of the mouse, its receiver and the mouse pad: as the keyboard's, with a mouse in
// collection 1.
std::span<const std::uint8_t> MouseInterfaceDescriptor();
// Interface 3 of the headset: one consumer collection.
std::span<const std::uint8_t> HeadsetInterfaceDescriptor();

// Report IDs.
inline constexpr std::uint8_t kReportIdKeys = 0x01;      // collection 1 (keyboard / mouse input)
inline constexpr std::uint8_t kReportIdSystem = 0x02;    // collection 2 (system control)
inline constexpr std::uint8_t kReportIdConsumer = 0x03;  // collection 3 (16-bit notification code)
inline constexpr std::uint8_t kReportIdCommand = 0x04;   // collection 4 (64-byte command reports)
inline constexpr std::uint8_t kReportIdHeadsetButtons = 0x01;
inline constexpr std::uint8_t kReportIdHeadsetLed = 0xFF;  // 17-byte LED output reports

// Factory key codes (type, p1, p2) in key slot order.
std::span<const std::array<std::uint8_t, 3>> KeyboardFactoryKeyMap();  // 126 keys
std::span<const std::array<std::uint8_t, 3>> MouseFactoryKeyMap();     // 11 buttons

}  // namespace brimvex::emulator
