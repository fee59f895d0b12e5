#pragma once
// The window messages the program registers by name, and its private message numbers.
#include <cstdint>
#include <string_view>

namespace brimvex::app {

inline constexpr std::string_view kAppIdentifier = "Brimvex";

inline constexpr std::string_view kAppInstanceName = "Brimvex";
inline constexpr std::string_view kUpgradeStatusName = "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}";
inline constexpr std::string_view kLightControlStateName = "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}";
inline constexpr std::string_view kLightControlSetName = "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}";
inline constexpr std::string_view kDeviceListQueryName = "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}";
// The last group ends in EBE19, unlike the four before it.
inline constexpr std::string_view kAudioRecorderName = "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}";

// Game events from a game integration outside the program, registered at start-up.
inline constexpr std::string_view kGameMessageNames[] = {"Game_Start", "Game_End", "Game_Kill", "Game_Death"};
// The copy-data message of other programs: wParam the sender's pid, lParam the data kind,
// payload the bytes.
inline constexpr std::string_view kCopyDataName = "WM_COPYDATA";

struct AppMessages {
  std::uint32_t app_instance = 0;
  std::uint32_t upgrade_status = 0;
  std::uint32_t light_control_state = 0;
  std::uint32_t light_control_set = 0;
  std::uint32_t device_list_query = 0;
  std::uint32_t audio_recorder = 0;
  std::uint32_t game[4] = {};
};

// UWM_APP_INSTANCE ("Brimvex"); traces "软件标示：%d" with its number.
std::uint32_t RegisterAppInstanceMessage();
// The five GUID-named messages, in their fixed order, then the four game names.
void RegisterGuidMessages(AppMessages& messages);

// Private messages of the main window (not registered).
inline constexpr std::uint32_t kMsgSettingProgress = 0x0C00;
inline constexpr std::uint32_t kMsgLanguageChange = 0x0C11;
inline constexpr std::uint32_t kMsgSlotFound = 0x0C12;
inline constexpr std::uint32_t kMsgSlotLost = 0x0C13;
inline constexpr std::uint32_t kMsgOpenSettings = 0x0C15;
// The settings window found everything current: the update mark on "setbtn" goes.
inline constexpr std::uint32_t kMsgUpdatesCurrent = 0x0C16;
// Another program reports a firmware version (lParam): the upgrade prompt. The only private
// number other programs may send, as the name "#0D04".
inline constexpr std::uint32_t kMsgFirmwareVersion = 0x0D04;
inline constexpr std::string_view kFirmwareVersionName = "#0D04";
// wParam = device-option row of the entry, lParam 1 show (and select when none was visible), 0 hide.
inline constexpr std::uint32_t kMsgShowEntry = 0x0D03;
inline constexpr std::uint32_t kMsgTrayIcon = 0x0401;
// wParam 1: the hooks capture single keys for the key editor; wParam 0: the hooks are removed.
inline constexpr std::uint32_t kMsgKeyCaptureHook = 0x041E;
inline constexpr std::uint32_t kMsgMenuCommand = 0x0479;
inline constexpr std::uint32_t kMsgDestroy = 0x0002;
inline constexpr std::uint32_t kMsgCopyData = 0x004A;

// Window timers of the main window.
inline constexpr std::uint32_t kTimerLayout = 1011;
inline constexpr std::uint32_t kTimerTrayMenu = 1032;
inline constexpr std::uint32_t kTimerProfileSwitch = 1055;
inline constexpr std::uint32_t kTimerGameLight = 1066;

}  // namespace brimvex::app
