// `update check [--url BASE] [--emulate]`: the update list as the program builds it (the
// products found on the machine, or the emulated set, and the program itself), checked against
// the update service as the settings window checks it, one line per row.
#include <cstdio>
#include <memory>

#include "app/device_tables.h"
#include "app/emulated_update_service.h"
#include "commands.h"
#include "hid/hid_interface.h"
#include "hid/hid_path.h"
#include "hid_backend_choice.h"
#include "platform/curl/curl_http_client.h"
#include "profiles/json_registry_store.h"
#include "update/update_check.h"
#include "update/update_request.h"

namespace brimvex::tools {
namespace {

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brimvex";

std::int32_t InstalledVersion() {
  profiles::JsonRegistryStore store(profiles::DefaultRegistryPath());
  const auto value = store.ReadValue(kUninstallKey, "DisplayVersion");
  if (!value) return update::kBuiltProgramVersion;
  if (const auto* n = std::get_if<std::uint32_t>(&*value)) return *n == 0 ? update::kBuiltProgramVersion : static_cast<std::int32_t>(*n);
  return update::ProgramVersionFromDisplay(std::get<std::string>(*value));
}

// The version of the cable interface of each selector product (device-option row order), 0
// when it is not there.
bool ProductVersions(platform::HidBackend& backend, std::vector<std::int32_t>* versions) {
  const auto& options = app::DeviceOptions();
  versions->assign(options.size(), 0);
  hid::HidInterface list(backend);
  if (!list.Enumerate()) return false;
  while (const auto path = list.NextPath()) {
    const auto vid = static_cast<std::uint16_t>(hid::PathField(*path, hid::kVendorKey) & 0xFFFF);
    const auto pid = static_cast<std::uint16_t>(hid::PathField(*path, hid::kProductKey) & 0xFFFF);
    for (std::size_t k = 0; k < options.size(); ++k) {
      if (options[k].vendor_id != static_cast<std::int32_t>(vid) || options[k].product_id != static_cast<std::int32_t>(pid) || (*versions)[k] != 0) continue;
      hid::HidInterface trial(backend);
      if (trial.Open(*path, true, false, true, false)) (*versions)[k] = trial.attributes().version;
    }
  }
  return true;
}

int Check(bool emulate, const std::string& url, bool url_given) {
  emulator::Emulator machine;
  if (emulate) machine.AddDefaultSet();
  std::vector<std::int32_t> versions;
  if (!ProductVersions(*MakeHidBackend(emulate, machine), &versions)) {
    std::fprintf(stderr, "brimvexctl update: the HID interfaces cannot be enumerated\n");
    return 1;
  }
  std::string base = url_given ? url : update::ServiceBaseUrl();
  std::unique_ptr<platform::UpdateService> service;
  if (emulate && !url_given) {
    service = std::make_unique<platform::UpdateService>(app::EmulatedUpdateServiceConfig());
    std::string error;
    if (!service->Start(0, &error)) {
      std::fprintf(stderr, "brimvexctl update: %s\n", error.c_str());
      return 1;
    }
    base = service->BaseUrl();
  }
  std::vector<update::UpdateEntry> entries;
  for (auto& e : app::BuildUpdateList(
           [&versions](std::size_t k) { return k < versions.size() ? versions[k] : 0; }, InstalledVersion()))
    if (e.current_version != 0) entries.push_back(std::move(e));
  auto client = platform::curl::CreateCurlHttpClient();
  update::UpdateCheckSetup setup;
  setup.client = client.get();
  setup.base_url = base;
  const update::UpdateCheckResult r = update::RunUpdateCheck(entries, setup, nullptr);
  int code = 0;
  for (std::size_t k = 0; k < r.lines.size(); ++k) {
    const update::UpdateLine& line = r.lines[k];
    const update::RowOutcome outcome = r.outcomes[k];
    std::printf("%s %s %s %s %s\n", line.program ? "software" : "firmware", line.name.c_str(), line.current_text.c_str(),
                line.new_text.empty() ? "-" : line.new_text.c_str(), update::RowOutcomeWord(outcome));
    if (outcome == update::RowOutcome::kBadAnswer || outcome == update::RowOutcome::kUnreachable) code = 3;
  }
  return code;
}

}  // namespace

void AddUpdateCommand(CLI::App& app) {
  auto* cmd = app.add_subcommand("update", "Ask the update service about newer firmware and software");
  cmd->require_subcommand(1);
  auto* check = cmd->add_subcommand("check", "The update list, checked as the settings window checks it");
  auto url = std::make_shared<std::string>();
  auto emulate = std::make_shared<bool>(false);
  auto* url_option = check->add_option("--url", *url, "base URL of the service (\"updates\" is appended)");
  check->add_flag("--emulate", *emulate, "the emulated set, and the emulated service unless --url is given");
  check->callback([url, emulate, url_option] { ExitCode() = Check(*emulate, *url, url_option->count() > 0); });
}

}  // namespace brimvex::tools
