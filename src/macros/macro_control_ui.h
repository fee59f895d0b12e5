#pragma once
// CMacroControlUI: the macro editor of the keyboard and mouse pages. It shows the store's macros
// in "macro_name_list" and the selected macro's events as rows of "macro_action_list" (a working
// copy until SaveMacro), and turns recorded input into rows. Its controls come from
// "XML/CustomControlXML/MacroControl.xml", built inside it.
#include <json/value.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "macros/macro_files.h"
#include "macros/macro_store.h"
#include "platform/input_capture.h"
#include "platform/ui/container.h"

namespace brimvex::ui {
class Edit;
class List;
class ListElement;
class Option;
}  // namespace brimvex::ui

namespace brimvex::macros {

inline constexpr std::size_t kMaxActionRows = 4000;
inline constexpr std::uint32_t kInitialFixedDelay = 50;

enum class Placement { kAppend = 0, kBefore = 1, kAfter = 2, kReplace = 3 };
// Recording delay modes.
inline constexpr int kDelayRecorded = 1, kDelayConstant = 2, kDelayNone = 3;

// The language text key naming a key event (type 9 by modifier bit, type 10 by keyboard usage);
// "" for a value no key has.
using KeyNamer = std::function<std::string(std::uint8_t type, std::uint8_t button)>;

class CMacroControlUI : public ui::Container {
 public:
  CMacroControlUI();

  // Finds the controls; runs by itself when the layout arrives. False when one is missing.
  bool BindControls();
  bool Bound() const { return bound_; }

  // SetFolder: the store of the page's device.
  void SetStore(std::shared_ptr<MacroStore> store) { store_ = std::move(store); }
  const std::shared_ptr<MacroStore>& Store() const { return store_; }
  void SetKeyNamer(KeyNamer namer) { namer_ = std::move(namer); }
  // The loop's clock, for the start of a recording.
  void SetClock(std::function<std::chrono::milliseconds()> now) { now_ = std::move(now); }

  void LoadList();
  // Reads the store into the list again when its entries changed since the list was read (a
  // macro added by hand); the selected macro stays selected with its rows untouched, or, gone
  // from the store, its rows go. False (nothing done) when nothing changed, the store cannot be
  // read or a recording runs.
  bool CatchUpWithStore();
  std::vector<std::string> GetNames() const { return names_; }
  int GetSelectedMacro() const;
  // Selects entry `index` of the name list and shows it.
  bool SelectMacro(int index);
  void ShowSelectedMacro();
  void LoadEvents(const Json::Value& document);

  std::string AddMacro();
  struct Imported {
    std::string name;  // "" when nothing was added
    int index = -1;
    ImportFault fault = ImportFault::kNone;
  };
  Imported ImportMacro(const std::string& path);
  bool ExportMacro(const std::string& path);
  std::pair<int, std::string> RenameMacro();
  int DeleteMacro();
  // 0, or the row count when above 250 (nothing written then).
  int SaveMacro();

  void MoveActionTop();
  void MoveActionBottom();
  void MoveActionUp();
  void MoveActionDown();
  void DeleteAction();
  void DeleteAllActions();
  void InsertMouseEvent(std::uint32_t message, int variant);

  // The rows as they stand.
  std::size_t RowCount() const;
  ui::ListElement* Row(std::size_t k) const;
  Json::Value RowEvent(std::size_t k) const;
  std::string RowDelay(std::size_t k) const;
  int SelectedRow() const;
  bool SelectRow(int k);

  // Recording.
  void StartRecording(int delay_mode);
  void EndRecording();
  bool Recording() const { return recording_; }
  bool IsConstantDelayChecked() const;
  // "macro_check_desktop": record from the desktop's input devices; offered only when they can be
  // read.
  bool IsDesktopCaptureChecked() const;
  void OfferDesktopCapture(bool offered);
  void ReadFixedDelay();
  std::uint32_t FixedDelay() const { return fixed_delay_; }
  int DelayMode() const { return delay_mode_; }
  void RecordKey(Placement placement, const platform::KeyRecord& record);
  void RecordMouse(Placement placement, const platform::MouseRecord& record);

 protected:
  void ChildrenChanged() override;

 private:
  std::unique_ptr<ui::ListElement> MakeRow(const Json::Value& event) const;
  void InsertRow(std::size_t at, std::unique_ptr<ui::ListElement> row);
  void ClearRows();
  void SetRowDelay(std::size_t k, std::uint32_t delay);
  void MoveRow(int from, int to);
  void EnableMacroControls(bool enabled);
  void PlaceRecorded(Placement placement, const Json::Value& event, std::chrono::milliseconds time);
  void ReplaceSelected(const Json::Value& event);
  std::chrono::milliseconds Now() const { return now_ ? now_() : std::chrono::milliseconds(0); }

  bool bound_ = false;
  std::shared_ptr<MacroStore> store_;
  KeyNamer namer_;
  std::function<std::chrono::milliseconds()> now_;
  std::vector<std::string> names_;

  int delay_mode_ = kDelayRecorded;
  std::uint32_t fixed_delay_ = kInitialFixedDelay;
  std::chrono::milliseconds last_event_{0};
  bool event_recorded_ = false;
  bool recording_ = false;
  // The last press each key handler took, and the last message each mouse handler took.
  std::array<std::pair<std::uint8_t, bool>, 4> last_key_{};
  std::array<std::uint32_t, 4> last_mouse_{};

  ui::List* name_list_ = nullptr;
  ui::List* action_list_ = nullptr;
  ui::Edit* name_edit_ = nullptr;
  ui::Edit* fixed_delay_edit_ = nullptr;
  ui::Option* constant_delay_ = nullptr;
  ui::Option* desktop_option_ = nullptr;  // "macro_check_desktop", if the layout has it
};

// Whether a file event names a key or button (types 9 and 10 keyboard, 1-5 mouse).
bool IsKeyboardEvent(const Json::Value& event);

}  // namespace brimvex::macros

namespace brimvex::macros {
struct HookMessage;
// Hands a recording hook message to the editor's handler of its kind and placement; false for a
// message that is not one of the eight.
bool DeliverHookMessage(CMacroControlUI& editor, const HookMessage& message);
}  // namespace brimvex::macros
