#pragma once
// CDeviceProfileUI (skin class "DeviceProfile", the page child "DeviceProfileItem"): the profile
// list of one device kind and the row of function tabs of its page.
//
// The list lives in "ProfileList.ini" of the device data folder; every profile has a file named
// by its identifier. Each operation reads the list afresh, changes it and writes it back whole
// (atomically), so the file is the reference and the drop-down "device_profile_combo" a mirror
// of it: one item per entry, in list order. Files are written in an order that a kill between
// two writes leaves at most a profile file that no entry names: a new profile's file before its
// entry, a deleted profile's entry before its file.
//
// The control never talks to a device. It reports the current identifier to a listener (the
// device's current profile name) after Load and every Select; the caller applies a profile to
// the device after a switch, a Reset or a Delete of the selected profile.
#include <json/value.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/container.h"

namespace brimvex::ui {
class Combo;
class Edit;
class Option;
}  // namespace brimvex::ui

namespace brimvex::profiles {

// The layout of the control, relative to the skin folder.
inline constexpr std::string_view kDeviceProfileLayout = "XML/CustomControlXML/DeviceProfile.xml";

class CDeviceProfileUI : public ui::Container {
 public:
  // Add stops at this many profiles; Copy and Import do not.
  static constexpr int kMaxAddedProfiles = 50;
  static constexpr int kTabCount = 8;
  // The function tabs in the order of SelectTab's numbers 1 to 8.
  static constexpr std::array<std::string_view, kTabCount> kTabNames = {
      "deng_Op_tab",   "key_Op_tab",        "macro_Op_tab", "system_Op_tab",
      "cursor_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"};

  // What an operation did. kUnchanged: it had nothing to do (no drop-down, no selection, the
  // limit reached, the last profile); kFailed: a file could not be written, nothing changed.
  enum class Change { kDone, kUnchanged, kFailed };
  // Rename's results: 1 renamed, 0 the name is used by another profile, 2 the name is blank;
  // -1 nothing selected or the list could not be written.
  enum RenameResult : int { kRenameFailed = -1, kNameUsed = 0, kRenamed = 1, kNameBlank = 2 };
  struct ImportResult {
    Change change = Change::kUnchanged;
    std::string refusal_key;  // text key of the reason when the file was refused
    std::string identifier;   // the new profile's
    std::string name;
  };

  CDeviceProfileUI();
  ~CDeviceProfileUI() override;

  // --- Set-up, by the device when it builds its page ---
  void SetDeviceType(int type);
  int DeviceType() const { return device_type_; }
  // The device data folder (ending with "/") and the device kind's default profile.
  void SetFolders(std::string data_folder, std::string default_profile_path);
  const std::string& DataFolder() const { return data_folder_; }
  // Reads the list (or makes a one-entry list), mends what a hand edit broke, fills the
  // drop-down, selects the stored profile and shows the tabs of the device type.
  void Load();
  // Called with the current identifier after Load and every Select.
  void SetCurrentIdListener(std::function<void(const std::string&)> listener);
  // Where new identifiers come from (NewIdentifier unless a test sets one).
  void SetIdentifierSource(std::function<std::string()> source);

  // --- The list ---
  // Selects entry `index` and stores it as "profileselect"; the drop-down raises its "itemselect"
  // only when `notify` is set. False when there is no such entry or the list was not written.
  bool Select(int index, bool notify);
  // Select in two halves: the entry becomes the current one (drop-down, name field, listener)
  // at once, and "profileselect" is written by StoreSelection. A switch puts the profile on the
  // device in between, so the device does not wait for the list file. StoreSelection is false
  // when nothing waits, the entry has gone or moved, or the list was not written.
  bool SelectWithoutStoring(int index, bool notify);
  bool StoreSelection();
  // The drop-down's selected index; -1 without a selection or a drop-down.
  int GetCurSel() const;
  const std::string& GetCurrentId() const { return current_id_; }
  // Number of entries, from the file.
  int Count();
  // Data folder + the entry's identifier + ".Json"; "" when there is no such entry or its
  // identifier is refused.
  std::string PathOf(int index);
  // The entries' names and identifiers in list order, read afresh, and the index of a name (case
  // ignored), -1 when none has it.
  std::vector<std::string> Names();
  std::vector<std::string> Identifiers();
  int IndexOfName(std::string_view name);

  // --- Operations of the buttons ---
  [[nodiscard]] Change Add();
  [[nodiscard]] Change Copy();
  [[nodiscard]] int Rename(const std::string& name);
  // Removes the selected profile; the selection moves to the one before it (the first stays
  // first) and the drop-down raises "itemselect" for it, so the device is switched.
  [[nodiscard]] Change Delete();
  // The same for any entry; deleting another than the selected one leaves the selection.
  [[nodiscard]] Change DeleteAt(int index);
  // Gives the selected profile the default settings (name and identifier stay; a headset keeps
  // its custom equalisers). The caller applies the profile to the device afterwards.
  [[nodiscard]] Change Reset();
  [[nodiscard]] ImportResult Import(const std::string& path);
  [[nodiscard]] Change Export(const std::string& path);
  // The same for any entry; the selection stays.
  [[nodiscard]] Change ExportAt(int index, const std::string& path);

  // --- Controls ---
  std::string GetNameText();
  void SetNameText(const std::string& text);
  void ShowMenu(bool on);
  bool IsMenuShown();
  // Selects function tab n (1 to 8) and clears the other seven; other values change nothing.
  void SelectTab(int n);

 private:
  std::string ListPath() const;
  ui::Combo* ComboBox() const;
  ui::Edit* NameEdit() const;
  ui::Control* MenuLayout() const;
  ui::Option* Tab(int n) const;
  // Ready to change the list: nullopt with the list read, else what the operation returns.
  std::optional<Change> Prepare(Json::Value& list);
  // Reads the list into `list`; false (traced) when the file is not a usable list. Brings the
  // drop-down in line with the entries.
  bool ReadFresh(Json::Value& list);
  void MirrorItems(const Json::Value& list);
  // Index of the current profile in `list`: by identifier, else the drop-down's selection.
  int SelectedIndex(const Json::Value& list) const;
  // The lowest-numbered free "profile%d", and a name made unique by appending `suffix` (" copy")
  // or "(k)" as often as needed.
  std::string FreeProfileName(const Json::Value& list) const;
  std::string UniqueName(const Json::Value& list, std::string candidate, bool numbered) const;
  // One member of every entry, from the file (or the last usable list).
  std::vector<std::string> Column(std::string (*member)(const Json::Value&, int));
  static bool NameTaken(const Json::Value& list, std::string_view name, int except = -1);
  // A new identifier whose file does not exist yet.
  std::string FreshIdentifier();
  // Writes a new profile's file and then the list with its entry appended; the file goes again
  // when the list cannot be written.
  Change AddProfile(Json::Value& list, Json::Value document, const std::string& name, const std::string& identifier,
                    bool select_it);
  bool WriteList(const Json::Value& list);
  // Load's repairs: entries that are not objects, have no name, or whose identifier is refused
  // or repeated get a name and a new identifier with a file; "profileselect" is clamped.
  bool MendEntries(Json::Value& list);
  static bool ClampSelection(Json::Value& list);
  void ShowTabsOfType();
  void ReportCurrentId();

  int device_type_ = 0;
  std::string data_folder_;
  std::string default_profile_path_;
  std::string current_id_;
  Json::Value list_;    // the last usable list read
  int unstored_ = -1;   // an entry selected by SelectWithoutStoring, not yet stored
  Json::Value second_;  // the copy read by Count and PathOf
  std::string tab_group_;
  std::function<void(const std::string&)> current_id_listener_;
  std::function<std::string()> identifier_source_;
  mutable ui::Combo* combo_ = nullptr;
  mutable ui::Edit* name_edit_ = nullptr;
  mutable ui::Control* menu_ = nullptr;
  mutable std::array<ui::Option*, kTabCount> tabs_{};
};

}  // namespace brimvex::profiles
