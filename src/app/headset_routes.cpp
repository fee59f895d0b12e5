#include "app/headset_routes.h"

#include <charconv>

#include "app/main_wnd.h"
#include "app/message_box.h"
#include "audio/magic_control_ui.h"
#include "audio/ri6533_device.h"
#include "audio/voice6533_control_ui.h"
#include "devices/device_kind.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/notification.h"

namespace brimvex::app {
namespace {

namespace notify = ui::notify;
using audio::COmbrixRI6533Device;

const RowOptions kHeadset{DeviceNeed::Kinds({devices::kDeviceHeadset})};

COmbrixRI6533Device* Headset(const Route& route) { return dynamic_cast<COmbrixRI6533Device*>(route.device); }

// Options of a group raise a change for the one that went off too.
bool TurnedOn(const Route& route) {
  const auto* option = dynamic_cast<const ui::Option*>(route.notification.sender);
  return option == nullptr || option->IsSelected();
}

int SliderValue(const Route& route) {
  const auto* slider = dynamic_cast<const ui::Progress*>(route.notification.sender);
  return slider != nullptr ? slider->Value() : 0;
}

std::optional<int> Number(const std::string& text, int min, int max) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, value);
  if (text.empty() || r.ec != std::errc() || r.ptr != end || value < min || value > max) return std::nullopt;
  return value;
}

COmbrixRI6533Device* FirstHeadset(CMainWnd& wnd) {
  if (wnd.Devices() == nullptr) return nullptr;
  for (devices::COmbrixUSBDevice* device : wnd.Devices()->AllDevices())
    if (auto* headset = dynamic_cast<COmbrixRI6533Device*>(device)) return headset;
  return nullptr;
}

// Selects the headset's strip entry as a click on it does; false when it is not shown.
bool SelectEntry(CMainWnd& wnd, COmbrixRI6533Device& headset) {
  DeviceSelector& selector = wnd.Selector();
  for (int i = 0; i < selector.Count(); ++i) {
    CDeviceOptionUI* entry = selector.Entry(i);
    if (entry == nullptr || entry->Device() != &headset) continue;
    if (!entry->IsEntryVisible()) return false;
    if (selector.SelectedEntry() == entry) return true;
    auto* option = dynamic_cast<ui::Option*>(entry->FindControl("device_select"));
    if (option == nullptr) return false;
    option->Activate();
    return selector.SelectedEntry() == entry;
  }
  return false;
}

std::string State(COmbrixRI6533Device& headset) {
  audio::CVoice6533ControlUI& voice = *headset.VoicePage();
  audio::CMagicControlUI& magic = *headset.MagicPage();
  std::string text = "eq: " + std::to_string(voice.SelectedPreset()) + "\nbands:";
  for (int band = 0; band < audio::kBandSliders; ++band) text += " " + std::to_string(voice.GetBand(band));
  text += "\ncustom: " + std::to_string(voice.CurrentCustom()) + "\n";
  for (int k = 0; k < voice.CustomCount(); ++k) text += "custom-eq " + std::to_string(k) + ": " + voice.CustomName(k) + "\n";
  const auto on = [](bool b) { return std::string(b ? "on " : "off "); };
  text += "mic: " + on(voice.MicEnabled()) + std::to_string(voice.MicLevel()) + "\n";
  text += "monitor: " + on(voice.MonitorEnabled()) + std::to_string(voice.MonitorLevel()) + "\n";
  text += "voice: " + on(magic.EnabledCheck()) + std::to_string(magic.SelectedType()) + "\n";
  return text;
}

template <typename T = ui::Control>
T* Control(ui::Container& page, const std::string& name) {
  return dynamic_cast<T*>(page.FindControl(name));
}

// Drives one control as the user does.
void Drive(COmbrixRI6533Device& headset, const HeadsetSetting& s) {
  audio::CVoice6533ControlUI& voice = *headset.VoicePage();
  audio::CMagicControlUI& magic = *headset.MagicPage();
  const auto click = [](ui::Control* c) {
    if (c != nullptr) c->Activate();
  };
  const auto slide = [](ui::Slider* slider, int value) {
    if (slider != nullptr) slider->UserSetValue(value);
  };
  const auto check = [&](ui::Option* option, bool on) {
    if (option != nullptr && option->IsSelected() != on) option->Activate();
  };
  if (s.key == "eq") {
    auto* option = Control<ui::Option>(voice, "6533_eq_option_" + std::to_string(s.first));
    // Choosing the option in front again still applies it, as a click on it does.
    if (option != nullptr && option->IsSelected()) option->Selected(false, false);
    click(option);
  } else if (s.key == "band") {
    slide(Control<ui::Slider>(voice, "6533_eq_hz_slider_" + std::to_string(s.first)), s.second);
  } else if (s.key == "custom" || s.key == "delete") {
    if (auto* combo = Control<ui::Combo>(voice, "custom_eq_name_combo")) combo->SelectItem(s.first);
    if (s.key == "delete") click(voice.FindControl("hs_EQ_btn_delete"));
  } else if (s.key == "save") {
    if (auto* edit = Control<ui::Edit>(voice, "custom_eq_name_edit")) edit->UserSetText(s.text);
    click(voice.FindControl("hs_EQ_btn_save"));
  } else if (s.key == "mic") {
    slide(Control<ui::Slider>(voice, "6533_MicIn_slider"), s.first);
  } else if (s.key == "mic-on") {
    check(Control<ui::Option>(voice, "6533_MicIn_option"), s.first != 0);
  } else if (s.key == "monitor") {
    slide(Control<ui::Slider>(voice, "6533_MicMoniter_slider"), s.first);
  } else if (s.key == "monitor-on") {
    check(Control<ui::Option>(voice, "6533_MicMoniter_option"), s.first != 0);
  } else if (s.key == "voice") {
    check(Control<ui::Option>(magic, "magic_enable_option"), s.first != 0);
  } else if (s.key == "voice-type") {
    click(Control<ui::Option>(magic, "magic_option_" + std::to_string(s.first)));
  }
}

ControlAnswer HeadsetRequest(CMainWnd& wnd, const std::vector<std::string>& args) {
  std::vector<HeadsetSetting> settings;
  if (!args.empty()) {
    if (args[0] != "set" || args.size() < 2) return {kExitMalformed, "brimvexctl: headset takes no words, or set KEY=VALUE ...\n"};
    std::string why;
    auto parsed = ParseHeadsetSettings(std::vector<std::string>(args.begin() + 1, args.end()), &why);
    if (!parsed) return {kExitMalformed, "brimvexctl: " + why + "\n"};
    settings = std::move(*parsed);
  }
  COmbrixRI6533Device* headset = FirstHeadset(wnd);
  if (headset == nullptr || headset->VoicePage() == nullptr || headset->MagicPage() == nullptr ||
      !headset->CommandChannelRef().IsOpen())
    return {kExitFailed, "brimvexctl: no headset\n"};
  if (!settings.empty()) {
    if (!headset->Audio().Available())
      return {kExitRefused, "brimvexctl: refused: audio settings unavailable: " + headset->Audio().Reason() + "\n"};
    if (!SelectEntry(wnd, *headset)) return {kExitFailed, "brimvexctl: no headset\n"};
    for (const auto& s : settings) {
      const std::size_t messages = headset->Messages().size();
      Drive(*headset, s);
      const auto& shown = headset->Messages();
      if (shown.size() > messages && shown.back() == "audio_write_rejected")
        return {kExitRefused,
                "brimvexctl: refused: the audio driver rejected " + headset->Audio().RejectedProperty() + "\n"};
    }
  }
  return {kExitDone, State(*headset)};
}

}  // namespace

std::optional<std::vector<HeadsetSetting>> ParseHeadsetSettings(const std::vector<std::string>& words, std::string* why) {
  struct Range {
    const char* key;
    int min, max;
  };
  static constexpr Range kRanges[] = {{"eq", 1, 13},      {"custom", 0, 19},    {"delete", 0, 19},
                                      {"mic", 0, 100},    {"mic-on", 0, 1},     {"monitor", 0, 100},
                                      {"monitor-on", 0, 1}, {"voice", 0, 1},    {"voice-type", 1, 4}};
  std::vector<HeadsetSetting> out;
  for (const auto& word : words) {
    const auto fail = [&](const std::string& reason) {
      if (why != nullptr) *why = reason + ": " + word;
      return std::nullopt;
    };
    const std::size_t eq = word.find('=');
    if (eq == std::string::npos || eq == 0) return fail("not KEY=VALUE");
    HeadsetSetting s;
    s.key = word.substr(0, eq);
    const std::string value = word.substr(eq + 1);
    if (s.key == "save") {
      if (value.empty() || value.size() > 32) return fail("a name of 1 to 32 bytes");
      s.text = value;
    } else if (s.key == "band") {
      const std::size_t colon = value.find(':');
      const auto band = colon == std::string::npos ? std::nullopt : Number(value.substr(0, colon), 0, 9);
      const auto gain = colon == std::string::npos ? std::nullopt : Number(value.substr(colon + 1), -20, 20);
      if (!band || !gain) return fail("band=I:V with I 0-9 and V -20 to 20");
      s.first = *band;
      s.second = *gain;
    } else {
      const Range* range = nullptr;
      for (const auto& r : kRanges)
        if (s.key == r.key) range = &r;
      if (range == nullptr) return fail("unknown setting");
      const auto n = Number(value, range->min, range->max);
      if (!n) return fail("out of range (" + std::to_string(range->min) + " to " + std::to_string(range->max) + ")");
      s.first = *n;
    }
    out.push_back(std::move(s));
  }
  return out;
}

void RegisterHeadsetRoutes(NotifyRouter& r, CMainWnd& wnd) {
  // Messages of the headset go out after the event that raised them.
  COmbrixRI6533Device::SetMessageSink(&wnd, [&wnd](const std::string& text, bool is_key) {
    wnd.Frontend().Loop().Post([&wnd, text, is_key] {
      MessageBoxArgs args;
      args.owner = &wnd.Window();
      args.dpi = wnd.Dpi();
      args.text = text;
      args.text_is_key = is_key;
      ShowMessageBox(wnd.Frontend(), wnd.Resources(), wnd.Factory(), args);
    });
  });
  r.AddPrefix(
      notify::kSelectChanged, "6533_eq_option_",
      [](const Route& route) {
        if (auto* h = Headset(route); h != nullptr && TurnedOn(route)) h->ApplyPreset(route.number);
      },
      kHeadset);
  r.AddPrefix(
      notify::kValueChanged, "6533_eq_hz_slider_",
      [](const Route& route) {
        if (auto* h = Headset(route)) h->ChangeBand(route.number, SliderValue(route));
      },
      kHeadset);
  r.AddName(
      notify::kItemSelect, "custom_eq_name_combo",
      [](const Route& route) {
        if (auto* h = Headset(route)) h->ApplySelectedCustom();
      },
      kHeadset);
  r.AddName(
      notify::kClick, "hs_EQ_btn_save",
      [](const Route& route) {
        if (auto* h = Headset(route)) h->SaveCustom();
      },
      kHeadset);
  r.AddName(
      notify::kClick, "hs_EQ_btn_delete",
      [](const Route& route) {
        if (auto* h = Headset(route)) h->DeleteCustom();
      },
      kHeadset);
  r.AddName(
      notify::kSelectChanged, "6533_MicIn_option",
      [](const Route& route) {
        if (auto* h = Headset(route)) h->ToggleMic();
      },
      kHeadset);
  r.AddName(
      notify::kSelectChanged, "6533_MicMoniter_option",
      [](const Route& route) {
        if (auto* h = Headset(route)) h->ToggleMonitor();
      },
      kHeadset);
  r.AddName(
      notify::kValueChanged, "6533_MicIn_slider",
      [](const Route& route) {
        if (auto* h = Headset(route)) h->SetMicLevel(SliderValue(route));
      },
      kHeadset);
  r.AddName(
      notify::kValueChanged, "6533_MicMoniter_slider",
      [](const Route& route) {
        if (auto* h = Headset(route)) h->SetMonitorLevel(SliderValue(route));
      },
      kHeadset);
  r.AddName(
      notify::kSelectChanged, "magic_enable_option",
      [](const Route& route) {
        if (auto* h = Headset(route)) h->SwitchVoiceChanger();
      },
      kHeadset);
  r.AddPrefix(
      notify::kSelectChanged, "magic_option_",
      [](const Route& route) {
        if (auto* h = Headset(route); h != nullptr && TurnedOn(route)) h->SelectVoiceType(route.number);
      },
      kHeadset);
}

void RegisterHeadsetRequests(RequestTable& requests, CMainWnd& wnd) {
  requests.Add("headset", [&wnd](const std::vector<std::string>& args) { return HeadsetRequest(wnd, args); });
}

}  // namespace brimvex::app
