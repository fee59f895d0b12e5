#include "profiles/json_registry_store.h"

#include <cctype>
#include <filesystem>

#include "platform/paths.h"
#include "platform/trace.h"
#include "profiles/file_helpers.h"
#include "profiles/profile_document.h"

namespace brimvex::profiles {
namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace

JsonRegistryStore::JsonRegistryStore(std::string path) : path_(std::move(path)) {}

void JsonRegistryStore::LoadLocked() {
  if (loaded_) return;
  loaded_ = true;
  const std::string text = ReadTextFile(path_);
  if (text.empty()) return;
  const Json::Value root = ParseJson(text);
  if (!root.isObject()) {
    platform::Trace("registry store unreadable, kept aside: " + path_);
    KeepAside(path_);
    return;
  }
  for (const auto& key_name : root.getMemberNames()) {
    const Json::Value& values = root[key_name];
    if (!values.isObject() || FindLocked(key_name) != nullptr) continue;
    Key key{key_name, {}};
    for (const auto& value_name : values.getMemberNames()) {
      const Json::Value& v = values[value_name];
      bool duplicate = false;
      for (const auto& [n, _] : key.values) duplicate |= SameNoCase(n, value_name);
      if (duplicate) continue;
      if (v.isString()) {
        key.values.emplace_back(value_name, v.asString());
      } else if (v.isIntegral() && v.asLargestInt() >= 0 && v.asLargestInt() <= 0xFFFFFFFFll) {
        key.values.emplace_back(value_name, static_cast<std::uint32_t>(v.asLargestInt()));
      }
    }
    keys_.push_back(std::move(key));
  }
}

JsonRegistryStore::Key* JsonRegistryStore::FindLocked(std::string_view key) {
  for (Key& k : keys_)
    if (SameNoCase(k.name, key)) return &k;
  return nullptr;
}

bool JsonRegistryStore::SaveLocked() {
  Json::Value root(Json::objectValue);
  for (const Key& k : keys_) {
    Json::Value& values = root[k.name];
    values = Json::Value(Json::objectValue);
    for (const auto& [name, value] : k.values) {
      if (const auto* n = std::get_if<std::uint32_t>(&value)) {
        values[name] = Json::UInt(*n);
      } else {
        values[name] = std::get<std::string>(value);
      }
    }
  }
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
  return WriteJson(path_, root);
}

bool JsonRegistryStore::KeyExists(std::string_view key) {
  std::lock_guard lock(mutex_);
  LoadLocked();
  return FindLocked(key) != nullptr;
}

bool JsonRegistryStore::CreateKey(std::string_view key) {
  std::lock_guard lock(mutex_);
  LoadLocked();
  if (FindLocked(key) != nullptr) return true;
  keys_.push_back(Key{std::string(key), {}});
  if (SaveLocked()) return true;
  keys_.pop_back();
  return false;
}

std::optional<platform::RegistryValue> JsonRegistryStore::ReadValue(std::string_view key, std::string_view name) {
  std::lock_guard lock(mutex_);
  LoadLocked();
  const Key* k = FindLocked(key);
  if (k == nullptr) return std::nullopt;
  for (const auto& [n, v] : k->values)
    if (SameNoCase(n, name)) return v;
  return std::nullopt;
}

bool JsonRegistryStore::WriteValue(std::string_view key, std::string_view name, const platform::RegistryValue& value) {
  std::lock_guard lock(mutex_);
  LoadLocked();
  Key* k = FindLocked(key);
  if (k == nullptr) return false;
  const Key before = *k;
  bool found = false;
  for (auto& [n, v] : k->values) {
    if (SameNoCase(n, name)) {
      v = value;
      found = true;
      break;
    }
  }
  if (!found) k->values.emplace_back(std::string(name), value);
  if (SaveLocked()) return true;
  *k = before;
  return false;
}

std::string DefaultRegistryPath() { return platform::UserConfigHome() + "Brimvex/registry.json"; }

}  // namespace brimvex::profiles
