// brimvexctl mouse dpi | set-dpi STAGE VALUE | set-rate HZ | write-recoil: the first mouse page,
// whether in front or not, acted on as its controls are; the answer comes after the write.
#include <charconv>

#include "app/device_manager.h"
#include "app/main_wnd.h"
#include "app/mouse_routes.h"
#include "app/mouse_text.h"

namespace brimvex::app {
namespace {

using devices::COmbrixMouseDevice;

devices::COmbrixMouseDevice* FirstMouse(CMainWnd& wnd) {
  if (wnd.Devices() == nullptr) return nullptr;
  for (devices::COmbrixUSBDevice* device : wnd.Devices()->AllDevices())
    if (auto* mouse = dynamic_cast<COmbrixMouseDevice*>(device)) return mouse;
  return nullptr;
}

std::optional<int> Number(const std::string& word) {
  int v = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
  if (ec != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return v;
}

// The answer of a write: `line` on success; the reason otherwise.
ControlAnswer WriteAnswer(COmbrixMouseDevice& mouse, int result, const std::string& line) {
  if (result == hid::RESULT_OK) return {kExitDone, line};
  if (result == hid::RESULT_LINK_DOWN)
    return {kExitRefused, line + "the mouse is unreachable; the profile keeps the change\n"};
  if (!mouse.CommandChannelRef().IsOpen())
    return {kExitRefused, line + "the mouse is not connected; the profile keeps the change\n"};
  return {kExitFailed, line + "the mouse did not take the change: " + std::string(hid::ResultName(result)) + "\n"};
}

constexpr const char* kUsage = "mouse takes dpi, set-dpi STAGE VALUE, set-rate HZ or write-recoil\n";

}  // namespace

void RegisterMouseRequests(RequestTable& requests, CMainWnd& wnd) {
  requests.Add("mouse", [&wnd](const std::vector<std::string>& args) -> ControlAnswer {
    if (args.empty()) return {kExitMalformed, kUsage};
    const std::string& action = args[0];
    const bool known = (action == "dpi" && args.size() == 1) || (action == "set-dpi" && args.size() == 3) ||
                       (action == "set-rate" && args.size() == 2) || (action == "write-recoil" && args.size() == 1);
    if (!known) return {kExitMalformed, kUsage};
    COmbrixMouseDevice* mouse = FirstMouse(wnd);
    if (mouse == nullptr) return {kExitRefused, "there is no mouse page\n"};
    if (action == "dpi") {
      return {kExitDone, MouseStageLines(mouse->Stages(), mouse->ActiveStage(), mouse->PointerOptions().report_rate_index,
                                         mouse->Scale())};
    }
    if (action == "set-dpi") {
      if (mouse->Scale().slider_maximum == 0) return {kExitRefused, "the mouse has not been read yet\n"};
      const auto stage = Number(args[1]);
      const auto value = Number(args[2]);
      const int maximum = mouse->Scale().EditMaximum();
      if (!stage || *stage < 0 || *stage >= devices::kMouseStages)
        return {kExitMalformed, "STAGE is 0 to 4, not \"" + args[1] + "\"\n"};
      if (!value || *value < 0 || *value > maximum)
        return {kExitMalformed, "VALUE is 0 to " + std::to_string(maximum) + ", not \"" + args[2] + "\"\n"};
      const MouseEdit e = TypeStageValue(wnd, *mouse, *stage, args[2]);
      return WriteAnswer(*mouse, e.result,
                         "stage " + std::to_string(*stage) + " " + std::to_string(mouse->Scale().Display(e.slider)) +
                             " dpi (slider " + std::to_string(e.slider) + ")\n");
    }
    if (action == "set-rate") {
      const auto hz = Number(args[1]);
      const int index = hz ? devices::ReportRateIndex(*hz) : -1;
      if (index < 0) return {kExitMalformed, "HZ is 125, 250, 500, 1000 or 2000, not \"" + args[1] + "\"\n"};
      const MouseEdit e = SelectReportRate(wnd, *mouse, index);
      return WriteAnswer(*mouse, e.result, "rate " + std::to_string(*hz) + " Hz\n");
    }
    const devices::RecoilWrite w = WriteRecoil(*mouse);
    const std::string bytes = "recoil " + std::to_string(w.length) + " bytes";
    if (w.result == 0) return {kExitDone, bytes + " written\n"};
    if (w.result > 0) return {kExitRefused, bytes + " refused, limit " + std::to_string(w.limit) + " bytes\n"};
    const int result = w.result == hid::RESULT_SEND_FAILED && !mouse->CommandChannelRef().IsOpen() ? hid::RESULT_FAILED
                                                                                                      : w.result;
    return WriteAnswer(*mouse, result, "");
  });
}

}  // namespace brimvex::app
