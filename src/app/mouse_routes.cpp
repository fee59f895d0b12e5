#include "app/mouse_routes.h"

#include "app/color_select_wnd.h"
#include "app/main_wnd.h"
#include "app/message_box.h"
#include "app/profile_switch.h"
#include "platform/trace.h"
#include "platform/ui/controls.h"
#include "platform/ui/notification.h"

namespace brimvex::app {
namespace {

namespace notify = ui::notify;
using devices::COmbrixMouseDevice;
using profiles::StageRecord;

const RowOptions kMouse{DeviceNeed::Kinds({devices::kDeviceMouse})};

COmbrixMouseDevice* MouseOf(const Route& route) { return dynamic_cast<COmbrixMouseDevice*>(route.device); }

bool Selected(const Route& route) {
  const auto* option = dynamic_cast<const ui::Option*>(route.notification.sender);
  return option != nullptr && option->IsSelected();
}

bool ValidStage(int n) { return n >= 0 && n < devices::kMouseStages; }

void ShowMouseText(CMainWnd& wnd, std::string text) {
  MessageBoxArgs args;
  args.owner = &wnd.Window();
  args.dpi = wnd.Dpi();
  args.text = std::move(text);
  args.text_is_key = false;
  ShowMessageBox(wnd.Frontend(), wnd.Resources(), wnd.Factory(), args);
}

void ShowMouseWriteResult(CMainWnd& wnd, int result) { ShowWriteResult(wnd, devices::kDeviceMouse, result); }

// Saves and writes the settings record, as every stage and report-rate edit ends.
int SaveAndWrite(CMainWnd& wnd, COmbrixMouseDevice& mouse, bool saved) {
  const ui::ScreenSize screen = wnd.Frontend().MonitorSize(wnd.Window());
  const int written = mouse.WriteSettings(0, 0, 1, screen.width, screen.height);
  if (!saved) platform::Trace("鼠标分辨率设置未保存: " + mouse.GetProfilePath());
  return written == hid::RESULT_OK && !saved ? hid::RESULT_FAILED : written;
}

// Stage n changed by `edit` (the list grows to n + 1 stages when shorter), stored and written.
int EditStage(CMainWnd& wnd, COmbrixMouseDevice& mouse, int n, const std::function<void(StageRecord&)>& edit) {
  std::vector<StageRecord> stages = mouse.Stages();
  if (stages.size() < static_cast<std::size_t>(n) + 1) stages.resize(static_cast<std::size_t>(n) + 1);
  edit(stages[static_cast<std::size_t>(n)]);
  return SaveAndWrite(wnd, mouse, mouse.StoreStages(stages));
}

// The pointer controls as the page shows them go to "SystemStages" (nothing reaches the mouse).
void StorePointer(COmbrixMouseDevice& mouse) {
  profiles::PointerOptions p = mouse.PointerOptions();
  p.pointer_speed = static_cast<std::uint16_t>(std::max(0, mouse.GetPointerSpeed()));
  p.pointer_precision = mouse.GetPointerPrecision() ? 1 : 0;
  p.scroll_by_page = mouse.GetScrollByPage() ? 1 : 0;
  p.wheel_lines = static_cast<std::uint16_t>(std::max(0, mouse.GetWheelLines()));
  p.double_click_time = static_cast<std::uint16_t>(std::max(0, mouse.GetDoubleClick()));
  if (!mouse.StorePointerOptions(p)) platform::Trace("鼠标指针设置未保存: " + mouse.GetProfilePath());
  mouse.SetScroll(p.scroll_by_page != 0, p.wheel_lines);
}

std::string Replace(std::string text, const std::string& what, const std::string& with) {
  const auto at = text.find(what);
  return at == std::string::npos ? text + " " + with : text.replace(at, what.size(), with);
}

}  // namespace

MouseEdit TypeStageValue(CMainWnd& wnd, COmbrixMouseDevice& mouse, int n, const std::string& text) {
  MouseEdit e;
  if (ui::Control* edit = mouse.FindControl("DPI_edit_" + std::to_string(n))) edit->SetText(text);
  e.slider = mouse.GetStageValueFromEdit(n);
  mouse.SetStageValue(n, e.slider);
  e.result = EditStage(wnd, mouse, n, [&](StageRecord& s) { s.x = static_cast<std::uint16_t>(e.slider); });
  return e;
}

MouseEdit SelectReportRate(CMainWnd& wnd, COmbrixMouseDevice& mouse, int index) {
  MouseEdit e;
  mouse.SetReportRate(index);
  profiles::PointerOptions p = mouse.PointerOptions();
  p.report_rate_index = static_cast<std::uint16_t>(index);
  e.result = SaveAndWrite(wnd, mouse, mouse.StorePointerOptions(p));
  e.slider = index;
  return e;
}

void OnMouseReportRate(CMainWnd& wnd, COmbrixMouseDevice& mouse, int index) {
  if (index < 0 || index >= devices::kReportRates) return;
  ShowMouseWriteResult(wnd, SelectReportRate(wnd, mouse, index).result);
}

devices::RecoilWrite WriteRecoil(COmbrixMouseDevice& mouse) { return mouse.WriteShootData(); }

std::string RecoilMessage(CMainWnd& wnd, const devices::RecoilWrite& w) {
  if (w.result == 0 || w.result == hid::RESULT_LINK_DOWN) return {};
  if (w.result > 0) {
    const std::string text = Replace(wnd.Resources().Text("mouse_recoil_too_large"), "%size", std::to_string(w.length));
    return Replace(text, "%limit", std::to_string(w.limit));
  }
  return Replace(wnd.Resources().Text("mouse_recoil_write_failed"), "%s", std::string(hid::ResultName(w.result)));
}

void RegisterMouseRoutes(NotifyRouter& r, CMainWnd& wnd) {
  r.AddPrefix(
      notify::kSelectChanged, "DPI_enable_check_",
      [&wnd](const Route& route) {
        COmbrixMouseDevice* mouse = MouseOf(route);
        const auto* option = dynamic_cast<const ui::Option*>(route.notification.sender);
        if (mouse == nullptr || option == nullptr || !ValidStage(route.number)) return;
        const bool on = option->IsSelected();
        mouse->SetStageEnabled(route.number, on);
        ShowMouseWriteResult(wnd, EditStage(wnd, *mouse, route.number, [on](StageRecord& s) { s.enable = on ? 1 : 0; }));
      },
      kMouse);
  r.AddPrefix(
      notify::kSelectChanged, "DPI_select_check_",
      [&wnd](const Route& route) {
        COmbrixMouseDevice* mouse = MouseOf(route);
        if (mouse == nullptr || !Selected(route) || !ValidStage(route.number)) return;
        const bool saved = mouse->StoreActiveStage(route.number);
        mouse->RefreshPage();
        ShowMouseWriteResult(wnd, SaveAndWrite(wnd, *mouse, saved));
      },
      kMouse);
  r.AddPrefix(
      notify::kMoveValueChanged, "DPI_slider_",
      [](const Route& route) {
        COmbrixMouseDevice* mouse = MouseOf(route);
        const auto* slider = dynamic_cast<const ui::Slider*>(route.notification.sender);
        if (mouse == nullptr || slider == nullptr || !ValidStage(route.number)) return;
        if (ui::Control* edit = mouse->FindControl("DPI_edit_" + std::to_string(route.number)))
          edit->SetText(std::to_string(mouse->Scale().Display(slider->Value())));
      },
      kMouse);
  r.AddPrefix(
      notify::kValueChanged, "DPI_slider_",
      [&wnd](const Route& route) {
        COmbrixMouseDevice* mouse = MouseOf(route);
        const auto* slider = dynamic_cast<const ui::Slider*>(route.notification.sender);
        if (mouse == nullptr || slider == nullptr || !ValidStage(route.number)) return;
        const int v = slider->Value();
        mouse->SetStageValue(route.number, v);
        ShowMouseWriteResult(wnd,
                             EditStage(wnd, *mouse, route.number, [v](StageRecord& s) { s.x = static_cast<std::uint16_t>(v); }));
      },
      kMouse);
  r.AddPrefix(
      notify::kKillFocus, "DPI_edit_",
      [&wnd](const Route& route) {
        COmbrixMouseDevice* mouse = MouseOf(route);
        const ui::Control* edit = route.notification.sender;
        if (mouse == nullptr || edit == nullptr || !ValidStage(route.number)) return;
        ShowMouseWriteResult(wnd, TypeStageValue(wnd, *mouse, route.number, edit->Text()).result);
      },
      kMouse);
  r.AddPrefix(
      notify::kClick, "DPI_color_option_",
      [&wnd](const Route& route) {
        COmbrixMouseDevice* mouse = MouseOf(route);
        if (mouse == nullptr || !ValidStage(route.number)) return;
        // The colour picker, without its 7-colour choice: a stage has one colour.
        ColorSelectArgs args;
        args.owner = &wnd.Window();
        args.dpi = wnd.Dpi();
        args.color = mouse->GetStageColor(route.number);
        const ColorSelectResult chosen = OpenColorSelect(wnd.Frontend(), wnd.Resources(), wnd.Factory(), args);
        if (chosen.code != 1) return;
        mouse->SetStageColor(route.number, chosen.color);
        const std::uint32_t c = chosen.color;
        ShowMouseWriteResult(wnd, EditStage(wnd, *mouse, route.number, [c](StageRecord& s) {
                               s.red = static_cast<std::uint8_t>(c >> 16);
                               s.green = static_cast<std::uint8_t>(c >> 8);
                               s.blue = static_cast<std::uint8_t>(c);
                             }));
      },
      kMouse);
  r.AddPrefix(
      notify::kSelectChanged, "mouse_device_seting_option_",
      [](const Route& route) {
        if (COmbrixMouseDevice* mouse = MouseOf(route); mouse != nullptr && Selected(route))
          mouse->SelectSettingsPage(route.number);
      },
      kMouse);
  r.AddNames(
      notify::kSelectChanged, {"pointer_precision_check", "scrolls_page_check"},
      [](const Route& route) {
        if (COmbrixMouseDevice* mouse = MouseOf(route)) StorePointer(*mouse);
      },
      kMouse);
  r.AddNames(
      notify::kValueChanged, {"pointer_speed_slider", "scroll_speed_slider", "double_click_slider"},
      [](const Route& route) {
        if (COmbrixMouseDevice* mouse = MouseOf(route)) StorePointer(*mouse);
      },
      kMouse);
  r.AddName(
      notify::kClick, "shootdate_save_btn",
      [&wnd](const Route& route) {
        COmbrixMouseDevice* mouse = MouseOf(route);
        if (mouse == nullptr) return;
        if (const std::string text = RecoilMessage(wnd, WriteRecoil(*mouse)); !text.empty()) ShowMouseText(wnd, text);
      },
      kMouse);
}

}  // namespace brimvex::app
