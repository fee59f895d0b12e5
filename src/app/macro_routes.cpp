#include "app/macro_routes.h"

#include <algorithm>
#include <map>

#include "app/key_editor_routes.h"
#include "app/main_wnd.h"
#include "app/profile_switch.h"
#include "devices/key_set_control_ui.h"
#include "devices/key_tables.h"
#include "devices/usb_device.h"
#include "macros/device_hook.h"
#include "macros/macro_control_ui.h"
#include "macros/macro_key_rule.h"
#include "macros/macro_tables.h"
#include "macros/shoot_control_ui.h"
#include "platform/event_loop.h"
#include "platform/input_capture.h"
#include "platform/ui/controls.h"
#include "platform/ui/notification.h"
#include "profiles/basic_profile_data.h"
#include "profiles/device_profile_ui.h"
#include "profiles/file_helpers.h"

namespace brimvex::app {
namespace {

namespace notify = ui::notify;
using devices::COmbrixUSBDevice;
using macros::CMacroControlUI;
using macros::CShootControlUI;

const RowOptions kMacroPages{DeviceNeed::Kinds({devices::kDeviceKeyboard, devices::kDeviceMouse})};
const RowOptions kMousePage{DeviceNeed::Kinds({devices::kDeviceMouse})};

const platform::FileFilter kMacroFilter = {{"Macro Files(*.mac)", "*.mac;"}};
const platform::FileFilter kShootFilter = {{"Shoot Files(*.shoot)", "*.shoot;"}};

CMacroControlUI* EditorOf(COmbrixUSBDevice* device) {
  return device != nullptr ? dynamic_cast<CMacroControlUI*>(device->FindControl("MacroControlItem")) : nullptr;
}
CShootControlUI* RecoilOf(COmbrixUSBDevice* device) {
  return device != nullptr ? dynamic_cast<CShootControlUI*>(device->FindControl("ShootControlItem")) : nullptr;
}

void RefreshNames(COmbrixUSBDevice& device) { RefreshMacroNames(device); }

// SaveMacro with its message: the rows above 250 (on both pages: a lost recording must not go
// unseen), or a file that could not be written.
void SaveWithMessage(CMainWnd& wnd, CMacroControlUI& editor) {
  const int r = editor.SaveMacro();
  if (r > static_cast<int>(macros::kMaxMacroEvents)) ShowText(wnd, "message_text_17", r - static_cast<int>(macros::kMaxMacroEvents));
  if (r < 0) wnd.AskUser("macro_save_failed", false);
}

// CollectUsedMacros, WriteMacros with its messages, WriteProfileKeyMap and SaveProfile.
void WriteKeysAndMacros(CMainWnd& wnd, COmbrixUSBDevice& device) {
  const std::vector<int> used = device.CollectUsedMacros();
  const int macros = device.WriteMacros(used);
  if (const auto message = MacroResultMessage(macros, macros > 0 && MacroEventLimitHit(device, used))) {
    ShowText(wnd, message->key, message->number);
  }
  const int keys = device.WriteProfileKeyMap();
  ShowWriteResult(wnd, device.DeviceType(), keys);
  if (!device.SaveProfile()) wnd.AskUser("macro_save_failed", false);
  if (auto* k = KeyEditorOf(device)) k->EnableButtons(false);
}

// --- Recording ---------------------------------------------------------------------------------

struct Recorder {
  explicit Recorder(platform::InputCapture& capture) : window(capture), hook(capture) {}
  platform::InputCapture& window;  // the window capture, the default
  macros::CDeviceHook hook;
  COmbrixUSBDevice* device = nullptr;  // the page recording runs on
  bool ui_enabled = true;              // the controller's macro recorder UI-enable flag
};

std::map<const CMainWnd*, std::shared_ptr<Recorder>>& Recorders() {
  static auto* map = new std::map<const CMainWnd*, std::shared_ptr<Recorder>>();
  return *map;
}

void SetLocked(CMainWnd& wnd, COmbrixUSBDevice& device, bool locked) {
  if (ui::Control* strip = wnd.Window().FindControl("device_select_layout")) strip->SetEnabled(!locked);
  if (ui::Control* list = device.FindControl("DeviceProfileItem")) list->SetEnabled(!locked);
  if (auto* keys = KeyEditorOf(device)) keys->EnableButtons(locked);
}

void Start(CMainWnd& wnd, Recorder& rec, COmbrixUSBDevice& device, int delay_mode, std::uint32_t mode) {
  CMacroControlUI* editor = EditorOf(&device);
  if (editor == nullptr) return;
  editor->StartRecording(delay_mode == 0 ? (editor->IsConstantDelayChecked() ? macros::kDelayConstant
                                                                            : macros::kDelayRecorded)
                                         : delay_mode);
  const auto target = [&wnd](const macros::HookMessage& m) {
    auto it = Recorders().find(&wnd);
    if (it == Recorders().end() || it->second->device == nullptr) return;
    if (CMacroControlUI* e = EditorOf(it->second->device)) macros::DeliverHookMessage(*e, m);
  };
  platform::InputCapture* desktop = platform::DesktopCapture();
  const bool from_desktop = desktop != nullptr && editor->IsDesktopCaptureChecked();
  rec.hook.SetCapture(from_desktop ? *desktop : rec.window);
  int hooked = rec.hook.SetHook(mode, target, true, true);
  if (hooked == 0 && from_desktop) {
    // No input device opens: the window's own keys and clicks are recorded instead.
    wnd.AskUser("macro_desktop_fallback", false);
    rec.hook.SetCapture(rec.window);
    hooked = rec.hook.SetHook(mode, target, true, true);
  }
  if (hooked == 0) {
    // Nothing records: say so and give the editor back rather than leave it locked.
    editor->EndRecording();
    wnd.AskUser("macro_record_failed", false);
    return;
  }
  rec.device = &device;
  SetLocked(wnd, device, true);
  rec.ui_enabled = false;
}

void Stop(CMainWnd& wnd, Recorder& rec, bool write) {
  COmbrixUSBDevice* device = rec.device;
  rec.hook.RemoveHooks();
  rec.device = nullptr;
  rec.ui_enabled = true;
  if (device == nullptr) return;
  CMacroControlUI* editor = EditorOf(device);
  if (editor != nullptr) editor->EndRecording();
  SetLocked(wnd, *device, false);
  if (editor != nullptr) SaveWithMessage(wnd, *editor);
  if (write) WriteKeysAndMacros(wnd, *device);
}

// --- The delete command ------------------------------------------------------------------------

void DeleteCommand(CMainWnd& wnd, COmbrixUSBDevice& device, CMacroControlUI& editor) {
  DeleteSelectedMacro(wnd, device, editor, true);
}

}  // namespace

int DeleteSelectedMacro(CMainWnd& wnd, COmbrixUSBDevice& device, CMacroControlUI& editor, bool ask) {
  if (ask && wnd.AskUser("message_text_4", true) != 1) return -1;
  const int d = editor.GetSelectedMacro();
  if (d < 0) return -1;
  std::vector<profiles::KeyEntry> keys = device.GetKeyList();
  if (ask && std::any_of(keys.begin(), keys.end(), [d](const auto& e) { return macros::IsBoundToMacro(e, d); }) &&
      wnd.AskUser("message_text_2", true) != 1)
    return -1;
  // Every other profile of the page's list.
  if (profiles::CDeviceProfileUI* list = device.ProfileList()) {
    const int selected = list->GetCurSel();
    for (int k = 0, n = list->Count(); k < n; ++k) {
      const std::string path = list->PathOf(k);
      if (k == selected || path.empty()) continue;
      profiles::CBasicProfiledata scratch;
      scratch.SetDeviceIndex(0);
      scratch.SetDefaultProfilePath(profiles::GetDefaultProfilePath(device.DeviceFolderName()));
      scratch.LoadScratchSection(path);
      std::vector<profiles::KeyEntry> other = scratch.GetScratchKeyList();
      if (macros::ApplyMacroDeleteRule(other, d)) {
        scratch.SetScratchKeyList(other);
        if (!scratch.SaveScratchSection(path)) wnd.AskUser("macro_save_failed", false);
      }
    }
  }
  std::vector<profiles::KeyEntry> changed = keys;
  const bool current_changed = macros::ApplyMacroDeleteRule(changed, d);
  if (current_changed) {
    for (std::size_t k = 0; k < changed.size(); ++k)
      if (!(changed[k] == keys[k])) device.StoreKeyAssignment(static_cast<int>(k), changed[k].current);
  }
  if (editor.DeleteMacro() < 0) return -1;
  RefreshNames(device);
  if (current_changed) {
    device.RefreshPage();
    WriteKeysAndMacros(wnd, device);
  }
  return d;
}

namespace {

// --- Rows --------------------------------------------------------------------------------------

using EditorAction = std::function<void(CMainWnd&, COmbrixUSBDevice&, CMacroControlUI&)>;

RouteHandler OnEditor(CMainWnd& wnd, EditorAction action) {
  return [&wnd, action = std::move(action)](const Route& route) {
    if (CMacroControlUI* editor = EditorOf(route.device)) action(wnd, *route.device, *editor);
  };
}

// A row operation, then SaveMacro.
EditorAction ThenSave(void (CMacroControlUI::*op)()) {
  return [op](CMainWnd& wnd, COmbrixUSBDevice&, CMacroControlUI& e) {
    (e.*op)();
    SaveWithMessage(wnd, e);
  };
}

EditorAction InsertThenSave(std::vector<std::pair<std::uint32_t, int>> events) {
  return [events = std::move(events)](CMainWnd& wnd, COmbrixUSBDevice&, CMacroControlUI& e) {
    for (const auto& [message, variant] : events) e.InsertMouseEvent(message, variant);
    SaveWithMessage(wnd, e);
  };
}

void AddMenuItems(NotifyRouter& r, CMainWnd& wnd) {
  struct Button {
    const char* name;
    std::uint32_t down, up;
    int variant;
  };
  const Button buttons[] = {{"left", macros::kLeftDown, macros::kLeftUp, 0},
                            {"right", macros::kRightDown, macros::kRightUp, 0},
                            {"middle", macros::kMiddleDown, macros::kMiddleUp, 0},
                            {"forward", macros::kExtraDown, macros::kExtraUp, 0},
                            {"back", macros::kExtraDown, macros::kExtraUp, 1}};
  for (const Button& b : buttons) {
    const std::string n = b.name;
    r.AddName(notify::kClick, n + "_down", OnEditor(wnd, InsertThenSave({{b.down, b.variant}})), kMacroPages);
    r.AddName(notify::kClick, n + "_up", OnEditor(wnd, InsertThenSave({{b.up, b.variant}})), kMacroPages);
    // The press, then the release after it (each insertion goes after the selected row).
    r.AddName(notify::kClick, n + "_click", OnEditor(wnd, InsertThenSave({{b.down, b.variant}, {b.up, b.variant}})),
              kMacroPages);
  }
}

}  // namespace

void RefreshMacroNames(COmbrixUSBDevice& device) {
  device.LoadNameLists();
  if (auto* keys = KeyEditorOf(device)) keys->SetMacroNames(device.MacroNames());
}

void RegisterMacroRoutes(NotifyRouter& r, CMainWnd& wnd) {
  auto rec = std::make_shared<Recorder>(platform::CurrentInputCapture());
  Recorders()[&wnd] = rec;

  r.AddName(notify::kClick, "macro_btn_name_add", OnEditor(wnd, [](CMainWnd&, COmbrixUSBDevice& d, CMacroControlUI& e) {
              if (!e.AddMacro().empty()) RefreshNames(d);
            }), kMacroPages);
  r.AddName(notify::kClick, "macro_btn_import", OnEditor(wnd, [](CMainWnd& w, COmbrixUSBDevice& d, CMacroControlUI& e) {
              const auto path = profiles::OpenFileDialog(kMacroFilter);
              if (!path) return;
              const auto imported = e.ImportMacro(*path);
              if (imported.fault != macros::ImportFault::kNone) w.AskUser(macros::ImportFaultKey(imported.fault), false);
              if (!imported.name.empty()) RefreshNames(d);
            }), kMacroPages);
  r.AddName(notify::kClick, "macro_btn_export", OnEditor(wnd, [](CMainWnd& w, COmbrixUSBDevice&, CMacroControlUI& e) {
              if (e.GetSelectedMacro() < 0) return;
              if (const auto path = profiles::SaveFileDialog(kMacroFilter); path && !e.ExportMacro(*path))
                w.AskUser("macro_save_failed", false);
            }), kMacroPages);
  r.AddName(notify::kClick, "macro_btn_name_edit", OnEditor(wnd, [](CMainWnd& w, COmbrixUSBDevice& d, CMacroControlUI& e) {
              const auto [index, text] = e.RenameMacro();
              if (index < 0) return;
              if (text.empty()) {
                w.AskUser("message_text_5", false);
                return;
              }
              if (auto* keys = KeyEditorOf(d)) keys->SetMacroName(index, text);
              d.LoadNameLists();
              d.RefreshPage();
            }), kMacroPages);
  r.AddName(notify::kClick, "macro_btn_name_sub", OnEditor(wnd, DeleteCommand), kMacroPages);
  r.AddName(notify::kClick, "macro_btn_save",
            OnEditor(wnd, [](CMainWnd& w, COmbrixUSBDevice&, CMacroControlUI& e) { SaveWithMessage(w, e); }), kMacroPages);
  r.AddName(notify::kClick, "macro_btn_cancel",
            OnEditor(wnd, [](CMainWnd&, COmbrixUSBDevice&, CMacroControlUI& e) { e.ShowSelectedMacro(); }), kMacroPages);
  r.AddName(notify::kClick, "macro_btn_up", OnEditor(wnd, ThenSave(&CMacroControlUI::MoveActionUp)), kMacroPages);
  r.AddName(notify::kClick, "macro_btn_down", OnEditor(wnd, ThenSave(&CMacroControlUI::MoveActionDown)), kMacroPages);
  r.AddName(notify::kClick, "macro_btn_uptop", OnEditor(wnd, ThenSave(&CMacroControlUI::MoveActionTop)), kMacroPages);
  r.AddName(notify::kClick, "macro_btn_downbottom", OnEditor(wnd, ThenSave(&CMacroControlUI::MoveActionBottom)),
            kMacroPages);
  r.AddName(notify::kClick, "macro_btn_delete", OnEditor(wnd, ThenSave(&CMacroControlUI::DeleteAction)), kMacroPages);
  r.AddName(notify::kClick, "macro_btn_deleteall", OnEditor(wnd, ThenSave(&CMacroControlUI::DeleteAllActions)),
            kMacroPages);
  RowOptions exact = kMacroPages;
  exact.case_sensitive = true;
  const char* moves[] = {"macro_inset_moveleftkey_btn", "macro_inset_moverightkey_btn", "macro_inset_moveupkey_btn",
                         "macro_inset_movedownkey_btn"};
  for (int k = 0; k < 4; ++k)
    r.AddName(notify::kClick, moves[k], OnEditor(wnd, InsertThenSave({{macros::kMouseMove, k}})), exact);
  AddMenuItems(r, wnd);
  r.AddName(notify::kKillFocus, "macro_delay",
            OnEditor(wnd, [](CMainWnd& w, COmbrixUSBDevice&, CMacroControlUI& e) { SaveWithMessage(w, e); }), kMacroPages);
  r.AddName(notify::kItemSelect, "macro_name_list",
            OnEditor(wnd, [](CMainWnd&, COmbrixUSBDevice&, CMacroControlUI& e) { e.ShowSelectedMacro(); }), kMacroPages);

  // Recording.
  struct StartRow {
    const char* name;
    int delay_mode;  // 0: by "macro_check_time"
    std::uint32_t mode;
  };
  const StartRow starts[] = {
      {"macro_btn_starredio", 0, macros::kHookAppend},
      {"redio_previous_record_time", 0, macros::kHookBefore},
      {"redio_previous_constant_time", macros::kDelayConstant, macros::kHookBefore},
      {"redio_previous_ignore_time", macros::kDelayNone, macros::kHookBefore},
      {"redio_later_record_time", 0, macros::kHookAfter},
      {"redio_later_constant_time", macros::kDelayConstant, macros::kHookAfter},
      {"redio_later_ignore_time", macros::kDelayNone, macros::kHookAfter},
      {"macro_action_edit", macros::kDelayNone, macros::kHookReplace},
  };
  for (const StartRow& s : starts)
    r.AddName(notify::kClick, s.name, [&wnd, rec, s](const Route& route) {
      Start(wnd, *rec, *route.device, s.delay_mode, s.mode);
    }, kMacroPages);
  r.AddName(notify::kClick, "macro_btn_stopredio", [&wnd, rec](const Route&) { Stop(wnd, *rec, true); });

  // The recoil editor.
  r.AddPrefix(notify::kSelectChanged, "shoot_gun_op_", [](const Route& route) {
    auto* o = dynamic_cast<const ui::Option*>(route.notification.sender);
    if (CShootControlUI* e = RecoilOf(route.device); e != nullptr && (o == nullptr || o->IsSelected())) {
      e->SelectGun(route.number);
      e->ShowBullet();
    }
  }, kMousePage);
  r.AddPrefix(notify::kSelectChanged, "bullet_op_", [](const Route& route) {
    auto* o = dynamic_cast<const ui::Option*>(route.notification.sender);
    if (CShootControlUI* e = RecoilOf(route.device); e != nullptr && (o == nullptr || o->IsSelected()))
      e->SelectBullet(route.number);
  }, kMousePage);
  r.AddName(notify::kClick, "bullet_selected_prev", [](const Route& route) {
    if (CShootControlUI* e = RecoilOf(route.device)) e->SelectBullet(e->SelectedBullet() - 1);
  }, kMousePage);
  r.AddName(notify::kClick, "bullet_selected_next", [](const Route& route) {
    if (CShootControlUI* e = RecoilOf(route.device)) e->SelectBullet(e->SelectedBullet() + 1);
  }, kMousePage);
  r.AddName(notify::kSelectChanged, "bullet_x_check", [](const Route& route) {
    if (CShootControlUI* e = RecoilOf(route.device)) e->ShowXDirection();
  }, kMousePage);
  r.AddName(notify::kSelectChanged, "bullet_y_check", [](const Route& route) {
    if (CShootControlUI* e = RecoilOf(route.device)) e->ShowYDirection();
  }, kMousePage);
  r.AddNames(notify::kKillFocus, {"bullet_x_eidt", "bullet_y_eidt", "bullet_delay_eidt"}, [&wnd](const Route& route) {
    if (CShootControlUI* e = RecoilOf(route.device); e != nullptr && !e->SaveBullet()) wnd.AskUser("macro_save_failed", false);
  }, kMousePage);
  r.AddName(notify::kClick, "shootdate_reset_btn", [](const Route& route) {
    if (CShootControlUI* e = RecoilOf(route.device)) e->ResetGun(e->SelectedGun());
  }, kMousePage);
  r.AddName(notify::kClick, "shootdate_import_btn", [&wnd](const Route& route) {
    CShootControlUI* e = RecoilOf(route.device);
    if (e == nullptr) return;
    if (const auto path = profiles::OpenFileDialog(kShootFilter)) {
      const auto check = e->ImportGun(*path);
      if (!check.ok()) wnd.AskUser(macros::ImportFaultKey(check.fault), false);
    }
  }, kMousePage);
  r.AddName(notify::kClick, "shootdate_export_btn", [&wnd](const Route& route) {
    CShootControlUI* e = RecoilOf(route.device);
    if (e == nullptr) return;
    if (const auto path = profiles::SaveFileDialog(kShootFilter); path && !e->ExportGun(*path))
      wnd.AskUser("macro_save_failed", false);
  }, kMousePage);
}

void SetUpMacroEditors(COmbrixUSBDevice& device, std::shared_ptr<macros::MacroStore> store, platform::EventLoop* loop) {
  if (CMacroControlUI* editor = EditorOf(&device); editor != nullptr && store != nullptr) {
    editor->SetStore(std::move(store));
    editor->SetKeyNamer([](std::uint8_t type, std::uint8_t button) {
      const int row = type == macros::kTypeKey ? devices::FindPlainKeyRow(button) : devices::FindModifierRow(button);
      return row < 0 ? std::string() : std::string(devices::kKeyTable[static_cast<std::size_t>(row)].text_key);
    });
    if (loop != nullptr) editor->SetClock([loop] { return loop->Now(); });
    const platform::InputCapture* desktop = platform::DesktopCapture();
    editor->OfferDesktopCapture(desktop != nullptr && desktop->Available());
    editor->LoadList();
    RefreshNames(device);
  }
  if (CShootControlUI* recoil = RecoilOf(&device)) {
    recoil->SetWorkingFolder(profiles::GetDeviceFolder(device.DeviceFolderName()));
    recoil->SetDefaultFolder(profiles::GetProgramDataFolder());
    recoil->InitRecoil();
    recoil->SelectGun(0);
    recoil->SelectBullet(0);
  }
}

void OnKeyCaptureHookMessage(CMainWnd& wnd, std::uint64_t wparam) {
  auto it = Recorders().find(&wnd);
  if (it == Recorders().end()) return;
  Recorder& rec = *it->second;
  if (wparam == 0) {
    rec.hook.RemoveHooks();
  } else if (wparam == 1) {
    rec.hook.SetCapture(rec.window);
    rec.hook.SetHook(
        macros::kHookSingleKey,
        [&wnd](const macros::HookMessage& m) {
          const auto* key = std::get_if<platform::KeyRecord>(&m.record);
          if (key != nullptr && key->press && m.name == macros::KeyHookMessage(macros::kHookSingleKey))
            CaptureKeyOnSelectedPage(wnd, key->linux_code);
        },
        true, true);
  }
}

void EndMacroRecording(CMainWnd& wnd) {
  auto it = Recorders().find(&wnd);
  if (it != Recorders().end()) Stop(wnd, *it->second, false);
}

}  // namespace brimvex::app
