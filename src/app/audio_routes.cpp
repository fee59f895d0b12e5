#include "app/audio_routes.h"

#include <functional>
#include <optional>

#include "app/main_wnd.h"
#include "app/music_wnd.h"
#include "app/profile_switch.h"
#include "devices/usb_device.h"
#include "lighting/audio_light_edit.h"
#include "lighting/light_control_ui.h"
#include "platform/trace.h"
#include "platform/ui/notification.h"

namespace brimvex::app {
namespace {

namespace notify = ui::notify;
using devices::COmbrixUSBDevice;
using lighting::CLightControlUI;
using profiles::AudioLightInfo;

const RowOptions kDevice{DeviceNeed::Any()};

bool g_music_open = false;  // UI thread only

void EditAudio(COmbrixUSBDevice& device, bool take_shown_color, const std::function<void(AudioLightInfo&)>& change) {
  auto* editor = dynamic_cast<CLightControlUI*>(device.LightEditor());
  if (editor == nullptr) return;
  std::optional<AudioLightInfo> info = editor->GetAudioLightInfo(take_shown_color);
  if (!info) return;
  if (change) change(*info);
  const devices::AudioLightState state = devices::AudioLightStateOf(*info);
  device.SetAudioLightState(state.mode, state.color, state.flags);
  editor->ShowAudioLightInfo(*info);
  if (!device.SaveProfile()) platform::Trace("audio light: the profile was not saved");
  device.ApplyLightSettings();
}

CLightControlUI* EditorOf(const Route& route) { return dynamic_cast<CLightControlUI*>(route.device->LightEditor()); }

RouteHandler OnTypedComponent(int component) {
  return [component](const Route& route) {
    const CLightControlUI* editor = EditorOf(route);
    if (editor == nullptr) return;
    const std::string text = editor->GetAudioColorText(component);
    EditAudio(*route.device, false,
              [&](AudioLightInfo& info) { lighting::SetTypedComponent(info, component, text); });
  };
}

}  // namespace

void RegisterAudioRoutes(NotifyRouter& r, CMainWnd& wnd) {
  r.AddName(
      notify::kItemSelect, "light_combo_audiomodeSelect",
      [](const Route& route) { EditAudio(*route.device, true, {}); }, kDevice);
  r.AddName(
      notify::kColorChanged, "deng_audioColor_Pallet",
      [](const Route& route) {
        const CLightControlUI* editor = EditorOf(route);
        if (editor == nullptr) return;
        const std::uint32_t color = editor->GetAudioPaletteColor();
        EditAudio(*route.device, true,
                  [color](AudioLightInfo& info) { lighting::SetTargetColor(info, color, false); });
      },
      kDevice);
  r.AddPrefix(
      notify::kClick, "audiocolor_option_",
      [](const Route& route) {
        const CLightControlUI* editor = EditorOf(route);
        if (editor == nullptr) return;
        const std::uint32_t color = editor->GetAudioPresetColor(route.number);
        EditAudio(*route.device, true, [color](AudioLightInfo& info) { lighting::SetTargetColor(info, color, true); });
      },
      kDevice);
  r.AddName(notify::kKillFocus, "deng_audioedit_R", OnTypedComponent(0), kDevice);
  r.AddName(notify::kKillFocus, "deng_audioedit_G", OnTypedComponent(1), kDevice);
  r.AddName(notify::kKillFocus, "deng_audioedit_B", OnTypedComponent(2), kDevice);
  r.AddNames(
      notify::kSelectChanged, {"deng_7audiocolor_check", "audio_BkColor_check", "audio_FgColor_check"},
      [](const Route& route) { EditAudio(*route.device, false, {}); }, kDevice);
  r.AddName(
      notify::kClick, "Close_bkColor_btn",
      [](const Route& route) { EditAudio(*route.device, true, lighting::ClearBackground); }, kDevice);
  r.AddName(notify::kClick, "music_setting_btn", [&wnd](const Route& /*route*/) {
    if (wnd.Audio() == nullptr || g_music_open) return;
    g_music_open = true;
    const auto styles =
        OpenMusicWnd(wnd.Frontend(), wnd.Resources(), wnd.Factory(), &wnd.Window(), wnd.Dpi(), wnd.Audio()->Styles());
    g_music_open = false;
    if (styles && wnd.Audio() != nullptr && !wnd.Audio()->ApplyStyles(*styles)) ShowText(wnd, "audio_styles_not_saved");
  });
}

void RegisterAudioRequests(RequestTable& requests, CMainWnd& wnd) {
  requests.Add("audio-viz", [&wnd](const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0] != "status") return ControlAnswer{kExitMalformed, "usage: audio-viz status"};
    AudioLighting* audio = wnd.Audio();
    if (audio == nullptr) return ControlAnswer{kExitFailed, "audio-reactive lighting has not started"};
    return ControlAnswer{kExitDone, audio->StatusText()};
  });
}

}  // namespace brimvex::app
