// The controller's side of the update check: the settings window (one at a time, modal to the
// main window), the messages it exchanges with it, the firmware upgrade prompt and the update
// mark on "setbtn".
#include <filesystem>

#include "app/device_tables.h"
#include "app/main_wnd.h"
#include "app/message_box.h"
#include "appearance/language_combo.h"
#include "devices/usb_device.h"
#include "platform/trace.h"
#include "profiles/file_helpers.h"
#include "update/update_request.h"
#include "update/update_time_file.h"

namespace brimvex::app {
namespace {

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brimvex";
// Firmware this old or older asks for the upgrade program.
constexpr std::int64_t kFirmwareCurrentFrom = 261;

}  // namespace

std::int32_t CMainWnd::InstalledProgramVersion() const {
  if (registry_ == nullptr) return update::kBuiltProgramVersion;
  const auto value = registry_->ReadValue(kUninstallKey, "DisplayVersion");
  if (!value) return update::kBuiltProgramVersion;
  if (const auto* n = std::get_if<std::uint32_t>(&*value)) return *n == 0 ? update::kBuiltProgramVersion : static_cast<std::int32_t>(*n);
  return update::ProgramVersionFromDisplay(std::get<std::string>(*value));
}

std::vector<update::UpdateEntry> CMainWnd::UpdateList() const {
  auto all = BuildUpdateList(
      [this](std::size_t k) -> std::int32_t {
        const CDeviceOptionUI* entry = selector_.Entry(static_cast<int>(k));
        devices::COmbrixUSBDevice* device = entry != nullptr ? entry->Device() : nullptr;
        if (device == nullptr || !device->CommandChannelRef().IsOpen()) return 0;
        return device->CommandChannelRef().Wired().attributes().version;
      },
      InstalledProgramVersion());
  std::vector<update::UpdateEntry> list;
  for (auto& e : all)
    if (e.current_version != 0) list.push_back(std::move(e));
  return list;
}

void CMainWnd::OpenSettings(bool centred) {
  if (destroyed_) return;
  if (update_ != nullptr) {
    update_->Window().Show(true);
    update_->Window().BringToFront();
    return;
  }
  update::SetWndServices s = update_services_;
  s.frontend = &frontend_;
  s.resources = &resources_;
  s.factory = &factory_;
  s.owner = &window_;
  if (update_dates_ == nullptr) update_dates_ = std::make_unique<update::UpdateTimeFile>(profiles::GetApplicationFolder());
  s.dates = update_dates_.get();
  if (s.download_folder.empty()) s.download_folder = profiles::GetApplicationFolder() + "UpdateData/";
  if (s.shell == nullptr) s.shell = shell_;
  s.fill_languages = [this](ui::Combo& combo, int current) {
    if (appearance_ != nullptr) appearance::FillLanguageCombo(combo, appearance_->Language().List(), current);
  };
  s.language_index = appearance_ != nullptr ? appearance_->Language().Current() : 0;
  s.send_to_owner = [this](std::uint32_t m, std::uint64_t w, std::int64_t l) { HandleMessage(m, w, l); };
  s.on_closed = [this] {
    // Destroyed after the notification that closed it.
    frontend_.Loop().Post([this] { update_.reset(); });
  };
  s.ask_user = [this](const std::string& key, bool two) { return AskUser(key, two); };
  auto wnd = std::make_unique<update::CSetWnd>(std::move(s));
  std::string error;
  if (!wnd->Open(UpdateList(), window_.Dpi(), centred, &error)) {
    platform::Trace(error);
    return;
  }
  update_ = std::move(wnd);
}

void CMainWnd::CloseSettings() {
  if (update_ == nullptr) return;
  update_.reset();
}

void CMainWnd::ClearUpdateMark() {
  if (ui::Control* set = TitleBarControl("setbtn")) set->SetImage("foreimage", "");
}

void CMainWnd::OnFirmwarePrompt(std::int64_t version) {
  if (version >= kFirmwareCurrentFrom) {
    firmware_current_ = 1;
    return;
  }
  firmware_current_ = 0;
  if (auto* hint = window_.FindControl("No_device_Link")) hint->SetVisible(true);
  MessageBoxArgs args;
  args.owner = &window_;
  args.title = "tips_text";
  args.text = "message_text_26";
  args.dpi = window_.Dpi();
  args.button_mode = 1;
  if (ShowMessageBox(frontend_, resources_, factory_, args) != 1) {
    // Cancel ends the program, through the orderly shutdown.
    Exit();
    return;
  }
  const std::string folder = update_services_.upgrade_folder;
  const std::string program = folder + update::kUpgradeProgram;
  std::string error;
  std::error_code ec;
  if (shell_ == nullptr || !std::filesystem::is_regular_file(program, ec) ||
      !shell_->StartIn({program, "On the upgrade"}, folder, &error)) {
    platform::Trace("firmware upgrade program not started: " + (error.empty() ? program : error));
    AskUser("update_fw_missing_text", false);
  }
}

}  // namespace brimvex::app
