#include "profiles/device_profile_ui.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <optional>
#include <utility>

#include "platform/trace.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_controls.h"
#include "profiles/file_helpers.h"
#include "profiles/json_access.h"
#include "profiles/profile_document.h"
#include "profiles/profile_import.h"
#include "profiles/profile_list_file.h"

namespace brimvex::profiles {
namespace {

constexpr const char* kCombo = "device_profile_combo";
constexpr const char* kNameEdit = "device_profile_name_edit";
constexpr const char* kMenu = "profile_menu_layout";
constexpr int kItemHeight = 30;
constexpr int kHeadsetType = 7;

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
}

Json::Value& Entries(Json::Value& list) { return json::Slot(list, "profilelist"); }

// A profile document carrying the given name and identifier.
Json::Value Named(Json::Value document, const std::string& name, const std::string& identifier) {
  if (!document.isObject()) document = Json::Value(Json::objectValue);
  document["profilename"] = name;
  document["profileUUID"] = identifier;
  return document;
}

// The tabs each device type hides, and the ones it shows (the rest keep the layout's state).
struct TabRule {
  int type;
  std::vector<std::string_view> hidden;
  std::vector<std::string_view> shown;
};

const std::vector<TabRule>& TabRules() {
  static const std::vector<TabRule> rules = {
      {1, {"cursor_Op_tab"}, {}},
      {2, {}, {}},
      {3, {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"}, {}},
      {4, {"cursor_Op_tab", "macro_Op_tab", "key_Op_tab"}, {}},
      {5, {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"}, {}},
      {6, {}, {}},
      {7,
       {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"},
       {"6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"}},
  };
  return rules;
}

}  // namespace

CDeviceProfileUI::CDeviceProfileUI()
    : ui::Container("DeviceProfile", Direction::kVertical), identifier_source_([] { return NewIdentifier(); }) {
  // Options of one group are exclusive in the whole window; every page has its own tabs.
  static std::atomic<unsigned> instances{0};
  tab_group_ = "device_profile_tabs_" + std::to_string(instances++);
}

CDeviceProfileUI::~CDeviceProfileUI() = default;

void CDeviceProfileUI::SetDeviceType(int type) { device_type_ = type; }

void CDeviceProfileUI::SetFolders(std::string data_folder, std::string default_profile_path) {
  if (!data_folder.empty() && data_folder.back() != '/') data_folder += '/';
  data_folder_ = std::move(data_folder);
  default_profile_path_ = std::move(default_profile_path);
}

void CDeviceProfileUI::SetCurrentIdListener(std::function<void(const std::string&)> listener) {
  current_id_listener_ = std::move(listener);
}

void CDeviceProfileUI::SetIdentifierSource(std::function<std::string()> source) {
  identifier_source_ = std::move(source);
}

std::string CDeviceProfileUI::ListPath() const { return data_folder_ + std::string(kProfileListFileName); }

// --- Controls ---

ui::Combo* CDeviceProfileUI::ComboBox() const {
  if (combo_ == nullptr) combo_ = dynamic_cast<ui::Combo*>(const_cast<CDeviceProfileUI*>(this)->FindControl(kCombo));
  return combo_;
}

ui::Edit* CDeviceProfileUI::NameEdit() const {
  if (name_edit_ == nullptr)
    name_edit_ = dynamic_cast<ui::Edit*>(const_cast<CDeviceProfileUI*>(this)->FindControl(kNameEdit));
  return name_edit_;
}

ui::Control* CDeviceProfileUI::MenuLayout() const {
  if (menu_ == nullptr) menu_ = const_cast<CDeviceProfileUI*>(this)->FindControl(kMenu);
  return menu_;
}

ui::Option* CDeviceProfileUI::Tab(int n) const {
  if (n < 1 || n > kTabCount) return nullptr;
  ui::Option*& tab = tabs_[static_cast<std::size_t>(n - 1)];
  if (tab == nullptr) {
    tab = dynamic_cast<ui::Option*>(
        const_cast<CDeviceProfileUI*>(this)->FindControl(kTabNames[static_cast<std::size_t>(n - 1)]));
    if (tab != nullptr) tab->SetGroup(tab_group_);
  }
  return tab;
}

std::string CDeviceProfileUI::GetNameText() {
  ui::Edit* edit = NameEdit();
  return edit != nullptr ? edit->Text() : std::string();
}

void CDeviceProfileUI::SetNameText(const std::string& text) {
  if (ui::Edit* edit = NameEdit()) edit->SetText(text);
}

void CDeviceProfileUI::ShowMenu(bool on) {
  if (ui::Control* menu = MenuLayout()) menu->SetVisible(on);
}

bool CDeviceProfileUI::IsMenuShown() {
  ui::Control* menu = MenuLayout();
  return menu != nullptr && menu->IsVisible();
}

void CDeviceProfileUI::SelectTab(int n) {
  if (n < 1 || n > kTabCount) return;
  for (int i = 1; i <= kTabCount; ++i) {
    if (ui::Option* tab = Tab(i)) tab->Selected(i == n, false);
  }
}

void CDeviceProfileUI::ShowTabsOfType() {
  const auto& rules = TabRules();
  const auto rule = std::find_if(rules.begin(), rules.end(), [&](const TabRule& r) { return r.type == device_type_; });
  if (rule == rules.end()) return;
  for (int i = 1; i <= kTabCount; ++i) {
    ui::Option* tab = Tab(i);
    if (tab == nullptr) continue;
    const std::string_view name = kTabNames[static_cast<std::size_t>(i - 1)];
    if (std::find(rule->hidden.begin(), rule->hidden.end(), name) != rule->hidden.end()) tab->SetVisible(false);
    if (std::find(rule->shown.begin(), rule->shown.end(), name) != rule->shown.end()) tab->SetVisible(true);
  }
}

// --- The list ---

std::optional<CDeviceProfileUI::Change> CDeviceProfileUI::Prepare(Json::Value& list) {
  if (ComboBox() == nullptr || data_folder_.empty()) return Change::kUnchanged;
  if (!ReadFresh(list)) return Change::kFailed;
  return std::nullopt;
}

bool CDeviceProfileUI::ReadFresh(Json::Value& list) {
  ProfileListRead read = ReadProfileList(ListPath());
  if (!read.usable) {
    platform::Trace("profile list unusable, nothing changed: " + ListPath());
    return false;
  }
  list = std::move(read.document);
  list_ = list;
  MirrorItems(list);
  return true;
}

void CDeviceProfileUI::MirrorItems(const Json::Value& list) {
  ui::Combo* combo = ComboBox();
  if (combo == nullptr) return;
  const int count = EntryCount(list);
  bool same = static_cast<int>(combo->Count()) == count;
  for (int i = 0; same && i < count; ++i)
    same = combo->ChildAt(static_cast<std::size_t>(i))->Text() == EntryName(list, i);
  if (same) return;
  combo->RemoveAll();
  for (int i = 0; i < count; ++i) {
    const std::string name = EntryName(list, i);
    combo->AddItem(name, name)->SetFixedSize(0, kItemHeight);
  }
  int selected = -1;
  for (int i = 0; i < count && !current_id_.empty(); ++i)
    if (EntryIdentifier(list, i) == current_id_) selected = i;
  combo->SelectItem(selected, false);
}

int CDeviceProfileUI::SelectedIndex(const Json::Value& list) const {
  const int count = EntryCount(list);
  for (int i = 0; i < count && !current_id_.empty(); ++i)
    if (EntryIdentifier(list, i) == current_id_) return i;
  const int sel = GetCurSel();
  return sel < count ? sel : -1;
}

bool CDeviceProfileUI::NameTaken(const Json::Value& list, std::string_view name, int except) {
  const int count = EntryCount(list);
  for (int i = 0; i < count; ++i)
    if (i != except && SameProfileName(EntryName(list, i), name)) return true;
  return false;
}

std::string CDeviceProfileUI::FreeProfileName(const Json::Value& list) const {
  for (int n = 1;; ++n) {
    std::string candidate = "profile" + std::to_string(n);
    if (!NameTaken(list, candidate)) return candidate;
  }
}

std::string CDeviceProfileUI::UniqueName(const Json::Value& list, std::string candidate, bool numbered) const {
  for (int k = 1; NameTaken(list, candidate); ++k) candidate += numbered ? "(" + std::to_string(k) + ")" : " copy";
  return candidate;
}

std::string CDeviceProfileUI::FreshIdentifier() {
  std::string id = identifier_source_();
  // Another run, or a clock set back, may have left a file under the same identifier.
  while (IsIdentifier(id) && Exists(ProfileFilePath(data_folder_, id))) id = identifier_source_();
  return id;
}

bool CDeviceProfileUI::WriteList(const Json::Value& list) {
  if (!WriteJson(ListPath(), list)) return false;
  list_ = list;
  return true;
}

CDeviceProfileUI::Change CDeviceProfileUI::AddProfile(Json::Value& list, Json::Value document, const std::string& name,
                                                      const std::string& identifier, bool select_it) {
  const std::string path = ProfileFilePath(data_folder_, identifier);
  if (path.empty() || !WriteJson(path, Named(std::move(document), name, identifier))) return Change::kFailed;
  Json::Value& entries = Entries(list);
  entries.append(MakeEntry(name, identifier));
  if (select_it) list["profileselect"] = static_cast<int>(entries.size()) - 1;
  if (!WriteList(list)) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    return Change::kFailed;
  }
  if (ui::Combo* combo = ComboBox()) combo->AddItem(name, name)->SetFixedSize(0, kItemHeight);
  return Change::kDone;
}

bool CDeviceProfileUI::MendEntries(Json::Value& list) {
  Json::Value& entries = Entries(list);
  bool changed = false;
  std::vector<std::string> seen;
  for (Json::ArrayIndex i = 0; i < entries.size(); ++i) {
    Json::Value& entry = entries[i];
    if (!entry.isObject()) {
      platform::Trace("profile list entry " + std::to_string(i) + " is not an object; made a new profile");
      entry = Json::Value(Json::objectValue);
      changed = true;
    }
    if (!entry["profilename"].isString() || IsBlank(entry["profilename"].asString())) {
      entry["profilename"] = FreeProfileName(list);
      changed = true;
    }
    const std::string id = json::String(json::Get(&entry, "profileUUID"));
    const bool repeated = std::find(seen.begin(), seen.end(), id) != seen.end();
    if (IsIdentifier(id) && !repeated) {
      seen.push_back(id);
      continue;
    }
    // A refused identifier gets a file made from the default; a repeated one a copy of the
    // file it shares, so deleting one of the two no longer removes the other's file.
    const std::string fresh = FreshIdentifier();
    platform::Trace("profile identifier \"" + FromUtf8(id) + "\" " + (repeated ? "repeated" : "refused") +
                    "; the profile is now " + fresh);
    Json::Value source = ReadJson(repeated ? ProfileFilePath(data_folder_, id) : default_profile_path_);
    const std::string path = ProfileFilePath(data_folder_, fresh);
    if (path.empty() || !WriteJson(path, Named(std::move(source), entry["profilename"].asString(), fresh))) continue;
    entry["profileUUID"] = fresh;
    seen.push_back(fresh);
    changed = true;
  }
  return changed;
}

bool CDeviceProfileUI::ClampSelection(Json::Value& list) {
  const int count = EntryCount(list);
  if (count == 0) return false;
  const Json::Value& stored = list["profileselect"];
  const bool integral = stored.isIntegral();
  const std::int64_t index = std::clamp<std::int64_t>(integral ? stored.asInt64() : 0, 0, count - 1);
  if (integral && stored.asInt64() == index) return false;
  platform::Trace("profileselect " + (integral ? std::to_string(stored.asInt64()) : std::string("not an integer")) +
                  " -> " + std::to_string(index));
  list["profileselect"] = static_cast<int>(index);
  return true;
}

void CDeviceProfileUI::Load() {
  if (data_folder_.empty()) {
    platform::Trace("profile list without a data folder");
    return;
  }
  const std::string path = ListPath();
  ProfileListRead read = ReadProfileList(path);
  Json::Value list = read.usable ? std::move(read.document) : Json::Value();
  bool writable = true;
  bool changed = false;
  if (EntryCount(list) == 0) {
    // Nothing usable: a one-entry list. Bytes that did not form a list are kept aside first.
    if (read.keep_aside && KeepAside(path).empty()) writable = false;
    list = Json::Value(Json::objectValue);
    Entries(list) = Json::Value(Json::arrayValue);
    const std::string id = FreshIdentifier();
    const std::string file = ProfileFilePath(data_folder_, id);
    // The new profile's file holds only its name and identifier; the device's first load adds
    // the default section.
    if (writable && !file.empty() && !WriteJson(file, Named(Json::Value(), "profile1", id)))
      platform::Trace("first profile not written: " + file);
    Entries(list).append(MakeEntry("profile1", id));
    list["profileselect"] = 0;
    changed = true;
  }
  changed |= MendEntries(list);
  changed |= ClampSelection(list);
  if (changed && writable && !WriteJson(path, list)) platform::Trace("profile list not written: " + path);
  list_ = list;
  if (ui::Combo* combo = ComboBox()) {
    combo->RemoveAll();
    current_id_.clear();
    MirrorItems(list);
  }
  Select(list["profileselect"].asInt(), false);
  ShowTabsOfType();
}

bool CDeviceProfileUI::Select(int index, bool notify) {
  return SelectWithoutStoring(index, notify) && StoreSelection();
}

bool CDeviceProfileUI::SelectWithoutStoring(int index, bool notify) {
  ProfileListRead read = ReadProfileList(ListPath());
  Json::Value list = read.usable ? std::move(read.document) : list_;
  unstored_ = -1;
  if (index < 0 || index >= EntryCount(list)) return false;
  current_id_ = EntryIdentifier(list, index);
  if (read.usable) {
    unstored_ = index;
  } else {
    platform::Trace("profile list unusable, selection not stored: " + ListPath());
  }
  MirrorItems(list);
  if (ui::Combo* combo = ComboBox()) {
    if (index < static_cast<int>(combo->Count())) {
      SetNameText(combo->ChildAt(static_cast<std::size_t>(index))->Text());
      // A notified selection is always raised, even when the item is selected already.
      if (notify) combo->SelectItem(-1, false);
      combo->SelectItem(index, notify);
    }
  }
  ReportCurrentId();
  return true;
}

bool CDeviceProfileUI::StoreSelection() {
  const int index = std::exchange(unstored_, -1);
  if (index < 0) return false;
  // The file is read afresh: another page of the kind may have changed it meanwhile.
  ProfileListRead read = ReadProfileList(ListPath());
  if (!read.usable || index >= EntryCount(read.document) || EntryIdentifier(read.document, index) != current_id_) {
    platform::Trace("profile list changed, selection not stored: " + ListPath());
    return false;
  }
  read.document["profileselect"] = index;
  return WriteList(read.document);
}

void CDeviceProfileUI::ReportCurrentId() {
  if (current_id_listener_) current_id_listener_(current_id_);
}

int CDeviceProfileUI::GetCurSel() const {
  const ui::Combo* combo = ComboBox();
  return combo != nullptr ? combo->CurSel() : -1;
}

int CDeviceProfileUI::Count() {
  ProfileListRead read = ReadProfileList(ListPath());
  second_ = read.usable ? std::move(read.document) : Json::Value();
  return EntryCount(second_);
}

std::string CDeviceProfileUI::PathOf(int index) {
  Count();
  if (index < 0 || index >= EntryCount(second_)) return {};
  return ProfileFilePath(data_folder_, EntryIdentifier(second_, index));
}

std::vector<std::string> CDeviceProfileUI::Column(std::string (*member)(const Json::Value&, int)) {
  Json::Value list;
  if (!ReadFresh(list)) list = list_;
  std::vector<std::string> column;
  for (int i = 0; i < EntryCount(list); ++i) column.push_back(member(list, i));
  return column;
}

std::vector<std::string> CDeviceProfileUI::Names() { return Column(&EntryName); }

std::vector<std::string> CDeviceProfileUI::Identifiers() { return Column(&EntryIdentifier); }

int CDeviceProfileUI::IndexOfName(std::string_view name) {
  const std::vector<std::string> names = Names();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (SameProfileName(names[i], name)) return static_cast<int>(i);
  return -1;
}

// --- Operations ---

CDeviceProfileUI::Change CDeviceProfileUI::Add() {
  Json::Value list;
  if (const auto stop = Prepare(list)) return *stop;
  if (EntryCount(list) >= kMaxAddedProfiles) return Change::kUnchanged;
  const std::string name = FreeProfileName(list);
  return AddProfile(list, ReadJson(default_profile_path_), name, FreshIdentifier(), true);
}

CDeviceProfileUI::Change CDeviceProfileUI::Copy() {
  Json::Value list;
  if (const auto stop = Prepare(list)) return *stop;
  const int sel = SelectedIndex(list);
  if (sel < 0) return Change::kUnchanged;
  const std::string name = UniqueName(list, EntryName(list, sel) + " copy", false);
  // A source whose identifier is refused is not read: the copy starts from its name alone.
  const std::string source = ProfileFilePath(data_folder_, EntryIdentifier(list, sel));
  return AddProfile(list, source.empty() ? Json::Value() : ReadJson(source), name, FreshIdentifier(), false);
}

int CDeviceProfileUI::Rename(const std::string& name) {
  Json::Value list;
  if (Prepare(list)) return kRenameFailed;
  const int sel = SelectedIndex(list);
  if (sel < 0) return kRenameFailed;
  if (IsBlank(name)) return kNameBlank;
  if (NameTaken(list, name, sel)) return kNameUsed;
  Entries(list)[static_cast<Json::ArrayIndex>(sel)]["profilename"] = name;
  if (!WriteList(list)) return kRenameFailed;
  ui::Control* item = ComboBox()->ChildAt(static_cast<std::size_t>(sel));
  item->SetText(name);
  item->SetUserData(name);
  SetNameText(name);
  // The file repeats the name; a file that is missing or not a usable profile is left alone.
  const std::string path = ProfileFilePath(data_folder_, EntryIdentifier(list, sel));
  if (!path.empty()) {
    ProfileDocument doc = ReadProfileDocument(path);
    if (doc.document.isObject()) {
      doc.document["profilename"] = name;
      if (!WriteJson(path, doc.document)) platform::Trace("profile name not written into " + path);
    }
  }
  return kRenamed;
}

CDeviceProfileUI::Change CDeviceProfileUI::Delete() {
  Json::Value list;
  if (const auto stop = Prepare(list)) return *stop;
  return DeleteAt(SelectedIndex(list));
}

CDeviceProfileUI::Change CDeviceProfileUI::DeleteAt(int index) {
  Json::Value list;
  if (const auto stop = Prepare(list)) return *stop;
  const int count = EntryCount(list);
  const int sel = SelectedIndex(list);
  if (sel < 0 || index < 0 || index >= count || count <= 1) return Change::kUnchanged;
  const bool selected = index == sel;
  const int next = selected ? (sel == 0 ? 0 : sel - 1) : (index < sel ? sel - 1 : sel);
  const std::string id = EntryIdentifier(list, index);
  Json::Value removed;
  Entries(list).removeIndex(static_cast<Json::ArrayIndex>(index), &removed);
  list["profileselect"] = next;
  // The entry goes first: a kill before the file is removed leaves an unlisted file, never an
  // entry without its file.
  if (!WriteList(list)) return Change::kFailed;
  if (const std::string path = ProfileFilePath(data_folder_, id); !path.empty()) {
    std::error_code ec;
    if (!std::filesystem::remove(path, ec) && ec) platform::Trace("profile file not removed: " + path);
  }
  ui::Combo* combo = ComboBox();
  combo->Remove(combo->ChildAt(static_cast<std::size_t>(index)));
  if (selected) {
    // The selection moves and the drop-down tells it, so the device follows.
    Select(next, true);
  } else {
    combo->SelectItem(next, false);
  }
  return Change::kDone;
}

CDeviceProfileUI::Change CDeviceProfileUI::Reset() {
  Json::Value list;
  if (const auto stop = Prepare(list)) return *stop;
  const int sel = SelectedIndex(list);
  if (sel < 0) return Change::kUnchanged;
  const std::string path = ProfileFilePath(data_folder_, EntryIdentifier(list, sel));
  Json::Value defaults = ReadJson(default_profile_path_);
  if (path.empty() || !defaults.isObject()) {
    if (!defaults.isObject()) platform::Trace("no default profile to reset to: " + default_profile_path_);
    return Change::kFailed;
  }
  Json::Value document = Named(std::move(defaults), EntryName(list, sel), EntryIdentifier(list, sel));
  if (device_type_ == kHeadsetType) {
    // Custom equalisers survive a reset.
    const Json::Value current = ReadJson(path);
    const Json::Value* section = json::Get(json::Get(&current, "Device"), 0);
    for (const char* key : {"CustomEQNameInfo", "CustomEQHzValueInfo"}) {
      const Json::Value* kept = json::Get(section, key);
      if (!json::IsNull(kept)) json::Slot(json::Slot(json::Slot(document, "Device"), 0), key) = *kept;
    }
  }
  return WriteJson(path, document) ? Change::kDone : Change::kFailed;
}

CDeviceProfileUI::ImportResult CDeviceProfileUI::Import(const std::string& path) {
  ImportResult result;
  Json::Value list;
  if (const auto stop = Prepare(list)) {
    result.change = *stop;
    return result;
  }
  if (SelectedIndex(list) < 0) return result;
  ImportFile file = ReadImportFile(path);
  if (!file.refusal_key.empty()) {
    result.refusal_key = std::move(file.refusal_key);
    return result;
  }
  std::string title = FileTitle(path);
  if (IsBlank(title)) title = "profile";
  result.name = UniqueName(list, title, true);
  result.identifier = FreshIdentifier();
  result.change = AddProfile(list, std::move(file.document), result.name, result.identifier, false);
  return result;
}

CDeviceProfileUI::Change CDeviceProfileUI::Export(const std::string& path) {
  Json::Value list;
  if (const auto stop = Prepare(list)) return *stop;
  return ExportAt(SelectedIndex(list), path);
}

CDeviceProfileUI::Change CDeviceProfileUI::ExportAt(int index, const std::string& path) {
  Json::Value list;
  if (path.empty()) return Change::kUnchanged;
  if (const auto stop = Prepare(list)) return *stop;
  if (index < 0 || index >= EntryCount(list)) return Change::kUnchanged;
  const std::string source = ProfileFilePath(data_folder_, EntryIdentifier(list, index));
  if (source.empty()) return Change::kFailed;
  // The list itself is no place for a profile: writing one over it would unlist every profile.
  std::error_code ec;
  if (std::filesystem::weakly_canonical(path, ec) == std::filesystem::weakly_canonical(ListPath(), ec)) {
    platform::Trace("profile not exported over the profile list: " + path);
    return Change::kFailed;
  }
  const Json::Value document = ReadJson(source);
  if (!document.isObject()) {
    platform::Trace("profile not exported, its file is not a profile: " + source);
    return Change::kFailed;
  }
  return WriteJson(path, document) ? Change::kDone : Change::kFailed;
}

}  // namespace brimvex::profiles
