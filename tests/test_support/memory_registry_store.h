#pragma once
// A settings store in memory that counts its writes, for the language tests.
#include <map>
#include <string>

#include "platform/registry_store.h"

namespace brimvex::test {

class MemoryRegistryStore final : public platform::RegistryStore {
 public:
  bool KeyExists(std::string_view key) override { return keys_.contains(std::string(key)); }
  bool CreateKey(std::string_view key) override {
    keys_[std::string(key)];
    return true;
  }
  std::optional<platform::RegistryValue> ReadValue(std::string_view key, std::string_view name) override {
    const auto k = keys_.find(std::string(key));
    if (k == keys_.end()) return std::nullopt;
    const auto v = k->second.find(std::string(name));
    if (v == k->second.end()) return std::nullopt;
    return v->second;
  }
  bool WriteValue(std::string_view key, std::string_view name, const platform::RegistryValue& value) override {
    const auto k = keys_.find(std::string(key));
    if (k == keys_.end()) return false;
    k->second[std::string(name)] = value;
    ++writes;
    return true;
  }
  int writes = 0;

 private:
  std::map<std::string, std::map<std::string, platform::RegistryValue>> keys_;
};

}  // namespace brimvex::test
