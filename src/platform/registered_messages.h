#pragma once
// Messages registered by name: the same name always gives the same number, numbers start at
// 0xC000, and the table is safe to use from any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brimvex::platform {

inline constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;

std::uint32_t RegisterWindowMessage(std::string_view name);
// The name a number was registered under, if any.
std::optional<std::string> RegisteredMessageName(std::uint32_t message);

}  // namespace brimvex::platform
