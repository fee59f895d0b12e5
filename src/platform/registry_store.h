#pragma once
// The settings store port, in the manner of the user's registry hive: keys named by paths
// ("SOFTWARE\\Brimvex"), each holding named values that are a 32-bit integer (DWORD) or a
// string. Key paths and value names are found without regard to ASCII case and keep the
// spelling they were created with. Every operation may be called from any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace brimvex::platform {

using RegistryValue = std::variant<std::uint32_t, std::string>;

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;

  virtual bool KeyExists(std::string_view key) = 0;
  // Creates the key when missing; true when it exists afterwards.
  virtual bool CreateKey(std::string_view key) = 0;
  // nullopt when the key or the value is missing.
  virtual std::optional<RegistryValue> ReadValue(std::string_view key, std::string_view name) = 0;
  // Sets the value of an existing key (a missing key is not created: false). False too when
  // the store could not be written; the stored values are then as they were.
  virtual bool WriteValue(std::string_view key, std::string_view name, const RegistryValue& value) = 0;
};

}  // namespace brimvex::platform
