#pragma once
// The default profile documents of the device kinds, built from the factory tables. The files in
// DefaultData are written from these, and a test keeps the two equal.
#include <json/value.h>

#include <array>
#include <string>
#include <string_view>

namespace brimvex::profiles {

enum class DefaultProfileKind { kKeyboard, kMouse, kMousePad, kHeadset };

inline constexpr std::array<DefaultProfileKind, 4> kDefaultProfileKinds = {
    DefaultProfileKind::kKeyboard, DefaultProfileKind::kMouse, DefaultProfileKind::kMousePad,
    DefaultProfileKind::kHeadset};

// The device folder name of a kind ("keyboard", "mouse", "MousePad", "HD"); the default profile
// is this name plus ".Json".
std::string_view DeviceFolderName(DefaultProfileKind kind);

// The whole default profile: "profilename", "profileUUID" and "Device" with one section.
Json::Value BuildDefaultProfile(DefaultProfileKind kind);

// Writes every default profile into folder (ending with "/"); false when one failed.
[[nodiscard]] bool WriteDefaultProfiles(const std::string& folder);

}  // namespace brimvex::profiles
