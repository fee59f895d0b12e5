#pragma once
// Device kinds as a device object stores them.
namespace brimvex::devices {

inline constexpr int kDeviceBase = 0;
inline constexpr int kDeviceKeyboard = 1;
inline constexpr int kDeviceMouse = 2;
inline constexpr int kDeviceMousePad = 3;
inline constexpr int kDeviceHeadset = 7;

// The kind of a supported-device type code (1 and 9 keyboard, 2 and 6 mouse, 3 pad, 7 headset);
// 0 for anything else.
int DeviceKindOfTypeCode(int type_code);

}  // namespace brimvex::devices
