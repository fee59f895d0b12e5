#include "macros/macro_store.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "platform/file_system.h"
#include "platform/trace.h"
#include "profiles/file_helpers.h"
#include "profiles/identifier.h"
#include "profiles/profile_document.h"

namespace brimvex::macros {

namespace {

constexpr std::size_t kMaxMacroFileBytes = 4 * 1024 * 1024;

Json::Value ParseMacroFile(const std::string& path) {
  platform::BoundedRead read = platform::ReadRegularFile(path, kMaxMacroFileBytes);
  if (read.status != platform::BoundedRead::Status::kOk) return Json::Value();
  Json::Value doc = profiles::ParseJson(read.bytes);
  return doc.isObject() ? doc : Json::Value();
}

}  // namespace

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    const auto x = static_cast<unsigned char>(a[k]);
    const auto y = static_cast<unsigned char>(b[k]);
    if (x == y) continue;
    if (x >= 0x80 || y >= 0x80 || std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

MacroStore::MacroStore(std::string folder) : folder_(std::move(folder)) {
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

std::string MacroStore::MacroPath(const StoreEntry& entry) const {
  return entry.usable ? folder_ + entry.guid + kMacroExtension : std::string();
}

std::optional<std::vector<std::string>> MacroStore::Names() const {
  const StoreContent c = Read();
  if (!c.readable) return std::nullopt;
  std::vector<std::string> names;
  for (const StoreEntry& e : c.entries) names.push_back(e.name);
  return names;
}

Json::Value MacroStore::Document(int index) const {
  const auto entries = Entries();
  if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return Json::Value();
  const std::string path = MacroPath(entries[static_cast<std::size_t>(index)]);
  return path.empty() ? Json::Value() : ParseMacroFile(path);
}

std::vector<MacroEvent> MacroStore::Events(int index) const { return DeviceEvents(Document(index)); }

std::string MacroStore::FreeDefaultName() const {
  const auto entries = Entries();
  for (int n = 1;; ++n) {
    const std::string name = "macro_" + std::to_string(n);
    if (std::none_of(entries.begin(), entries.end(), [&](const StoreEntry& e) { return SameName(e.name, name); }))
      return name;
  }
}

bool MacroStore::NameTaken(const std::string& name, int except) const {
  const auto entries = Entries();
  for (std::size_t k = 0; k < entries.size(); ++k)
    if (static_cast<int>(k) != except && SameName(entries[k].name, name)) return true;
  return false;
}

bool MacroStore::WriteStore(const StoreContent& content, const std::vector<StoreEntry>& entries) const {
  Json::Value doc = content.readable && content.document.isObject() ? content.document : Json::Value(Json::objectValue);
  if (content.present && !content.readable) {
    // Keep what cannot be read before it is replaced.
    if (profiles::KeepAside(StorePath()).empty()) return false;
  }
  Json::Value info(Json::arrayValue);
  const Json::Value* old = doc.isMember("MacroInfo") && doc["MacroInfo"].isArray() ? &doc["MacroInfo"] : nullptr;
  for (std::size_t k = 0; k < entries.size(); ++k) {
    Json::Value e = old != nullptr && k < old->size() && (*old)[static_cast<Json::ArrayIndex>(k)].isObject()
                        ? (*old)[static_cast<Json::ArrayIndex>(k)]
                        : Json::Value(Json::objectValue);
    e["MacroName"] = entries[k].name;
    e["Guid"] = entries[k].guid;
    info.append(e);
  }
  doc["MacroInfo"] = info;
  return profiles::WriteJson(StorePath(), doc);
}

MacroStore::Change MacroStore::Append(const std::string& name) {
  Change out;
  StoreContent c = Read();
  if (c.entries.size() >= kMaxMacros) return out;
  auto entries = c.entries;
  const std::string id = profiles::NewIdentifier();
  entries.push_back({name, id, true});
  // Entries after the removed position shift; a plain append keeps the old members in place.
  if (!WriteStore(c, entries)) return out;
  out.ok = true;
  out.index = static_cast<int>(entries.size()) - 1;
  out.name = name;
  return out;
}

MacroStore::Change MacroStore::Import(const std::string& path) {
  Change out;
  if (path.empty()) return out;
  StoreContent c = Read();
  if (c.entries.size() >= kMaxMacros) return out;
  out.check = CheckImportFile(path, FileKind::kMacro);
  if (!out.check.ok()) return out;
  const std::string title = profiles::FileTitle(path);
  std::string name = title;
  for (int n = 2; NameTaken(name); ++n) name = title + "_" + std::to_string(n);
  const std::string id = profiles::NewIdentifier();
  const std::string file = folder_ + id + kMacroExtension;
  std::string error;
  if (!platform::WriteFileAtomically(file, out.check.bytes, &error)) {
    platform::Trace("macro: cannot write " + file + ": " + error + "\n");
    return out;
  }
  auto entries = c.entries;
  entries.push_back({name, id, true});
  if (!WriteStore(c, entries)) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
    return out;
  }
  out.ok = true;
  out.index = static_cast<int>(entries.size()) - 1;
  out.name = name;
  return out;
}

bool MacroStore::Rename(int index, const std::string& name) {
  StoreContent c = Read();
  if (!c.readable || index < 0 || static_cast<std::size_t>(index) >= c.entries.size()) return false;
  auto entries = c.entries;
  entries[static_cast<std::size_t>(index)].name = name;
  return WriteStore(c, entries);
}

bool MacroStore::Remove(int index) {
  StoreContent c = Read();
  if (!c.readable || index < 0 || static_cast<std::size_t>(index) >= c.entries.size()) return false;
  const std::string file = MacroPath(c.entries[static_cast<std::size_t>(index)]);
  // Remove the element itself so later entries keep their own members.
  Json::Value& info = c.document["MacroInfo"];
  Json::Value removed;
  if (info.isArray()) info.removeIndex(static_cast<Json::ArrayIndex>(index), &removed);
  auto entries = c.entries;
  entries.erase(entries.begin() + index);
  if (!WriteStore(c, entries)) return false;
  if (!file.empty()) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
  }
  return true;
}

bool MacroStore::Save(int index, const Json::Value& events) {
  const auto entries = Entries();
  if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return false;
  const StoreEntry& e = entries[static_cast<std::size_t>(index)];
  const std::string path = MacroPath(e);
  if (path.empty()) return false;
  Json::Value doc(Json::objectValue);
  doc["Events"] = events.isArray() ? events : Json::Value(Json::arrayValue);
  doc["Guid"] = e.guid;
  doc["MacroName"] = e.name;
  doc["Version"] = kMacroFileVersion;
  std::error_code ec;
  if (std::filesystem::exists(path, ec) && ParseMacroFile(path).isNull() && profiles::KeepAside(path).empty())
    return false;
  return profiles::WriteJson(path, doc);
}

bool MacroStore::Export(int index, const std::string& path) const {
  if (path.empty()) return false;
  const auto entries = Entries();
  if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return false;
  const std::string file = MacroPath(entries[static_cast<std::size_t>(index)]);
  if (file.empty()) return false;
  platform::BoundedRead read = platform::ReadRegularFile(file, kMaxMacroFileBytes);
  std::string bytes;
  if (read.status == platform::BoundedRead::Status::kOk) {
    bytes = std::move(read.bytes);
  } else {
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) return false;  // there but not readable
  }
  return platform::WriteFileAtomically(path, bytes);
}

}  // namespace brimvex::macros
