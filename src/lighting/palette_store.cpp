#include "lighting/palette_store.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "platform/trace.h"
#include "profiles/file_helpers.h"
#include "profiles/profile_document.h"

namespace brimvex::lighting {
namespace {

constexpr const char* kRoot = "coloroptioninfo";
constexpr const char* kPresets = "palletDialogcoloroption";
constexpr const char* kPresetIndex = "palletDialogcoloroption_selectitem";
constexpr const char* kCollected = "palletDialogcollectcoloroption";
constexpr const char* kCollectedIndex = "palletDialogcollectcoloroption_selectitem";

bool Usable(const Json::Value& document) {
  return document.isObject() && (!document.isMember(kRoot) || document[kRoot].isObject());
}

std::optional<int> Index(const Json::Value& root, const char* key) {
  if (!root.isMember(key)) return std::nullopt;
  const Json::Value& v = root[key];
  if (!v.isInt()) return std::nullopt;
  return v.asInt();
}

const Json::Value* Element(const Json::Value& root, const char* key, int n) {
  if (!root.isMember(key) || !root[key].isArray()) return nullptr;
  const Json::Value& list = root[key];
  if (static_cast<Json::ArrayIndex>(n) >= list.size()) return nullptr;
  const Json::Value& e = list[static_cast<Json::ArrayIndex>(n)];
  return e.isObject() ? &e : nullptr;
}

// The store as it stands for an update: its document, or an empty object when it is missing; a
// store that cannot be read is kept aside first. False when it could not be moved.
bool DocumentForUpdate(const std::string& path, Json::Value& document) {
  const std::string text = profiles::ReadTextFile(path);
  document = Json::Value(Json::objectValue);
  if (text.empty()) return true;
  Json::Value parsed = profiles::ParseJson(text);
  if (Usable(parsed)) {
    document = std::move(parsed);
    return true;
  }
  const std::string aside = profiles::KeepAside(path);
  platform::Trace("palette store unreadable, kept aside: " + aside);
  return !aside.empty();
}

bool Update(const std::string& path, const std::function<void(Json::Value& root)>& change) {
  Json::Value document;
  if (!DocumentForUpdate(path, document)) return false;
  if (!document[kRoot].isObject()) document[kRoot] = Json::Value(Json::objectValue);
  change(document[kRoot]);
  return profiles::WriteJson(path, document);
}

}  // namespace

std::optional<std::uint32_t> ParseStoreColor(const Json::Value& value) {
  if (!value.isString()) return std::nullopt;
  const std::string s = value.asString();
  if (s.empty() || s.size() > 8) return std::nullopt;
  std::uint32_t v = 0;
  for (char c : s) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
    v = v << 4 | static_cast<std::uint32_t>(d);
  }
  return 0xFF000000u | v;
}

PaletteStore ReadPaletteStore(const Json::Value& document) {
  PaletteStore store;
  if (!document.isObject() || !document[kRoot].isObject()) return store;
  const Json::Value& root = document[kRoot];
  for (int n = 0; n < kPaletteSlots; ++n) {
    if (const Json::Value* e = Element(root, kPresets, n); e != nullptr && e->isMember("color"))
      store.presets[static_cast<std::size_t>(n)] = ParseStoreColor((*e)["color"]);
    if (const Json::Value* e = Element(root, kCollected, n); e != nullptr && e->isMember("color")) {
      CollectedSlot& slot = store.collected[static_cast<std::size_t>(n)];
      slot.color = ParseStoreColor((*e)["color"]);
      if (slot.color && (*e)["UserData"].isString()) slot.user_data = (*e)["UserData"].asString();
    }
  }
  store.preset_index = Index(root, kPresetIndex);
  store.collected_index = Index(root, kCollectedIndex);
  return store;
}

std::string PaletteStorePath(const std::string& folder) { return folder + kPaletteStoreName; }

Json::Value OpenPaletteStore(const std::string& store_path, const std::string& default_path) {
  const std::string text = profiles::ReadTextFile(store_path);
  if (!text.empty()) {
    Json::Value document = profiles::ParseJson(text);
    if (Usable(document)) return document;
    // The collected colours of a broken store are kept, not overwritten.
    const std::string aside = profiles::KeepAside(store_path);
    platform::Trace("palette store unreadable, kept aside: " + aside);
    if (aside.empty()) return Json::Value();  // could not be moved: it is neither read nor replaced
  }
  Json::Value defaults = profiles::ReadJson(default_path);
  if (!Usable(defaults)) {
    platform::Trace("no usable default palette store: " + default_path);
    return Json::Value();
  }
  if (!profiles::WriteJson(store_path, defaults)) platform::Trace("palette store not written: " + store_path);
  return defaults;
}

bool SavePalettePresets(const std::string& store_path, const std::array<std::uint32_t, kPaletteSlots>& colors,
                        int preset_index) {
  return Update(store_path, [&](Json::Value& root) {
    Json::Value& list = root[kPresets];
    if (!list.isArray()) list = Json::Value(Json::arrayValue);
    for (int n = 0; n < kPaletteSlots; ++n) {
      Json::Value& e = list[static_cast<Json::ArrayIndex>(n)];
      if (!e.isObject()) e = Json::Value(Json::objectValue);
      e["color"] = profiles::HexWord(colors[static_cast<std::size_t>(n)]);
    }
    root[kPresetIndex] = preset_index;
  });
}

bool SavePaletteCollected(const std::string& store_path, const std::array<CollectedColor, kPaletteSlots>& slots,
                          int collected_index) {
  return Update(store_path, [&](Json::Value& root) {
    Json::Value& list = root[kCollected];
    if (!list.isArray()) list = Json::Value(Json::arrayValue);
    for (int n = 0; n < kPaletteSlots; ++n) {
      Json::Value& e = list[static_cast<Json::ArrayIndex>(n)];
      if (!e.isObject()) e = Json::Value(Json::objectValue);
      e["color"] = profiles::HexWord(slots[static_cast<std::size_t>(n)].color);
      e["UserData"] = slots[static_cast<std::size_t>(n)].user_data;
    }
    root[kCollectedIndex] = collected_index;
  });
}

}  // namespace brimvex::lighting
