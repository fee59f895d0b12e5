#include "app/recoil_requests.h"

#include <charconv>

#include "app/device_manager.h"
#include "app/main_wnd.h"
#include "devices/device_kind.h"
#include "devices/usb_device.h"
#include "macros/shoot_control_ui.h"

namespace brimvex::app {
namespace {

using macros::CShootControlUI;

constexpr const char* kUsage = "usage: recoil show | import FILE [gun 0-3]\n";

CShootControlUI* RecoilEditor(CMainWnd& wnd) {
  if (wnd.Devices() == nullptr) return nullptr;
  for (devices::COmbrixUSBDevice* d : wnd.Devices()->AllDevices())
    if (d->DeviceType() == devices::kDeviceMouse)
      if (auto* e = dynamic_cast<CShootControlUI*>(d->FindControl("ShootControlItem"))) return e;
  return nullptr;
}

// One line per bullet: GUN BULLET left|right X up|down Y DELAY, tab-separated.
std::string BulletLines(const CShootControlUI& editor) {
  std::string out;
  const macros::RecoilFiles files = editor.Files();
  for (int g = 0; g < macros::kGuns; ++g) {
    const Json::Value doc = files.Read(g);
    for (int b = 0; b < macros::kBullets; ++b) {
      const macros::Bullet v = macros::ReadBullet(doc, b);
      out += std::to_string(g) + "\t" + std::to_string(b) + "\t" + (v.left ? "left" : "right") + "\t" +
             std::to_string(v.x) + "\t" + (v.up ? "up" : "down") + "\t" + std::to_string(v.y) + "\t" +
             std::to_string(v.delay) + "\n";
    }
  }
  return out;
}

ControlAnswer Run(CMainWnd& wnd, const std::vector<std::string>& args) {
  const bool show = args.size() == 1 && args[0] == "show";
  const bool import = (args.size() == 2 || (args.size() == 4 && args[2] == "gun")) && args[0] == "import";
  if (!show && !import) return {kExitMalformed, kUsage};
  int gun = -1;
  if (args.size() == 4) {
    const std::string& w = args[3];
    const auto [p, ec] = std::from_chars(w.data(), w.data() + w.size(), gun);
    if (ec != std::errc() || p != w.data() + w.size() || gun < 0 || gun >= macros::kGuns)
      return {kExitMalformed, "no such gun: " + w + "\n"};
  }
  CShootControlUI* editor = RecoilEditor(wnd);
  if (editor == nullptr) return {kExitFailed, "no mouse page\n"};
  if (show) return {kExitDone, BulletLines(*editor)};
  if (gun >= 0) {
    // As a click on the gun's option.
    editor->SelectGun(gun);
    editor->ShowBullet();
  }
  const macros::ImportCheck check = editor->ImportGun(args[1]);
  if (!check.ok()) return {kExitRefused, std::string("refused: ") + macros::ImportFaultReason(check.fault) + "\n"};
  return {kExitDone, "imported gun " + std::to_string(editor->SelectedGun()) + " (" +
                         std::to_string(check.events.size()) + " events)\n"};
}

}  // namespace

void RegisterRecoilRequests(RequestTable& requests, CMainWnd& wnd) {
  requests.Add("recoil", [&wnd](const std::vector<std::string>& args) { return Run(wnd, args); });
}

}  // namespace brimvex::app
