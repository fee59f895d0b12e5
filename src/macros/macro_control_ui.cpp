#include "macros/macro_control_ui.h"

#include <algorithm>
#include <cctype>

#include "macros/device_hook.h"
#include "macros/macro_tables.h"
#include "platform/trace.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_controls.h"
#include "profiles/file_helpers.h"
#include "profiles/json_access.h"

namespace brimvex::macros {
namespace json = profiles::json;

namespace {

constexpr int kRowHeight = 30;
constexpr const char* kKeyboardStyle = "macro_label_keyboard_style";
constexpr const char* kMouseStyle = "macro_label_mouse_style";
constexpr const char* kDownStyle = "macro_label_down_style";
constexpr const char* kUpStyle = "macro_label_up_style";
constexpr const char* kTextStyle = "macro_label_text_style";
// The label text of a press and a release.
constexpr const char* kDownTextKey = "macro_action_down_text";
constexpr const char* kUpTextKey = "macro_action_up_text";
// Controls that follow whether a macro is shown.
constexpr std::array<const char*, 5> kMacroControls = {"macro_action_layout", "mouse_move_layout", "macro_btn_export",
                                                       "macro_btn_name_sub", "macro_btn_name_edit"};

// Leading decimal digits as a number, capped at `cap`; 0 without digits.
std::uint32_t LeadingNumber(const std::string& text, std::uint32_t cap) {
  std::uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    v = std::min<std::uint64_t>(v * 10 + static_cast<std::uint64_t>(c - '0'), std::uint64_t{cap} + 1);
  }
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(v, cap));
}

void ApplyStyle(ui::Control& c, const char* style) {
  c.SetAttribute("style", style);
  // The styles' colours: keys light, mouse events blue, presses green, releases orange.
  const std::string_view s = style;
  const std::uint32_t color = s == kMouseStyle ? 0xFF6EB4FF
                              : s == kDownStyle ? 0xFF7CD67C
                              : s == kUpStyle   ? 0xFFF0A050
                                                : 0xFFE6E6E6;
  c.SetTextColor(color);
}

bool IsBlank(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isspace(c) != 0; });
}

}  // namespace

bool IsKeyboardEvent(const Json::Value& event) {
  const std::int64_t t = json::Int(json::Get(&event, "Type"));
  return t == kTypeModifier || t == kTypeKey;
}

CMacroControlUI::CMacroControlUI() : ui::Container("MacroControl", Direction::kVertical) {}

void CMacroControlUI::ChildrenChanged() {
  if (!bound_ && FindControl("macro_action_list") != nullptr) BindControls();
}

bool CMacroControlUI::BindControls() {
  name_list_ = dynamic_cast<ui::List*>(FindControl("macro_name_list"));
  action_list_ = dynamic_cast<ui::List*>(FindControl("macro_action_list"));
  name_edit_ = dynamic_cast<ui::Edit*>(FindControl("macro_edit_macroname"));
  fixed_delay_edit_ = dynamic_cast<ui::Edit*>(FindControl("macro_fixed_time_edit"));
  constant_delay_ = dynamic_cast<ui::Option*>(FindControl("macro_check_time"));
  desktop_option_ = dynamic_cast<ui::Option*>(FindControl("macro_check_desktop"));
  bound_ = name_list_ != nullptr && action_list_ != nullptr && name_edit_ != nullptr && fixed_delay_edit_ != nullptr &&
           constant_delay_ != nullptr;
  for (const char* n : kMacroControls) bound_ = bound_ && FindControl(n) != nullptr;
  for (const char* n : {"mouse_x_left_edit", "mouse_x_right_edit", "mouse_y_up_edit", "mouse_y_down_edit",
                        "macro_name_tab", "macro_tab_macroaction_edit", "macro_tab_macrodelay_edit",
                        "macro_btn_starredio", "macro_btn_stopredio"})
    bound_ = bound_ && FindControl(n) != nullptr;
  if (bound_) EnableMacroControls(false);
  return bound_;
}

void CMacroControlUI::EnableMacroControls(bool enabled) {
  for (const char* n : kMacroControls)
    if (ui::Control* c = FindControl(n)) c->SetEnabled(enabled);
}

// --- The name list --------------------------------------------------------------------------

void CMacroControlUI::LoadList() {
  if (!bound_ || store_ == nullptr) return;
  name_list_->RemoveAll();
  name_list_->SelectItem(-1, false);
  names_.clear();
  for (const StoreEntry& e : store_->Entries()) {
    auto item = std::make_unique<ui::ListElement>();
    item->SetFixedSize(0, kRowHeight);
    item->SetText(e.name);
    item->SetUserData(e.guid);
    name_list_->Add(std::move(item));
    names_.push_back(e.name);
  }
}

bool CMacroControlUI::CatchUpWithStore() {
  if (!bound_ || store_ == nullptr || recording_) return false;
  const StoreContent content = store_->Read();
  if (!content.readable) return false;
  bool same = content.entries.size() == name_list_->Count();
  for (std::size_t k = 0; same && k < content.entries.size(); ++k)
    same = content.entries[k].name == name_list_->ChildAt(k)->Text() &&
           content.entries[k].guid == name_list_->ChildAt(k)->UserData();
  if (same) return false;
  const int sel = GetSelectedMacro();
  const std::string guid = sel >= 0 ? name_list_->ChildAt(static_cast<std::size_t>(sel))->UserData() : std::string();
  LoadList();
  if (sel < 0) return true;
  for (std::size_t k = 0; !guid.empty() && k < name_list_->Count(); ++k)
    if (name_list_->ChildAt(k)->UserData() == guid) {
      name_list_->SelectItem(static_cast<int>(k), false);
      return true;
    }
  ClearRows();
  EnableMacroControls(false);
  return true;
}

int CMacroControlUI::GetSelectedMacro() const {
  if (!bound_ || name_list_->Count() == 0) return -1;
  return name_list_->CurSel();
}

bool CMacroControlUI::SelectMacro(int index) {
  if (!bound_ || !name_list_->SelectItem(index, false)) return false;
  ShowSelectedMacro();
  return true;
}

void CMacroControlUI::ShowSelectedMacro() {
  if (!bound_) return;
  const int sel = GetSelectedMacro();
  if (sel < 0 || store_ == nullptr) {
    ClearRows();
    return;
  }
  if (name_list_->ChildAt(static_cast<std::size_t>(sel))->UserData().empty()) return;
  EnableMacroControls(true);
  LoadEvents(store_->Document(sel));
}

void CMacroControlUI::LoadEvents(const Json::Value& document) {
  if (!bound_) return;
  ClearRows();
  const Json::Value* events = json::Get(&document, "Events");
  if (!json::IsArray(events)) return;
  for (const Json::Value& e : *events) {
    if (action_list_->Count() >= kMaxActionRows) break;
    if (e.isObject()) action_list_->Add(MakeRow(e));
  }
}

// --- Rows -------------------------------------------------------------------------------------

std::unique_ptr<ui::ListElement> CMacroControlUI::MakeRow(const Json::Value& event) const {
  const std::int64_t type = json::Int(json::Get(&event, "Type"));
  const std::uint8_t button = json::Byte(json::Get(&event, "Button"));
  const bool down = json::String(json::Get(&event, "Action")) == "down";
  auto row = std::make_unique<ui::ListElement>();
  row->SetName("macro_action");
  row->SetFixedSize(0, kRowHeight);

  auto name = std::make_unique<ui::Label>();
  auto action = std::make_unique<ui::Label>();
  if (type == kTypeModifier || type == kTypeKey) {
    ApplyStyle(*name, kKeyboardStyle);
    name->SetTextKey(namer_ ? namer_(static_cast<std::uint8_t>(type), button) : std::string());
  } else {
    ApplyStyle(*name, kMouseStyle);
    name->SetTextKey(std::string(MouseEventName(static_cast<std::uint8_t>(type), down, button)));
  }
  if (type >= 2 && type <= 5) {
    ApplyStyle(*action, kTextStyle);
    if (type == kTypeMoveX || type == kTypeMoveY) action->SetText(std::to_string(button));
  } else {
    ApplyStyle(*action, down ? kDownStyle : kUpStyle);
    action->SetTextKey(down ? kDownTextKey : kUpTextKey);
  }
  auto delay = std::make_unique<ui::Edit>();
  delay->SetName("macro_delay");
  ApplyStyle(*delay, kTextStyle);
  delay->SetBkColor(0xFF444444);
  delay->SetFixedSize(0, 25);
  delay->SetAttribute("maxchar", "6");
  delay->SetAttribute("number", "true");
  delay->SetText(std::to_string(ReadDelay(event["Delay"])));

  row->Add(std::move(name));
  row->Add(std::move(action));
  row->Add(std::move(delay));
  row->SetUserData(profiles::StyledJsonText(event));
  return row;
}

void CMacroControlUI::InsertRow(std::size_t at, std::unique_ptr<ui::ListElement> row) {
  // The list only appends: rows from `at` on are rebuilt after the new one, each with the delay
  // its box shows.
  std::vector<std::pair<Json::Value, std::string>> tail;
  while (action_list_->Count() > at) {
    const std::size_t last = action_list_->Count() - 1;
    tail.emplace_back(RowEvent(last), RowDelay(last));
    action_list_->Remove(action_list_->ChildAt(last));
  }
  action_list_->Add(std::move(row));
  for (auto it = tail.rbegin(); it != tail.rend(); ++it) {
    auto rebuilt = MakeRow(it->first);
    rebuilt->ChildAt(2)->SetText(it->second);
    action_list_->Add(std::move(rebuilt));
  }
}

void CMacroControlUI::ClearRows() {
  action_list_->RemoveAll();
  action_list_->SelectItem(-1, false);
}

std::size_t CMacroControlUI::RowCount() const { return bound_ ? action_list_->Count() : 0; }

ui::ListElement* CMacroControlUI::Row(std::size_t k) const {
  return bound_ ? dynamic_cast<ui::ListElement*>(action_list_->ChildAt(k)) : nullptr;
}

Json::Value CMacroControlUI::RowEvent(std::size_t k) const {
  const ui::ListElement* row = Row(k);
  return row != nullptr ? profiles::ParseJson(row->UserData()) : Json::Value();
}

std::string CMacroControlUI::RowDelay(std::size_t k) const {
  const ui::ListElement* row = Row(k);
  return row != nullptr && row->Count() == 3 ? row->ChildAt(2)->Text() : std::string();
}

int CMacroControlUI::SelectedRow() const { return bound_ ? action_list_->CurSel() : -1; }

bool CMacroControlUI::SelectRow(int k) { return bound_ && action_list_->SelectItem(k, false); }

void CMacroControlUI::SetRowDelay(std::size_t k, std::uint32_t delay) {
  ui::ListElement* row = Row(k);
  if (row == nullptr || row->Count() != 3) return;
  row->ChildAt(2)->SetText(std::to_string(delay));
  Json::Value event = profiles::ParseJson(row->UserData());
  if (!event.isObject()) return;
  event["Delay"] = std::to_string(delay);
  row->SetUserData(profiles::StyledJsonText(event));
}

void CMacroControlUI::MoveRow(int from, int to) {
  const Json::Value event = RowEvent(static_cast<std::size_t>(from));
  action_list_->Remove(action_list_->ChildAt(static_cast<std::size_t>(from)));
  InsertRow(static_cast<std::size_t>(to), MakeRow(event));
  action_list_->SelectItem(to, false);
}

void CMacroControlUI::MoveActionUp() {
  const int r = SelectedRow();
  if (r > 0) MoveRow(r, r - 1);
}

void CMacroControlUI::MoveActionDown() {
  const int r = SelectedRow();
  if (r >= 0 && static_cast<std::size_t>(r) + 1 < RowCount()) MoveRow(r, r + 1);
}

void CMacroControlUI::MoveActionTop() {
  const int r = SelectedRow();
  if (r > 0) MoveRow(r, 0);
}

void CMacroControlUI::MoveActionBottom() {
  const int r = SelectedRow();
  if (r >= 0 && static_cast<std::size_t>(r) + 1 < RowCount()) MoveRow(r, static_cast<int>(RowCount()) - 1);
}

void CMacroControlUI::DeleteAction() {
  const int r = SelectedRow();
  if (r < 0) return;
  action_list_->Remove(action_list_->ChildAt(static_cast<std::size_t>(r)));
  // The next row (or the new last one) takes the selection, so rows can be deleted in a run.
  const int n = static_cast<int>(RowCount());
  action_list_->SelectItem(n == 0 ? -1 : std::min(r, n - 1), false);
}

void CMacroControlUI::DeleteAllActions() {
  if (!bound_) return;
  ClearRows();
}

void CMacroControlUI::InsertMouseEvent(std::uint32_t message, int variant) {
  if (!bound_) return;
  const std::optional<int> index = MouseRowOf(message, variant);
  if (!index) return;
  const MouseRow& m = MouseTable()[static_cast<std::size_t>(*index)];
  std::uint8_t button = m.button;
  if (message == kMouseMove) {
    static constexpr std::array<const char*, 4> kBoxes = {"mouse_x_left_edit", "mouse_x_right_edit", "mouse_y_up_edit",
                                                          "mouse_y_down_edit"};
    const ui::Control* box = FindControl(kBoxes[static_cast<std::size_t>(variant)]);
    // A distance is one byte: larger entries are the largest move, not their low byte.
    button = static_cast<std::uint8_t>(LeadingNumber(box != nullptr ? box->Text() : std::string(), 255));
  }
  const std::size_t rows = RowCount();
  const int sel = SelectedRow();
  const std::size_t at = rows == 0 ? 0 : sel >= 0 ? static_cast<std::size_t>(sel) + 1 : 1;
  Json::Value event(Json::objectValue);
  event["Action"] = (m.direction & 0x80) != 0 ? "down" : "up";
  event["Button"] = button;
  event["Delay"] = std::to_string(fixed_delay_);
  event["Type"] = m.direction & 0x7F;
  InsertRow(std::min(at, rows), MakeRow(event));
  action_list_->SelectItem(rows == 0 ? -1 : static_cast<int>(std::min(at, rows)), false);
}

// --- Store operations -------------------------------------------------------------------------

std::string CMacroControlUI::AddMacro() {
  if (!bound_ || store_ == nullptr || name_list_->Count() >= kMaxMacros) return {};
  const std::string name = store_->FreeDefaultName();
  const MacroStore::Change c = store_->Append(name);
  if (!c.ok) return {};
  LoadList();
  SelectMacro(c.index);
  return name;
}

CMacroControlUI::Imported CMacroControlUI::ImportMacro(const std::string& path) {
  Imported out;
  if (!bound_ || store_ == nullptr || path.empty() || name_list_->Count() >= kMaxMacros) return out;
  const MacroStore::Change c = store_->Import(path);
  out.fault = c.check.fault;
  if (!c.ok) return out;
  LoadList();
  SelectMacro(c.index);
  out.name = c.name;
  out.index = c.index;
  return out;
}

bool CMacroControlUI::ExportMacro(const std::string& path) {
  const int sel = GetSelectedMacro();
  if (path.empty() || sel < 0 || store_ == nullptr) return false;
  return store_->Export(sel, path);
}

std::pair<int, std::string> CMacroControlUI::RenameMacro() {
  const int sel = GetSelectedMacro();
  if (sel < 0 || store_ == nullptr) return {-1, {}};
  const std::string text = name_edit_->Text();
  if (IsBlank(text)) return {-1, "IsEmpty"};
  for (const std::string& n : names_)
    if (SameName(n, text)) return {sel, {}};
  if (!store_->Rename(sel, text)) {
    platform::Trace("macro: the store could not be written\n");
    return {-1, {}};
  }
  name_list_->ChildAt(static_cast<std::size_t>(sel))->SetText(text);
  names_[static_cast<std::size_t>(sel)] = text;
  name_edit_->SetText("");
  return {sel, text};
}

int CMacroControlUI::DeleteMacro() {
  const int d = GetSelectedMacro();
  if (d < 0 || store_ == nullptr || !store_->Remove(d)) return -1;
  LoadList();
  ClearRows();
  if (name_list_->Count() == 0) {
    EnableMacroControls(false);
  } else {
    SelectMacro(0);
  }
  return d;
}

int CMacroControlUI::SaveMacro() {
  if (!bound_) return 0;
  const std::size_t rows = RowCount();
  if (rows > kMaxMacroEvents) return static_cast<int>(rows);
  const int sel = GetSelectedMacro();
  if (sel < 0 || store_ == nullptr || name_list_->ChildAt(static_cast<std::size_t>(sel))->UserData().empty()) return 0;
  Json::Value events(Json::arrayValue);
  for (std::size_t k = 0; k < rows; ++k) {
    ui::ListElement* row = Row(k);
    ui::Control* box = row->Count() == 3 ? row->ChildAt(2) : nullptr;
    if (box != nullptr && box->Text().empty()) box->SetText("0");
    const std::uint32_t delay = LeadingNumber(box != nullptr ? box->Text() : std::string(), kMaxDelay);
    if (box != nullptr) box->SetText(std::to_string(delay));
    if (row->UserData().empty()) break;
    Json::Value event = profiles::ParseJson(row->UserData());
    if (!event.isObject()) continue;
    event["Delay"] = std::to_string(delay);
    events.append(event);
    row->SetUserData(profiles::StyledJsonText(event));
  }
  return store_->Save(sel, events) ? 0 : -1;
}

// --- Recording --------------------------------------------------------------------------------

bool CMacroControlUI::IsConstantDelayChecked() const { return constant_delay_ != nullptr && constant_delay_->IsSelected(); }

bool CMacroControlUI::IsDesktopCaptureChecked() const {
  return desktop_option_ != nullptr && desktop_option_->IsEnabled() && desktop_option_->IsSelected();
}

void CMacroControlUI::OfferDesktopCapture(bool offered) {
  if (desktop_option_ == nullptr) return;
  desktop_option_->SetEnabled(offered);
  if (!offered) desktop_option_->Selected(false, false);
}

void CMacroControlUI::ReadFixedDelay() {
  if (fixed_delay_edit_ == nullptr) return;
  // Read unbounded so that a value above the cap is noticed and rewritten.
  const std::string text = fixed_delay_edit_->Text();
  const std::uint32_t value = LeadingNumber(text, kMaxDelay);
  if (value != fixed_delay_ || text != std::to_string(value)) {
    if (value != fixed_delay_ || LeadingNumber(text, kMaxDelay + 1) > kMaxDelay) fixed_delay_edit_->SetText(std::to_string(value));
    fixed_delay_ = value;
  }
}

void CMacroControlUI::StartRecording(int delay_mode) {
  delay_mode_ = delay_mode;
  last_event_ = Now();
  if (delay_mode == kDelayConstant) ReadFixedDelay();
  recording_ = true;
  for (const char* n : {"macro_name_tab", "macro_action_list", "macro_tab_macroaction_edit", "macro_tab_macrodelay_edit"})
    if (ui::Control* c = FindControl(n)) c->SetEnabled(false);
  if (ui::Control* c = FindControl("macro_btn_starredio")) c->SetVisible(false);
  if (ui::Control* c = FindControl("macro_btn_stopredio")) c->SetVisible(true);
}

void CMacroControlUI::EndRecording() {
  recording_ = false;
  for (const char* n : {"macro_name_tab", "macro_action_list", "macro_tab_macroaction_edit", "macro_tab_macrodelay_edit"})
    if (ui::Control* c = FindControl(n)) c->SetEnabled(true);
  if (ui::Control* c = FindControl("macro_btn_starredio")) c->SetVisible(true);
  if (ui::Control* c = FindControl("macro_btn_stopredio")) c->SetVisible(false);
}

void CMacroControlUI::RecordKey(Placement placement, const platform::KeyRecord& record) {
  if (!bound_) return;
  auto& memory = last_key_[static_cast<std::size_t>(placement)];
  const std::pair<std::uint8_t, bool> pair{record.scan, record.extended};
  if (record.press) {
    if (pair == memory) return;  // auto-repeat
    memory = pair;
  } else if (pair == memory) {
    memory = {0, false};
  }
  const std::optional<ScanRow> row = FindScanRow(record.scan, record.extended);
  if (!row) return;
  Json::Value event(Json::objectValue);
  event["Action"] = record.press ? "down" : "up";
  event["Button"] = row->button;
  event["Delay"] = "0";
  event["Type"] = row->type;
  if (placement == Placement::kReplace) {
    ReplaceSelected(event);
  } else {
    PlaceRecorded(placement, event, record.time);
  }
}

void CMacroControlUI::RecordMouse(Placement placement, const platform::MouseRecord& record) {
  if (!bound_) return;
  std::optional<int> index;
  if (record.message == kExtraDown || record.message == kExtraUp) {
    if (record.extra_button == kExtraForward) index = MouseRowOf(record.message, 0);
    if (record.extra_button == kExtraBack) index = MouseRowOf(record.message, 1);
  } else if (record.message >= kLeftDown && record.message <= kMiddleUp) {
    index = MouseRowOf(record.message, 0);
  }
  if (!index) return;
  auto& memory = last_mouse_[static_cast<std::size_t>(placement)];
  if (record.message == memory) return;
  memory = record.message;
  if ((record.message == kLeftDown || record.message == kLeftUp) && record.over_stop_button) return;
  const MouseRow& m = MouseTable()[static_cast<std::size_t>(*index)];
  Json::Value event(Json::objectValue);
  event["Action"] = (m.direction & 0x80) != 0 ? "down" : "up";
  event["Button"] = m.button;
  event["Delay"] = "0";
  event["Type"] = m.direction & 0x7F;
  if (placement == Placement::kReplace) {
    ReplaceSelected(event);
  } else {
    PlaceRecorded(placement, event, record.time);
  }
}

void CMacroControlUI::PlaceRecorded(Placement placement, const Json::Value& event, std::chrono::milliseconds time) {
  const std::size_t rows = RowCount();
  if (rows >= kMaxActionRows) return;
  const int sel = SelectedRow();
  std::size_t at = rows;
  if (placement != Placement::kAppend) {
    if (sel < 0) return;
    at = static_cast<std::size_t>(sel) + (placement == Placement::kAfter ? 1 : 0);
  }
  std::uint32_t d = 0;
  if (delay_mode_ == kDelayRecorded) {
    const auto elapsed = (time - last_event_).count();
    last_event_ = time;
    d = elapsed <= 0 ? 0 : elapsed > 65534 ? kMaxDelay : static_cast<std::uint32_t>(elapsed);
  } else if (delay_mode_ == kDelayConstant) {
    d = fixed_delay_;
  }
  InsertRow(at, MakeRow(event));
  if (at == 0) {
    SetRowDelay(0, 0);
  } else {
    SetRowDelay(at, delay_mode_ == kDelayConstant ? fixed_delay_ : 0);
    if (event_recorded_) SetRowDelay(at - 1, d);
  }
  event_recorded_ = true;
  if (placement == Placement::kBefore) {
    action_list_->SelectItem(sel + 1, false);
  } else {
    action_list_->SelectItem(static_cast<int>(at), false);
  }
}

void CMacroControlUI::ReplaceSelected(const Json::Value& event) {
  const int sel = SelectedRow();
  if (sel < 0) return;
  ui::ListElement* row = Row(static_cast<std::size_t>(sel));
  Json::Value data = profiles::ParseJson(row->UserData());
  if (!data.isObject()) data = Json::Value(Json::objectValue);
  data["Button"] = event["Button"];
  data["Type"] = event["Type"];
  const Json::Value delay = data["Delay"];
  // Rebuilt in place: the name and action labels follow the new kind, the delay box stays.
  const std::string shown_delay = RowDelay(static_cast<std::size_t>(sel));
  auto rebuilt = MakeRow(data);
  if (rebuilt->Count() == 3) rebuilt->ChildAt(2)->SetText(shown_delay);
  for (std::size_t k = 0; k < 2 && row->Count() == 3; ++k) {
    const ui::Control* from = rebuilt->ChildAt(k);
    ui::Control* to = row->ChildAt(k);
    to->SetAttribute("style", from->Attribute("style"));
    to->SetTextColor(from->TextColor());
    if (!from->TextKey().empty()) {
      to->SetTextKey(from->TextKey());
    } else {
      to->SetTextKey("");
      to->SetText(from->Text());
    }
  }
  row->SetUserData(profiles::StyledJsonText(data));
}

}  // namespace brimvex::macros

namespace brimvex::macros {

bool DeliverHookMessage(CMacroControlUI& editor, const HookMessage& message) {
  const std::optional<HookRoute> route = RouteOfHookMessage(message.name);
  if (!route) return false;
  const auto placement = static_cast<Placement>(route->placement);
  if (const auto* key = std::get_if<platform::KeyRecord>(&message.record); key != nullptr && route->key) {
    editor.RecordKey(placement, *key);
    return true;
  }
  if (const auto* mouse = std::get_if<platform::MouseRecord>(&message.record); mouse != nullptr && !route->key) {
    editor.RecordMouse(placement, *mouse);
    return true;
  }
  return false;
}

}  // namespace brimvex::macros
