#include "app/light_routes.h"

#include <algorithm>
#include <functional>

#include "app/main_wnd.h"
#include "app/profile_switch.h"
#include "devices/keyboard_device.h"
#include "hid/command_codes.h"
#include "lighting/light_control_ui.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/notification.h"

namespace brimvex::app {
namespace {

namespace notify = ui::notify;
using devices::COmbrixKeyboardDevice;
using devices::COmbrixUSBDevice;
using lighting::CLightControlUI;
using profiles::LightInfo;

const RowOptions kDevice{DeviceNeed::Any()};
const RowOptions kKeyboard{DeviceNeed::Kinds({devices::kDeviceKeyboard})};

LightWriteCapture* g_capture = nullptr;  // UI thread only

CLightControlUI* EditorOf(COmbrixUSBDevice& device) { return dynamic_cast<CLightControlUI*>(device.LightEditor()); }

void ShowResult(CMainWnd& wnd, int result) {
  if (g_capture != nullptr) return g_capture->Record(result);
  if (result == hid::RESULT_OK || result == hid::RESULT_LINK_DOWN) return;
  ShowText(wnd, "light_write_failed", std::string(hid::ResultName(result)));
}

// One field of the record: clear the sync flag (unless told not to), change, store, save, reload,
// refresh the editor, write.
void Edit(CMainWnd& wnd, COmbrixUSBDevice& device, const std::function<void(LightInfo&)>& change,
          const std::function<void(CLightControlUI&, const LightInfo&)>& refresh = {}, bool clear_sync = true) {
  if (clear_sync) device.CommandChannelRef().SetLightSync(false);
  LightInfo info = device.GetLightState();
  change(info);
  if (CLightControlUI* editor = EditorOf(device); editor != nullptr && refresh) refresh(*editor, info);
  ShowResult(wnd, wnd.WriteLight(device, info));
}

std::uint8_t Level(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 4)); }

void ShowColor(CLightControlUI& editor, const LightInfo& info) { editor.ShowColor(info.red, info.green, info.blue); }

void SetColor(LightInfo& info, std::uint32_t argb) {
  info.red = static_cast<std::uint8_t>(argb >> 16);
  info.green = static_cast<std::uint8_t>(argb >> 8);
  info.blue = static_cast<std::uint8_t>(argb);
  info.multi_color = 0;
}

RouteHandler OnMode(CMainWnd& wnd) {
  return [&wnd](const Route& route) {
    CLightControlUI* editor = EditorOf(*route.device);
    if (editor == nullptr) return;
    const int mode = editor->GetMode();
    if (mode < 0 || mode > 255) return;
    editor->SelectMode(mode);
    editor->ApplyRules(mode);
    Edit(wnd, *route.device, [mode](LightInfo& info) { info.mode = static_cast<std::uint8_t>(mode); });
  };
}

RouteHandler OnSlider(CMainWnd& wnd, bool brightness) {
  return [&wnd, brightness](const Route& route) {
    CLightControlUI* editor = EditorOf(*route.device);
    if (editor == nullptr) return;
    const std::uint8_t value = Level(brightness ? editor->GetBrightness() : editor->GetSpeed());
    brightness ? editor->SetBrightness(value) : editor->SetSpeed(value);
    Edit(wnd, *route.device, [&](LightInfo& info) { (brightness ? info.brightness : info.speed) = value; });
  };
}

RouteHandler OnColorEdit(CMainWnd& wnd, int channel) {
  return [&wnd, channel](const Route& route) {
    CLightControlUI* editor = EditorOf(*route.device);
    if (editor == nullptr) return;
    const lighting::TypedColor typed = lighting::ReadTypedColor(editor->GetColorText(channel));
    if (typed.rewrite) editor->SetColorText(channel, typed.value);
    Edit(
        wnd, *route.device,
        [&](LightInfo& info) {
          (channel == 0 ? info.red : channel == 1 ? info.green : info.blue) = typed.value;
          info.multi_color = 0;
        },
        ShowColor);
  };
}

}  // namespace

LightWriteCapture::LightWriteCapture() : outer_(g_capture), result_(hid::RESULT_OK) { g_capture = this; }
LightWriteCapture::~LightWriteCapture() { g_capture = outer_; }
void LightWriteCapture::Record(int result) {
  ++writes_;
  if (result_ == hid::RESULT_OK) result_ = result;
}

bool PaintCustomKey(COmbrixUSBDevice& device, int key) {
  auto* keyboard = dynamic_cast<COmbrixKeyboardDevice*>(&device);
  if (keyboard == nullptr || key < 0 || key >= 170 || keyboard->GetLightState().mode != 19) return false;
  keyboard->SetCustomKeyColor(key);
  return true;
}

void RegisterLightRoutes(NotifyRouter& r, CMainWnd& wnd) {
  r.AddName(notify::kItemSelect, "light_combo_modeSelect", OnMode(wnd), kDevice);
  r.AddName(notify::kValueChanged, "deng_light_slider", OnSlider(wnd, true), kDevice);
  r.AddName(notify::kValueChanged, "deng_speed_slider", OnSlider(wnd, false), kDevice);
  r.AddName(notify::kTextChanged, "deng_edit_R", OnColorEdit(wnd, 0), kDevice);
  r.AddName(notify::kTextChanged, "deng_edit_G", OnColorEdit(wnd, 1), kDevice);
  r.AddName(notify::kTextChanged, "deng_edit_B", OnColorEdit(wnd, 2), kDevice);
  r.AddName(
      notify::kColorChanged, "deng_Color_Pallet",
      [&wnd](const Route& route) {
        CLightControlUI* editor = EditorOf(*route.device);
        if (editor == nullptr) return;
        const std::uint32_t color = editor->GetPaletteColor();
        Edit(wnd, *route.device, [color](LightInfo& info) { SetColor(info, color); }, ShowColor);
      },
      kDevice);
  r.AddPrefix(
      notify::kClick, "color_option_",
      [&wnd](const Route& route) {
        CLightControlUI* editor = EditorOf(*route.device);
        if (editor == nullptr) return;
        const std::uint32_t color = editor->GetPresetColor(route.number);
        // A preset leaves the sync flag as it is.
        Edit(wnd, *route.device, [color](LightInfo& info) { SetColor(info, color); }, ShowColor, false);
      },
      kDevice);
  r.AddName(
      notify::kSelectChanged, "deng_7color_check",
      [&wnd](const Route& route) {
        CLightControlUI* editor = EditorOf(*route.device);
        if (editor == nullptr) return;
        const bool on = editor->Get7Color();
        editor->Set7Color(on);
        Edit(wnd, *route.device, [on](LightInfo& info) { info.multi_color = on ? 1 : 0; });
      },
      kDevice);
  r.AddNames(
      notify::kSelectChanged, {"deng_FXL_check", "deng_FXR_check"},
      [&wnd](const Route& route) {
        // The option that went off raises a change too: only the one selected counts.
        const auto* option = dynamic_cast<const ui::Option*>(route.notification.sender);
        if (option == nullptr || !option->IsSelected()) return;
        const std::uint8_t direction = option->Name() == "deng_FXL_check" ? 1 : 0;
        Edit(
            wnd, *route.device, [direction](LightInfo& info) { info.direction = direction; },
            [](CLightControlUI& editor, const LightInfo& info) { editor.SetDirection(info.direction); });
      },
      kDevice);
  r.AddName(
      notify::kItemSelect, "light_combo_ZZCCmodeSelect",
      [&wnd](const Route& route) {
        CLightControlUI* editor = EditorOf(*route.device);
        if (editor == nullptr) return;
        const int zzcc = editor->GetZzcc();
        if (zzcc < 0 || zzcc > 255) return;
        editor->SelectZzcc(zzcc);
        Edit(wnd, *route.device, [zzcc](LightInfo& info) { info.zzcc_mode = static_cast<std::uint8_t>(zzcc); });
      },
      kKeyboard);
  r.AddName(
      notify::kItemSelect, "light_combo_custommodeSelect",
      [&wnd](const Route& route) {
        auto* keyboard = dynamic_cast<COmbrixKeyboardDevice*>(route.device);
        CLightControlUI* editor = EditorOf(*route.device);
        if (keyboard == nullptr || editor == nullptr) return;
        const int group = editor->GetCustomGroup();
        if (group < 0 || group > 255) return;
        keyboard->SelectCustomGroup(group);
        LightInfo info = keyboard->GetLightState();
        info.custom_group = static_cast<std::uint8_t>(group);
        const int written = wnd.WriteLight(*keyboard, info);
        const int sent = keyboard->LoadCustomGroup();
        ShowResult(wnd, written != hid::RESULT_OK ? written : sent);
      },
      kKeyboard);
  r.AddNames(
      notify::kClick, {"custom_bright_color_btn", "custom_off_color_btn"},
      [](const Route& route) {
        auto* keyboard = dynamic_cast<COmbrixKeyboardDevice*>(route.device);
        if (keyboard == nullptr) return;
        keyboard->FillCustomColors(route.notification.sender->Name() == "custom_bright_color_btn");
      },
      kKeyboard);
}

}  // namespace brimvex::app
