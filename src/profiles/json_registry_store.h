#pragma once
// The settings store kept as one JSON file: an object of key paths ("SOFTWARE\\Brimvex"), each
// an object of value names -> integer (DWORD) or string. Written atomically after every change;
// a file that cannot be parsed is kept aside ("<path>.broken-<identifier>") and read as empty.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_store.h"

namespace brimvex::profiles {

class JsonRegistryStore final : public platform::RegistryStore {
 public:
  explicit JsonRegistryStore(std::string path);

  bool KeyExists(std::string_view key) override;
  bool CreateKey(std::string_view key) override;
  std::optional<platform::RegistryValue> ReadValue(std::string_view key, std::string_view name) override;
  bool WriteValue(std::string_view key, std::string_view name, const platform::RegistryValue& value) override;

  const std::string& Path() const { return path_; }

 private:
  struct Key {
    std::string name;
    std::vector<std::pair<std::string, platform::RegistryValue>> values;
  };
  void LoadLocked();
  Key* FindLocked(std::string_view key);
  bool SaveLocked();

  std::string path_;
  std::mutex mutex_;
  bool loaded_ = false;
  std::vector<Key> keys_;
};

// "$XDG_CONFIG_HOME/Brimvex/registry.json" (the folder is created when missing).
std::string DefaultRegistryPath();

}  // namespace brimvex::profiles
