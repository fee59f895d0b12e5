#pragma once
// The headset's rows in the controller's table (the voice page's equaliser options, band
// sliders, custom list and buttons, microphone and monitoring; the voice changer page's switch
// and voices) and `brimvexctl headset`, which shows the voice page's state or drives its
// controls through the UI model as clicks do:
//   eq=1-13 band=I:V (0-9, -20..20) custom=I save=NAME delete=I mic=0-100 mic-on=0|1
//   monitor=0-100 monitor-on=0|1 voice=0|1 voice-type=1-4
#include <optional>
#include <string>
#include <vector>

#include "app/control_request.h"
#include "app/notify_router.h"

namespace brimvex::app {

class CMainWnd;

void RegisterHeadsetRoutes(NotifyRouter& router, CMainWnd& wnd);
void RegisterHeadsetRequests(RequestTable& requests, CMainWnd& wnd);

// One checked word of `headset set`.
struct HeadsetSetting {
  std::string key;
  int first = 0;
  int second = 0;
  std::string text;
};
// The words after "set", all checked before anything changes; nullopt with the reason.
std::optional<std::vector<HeadsetSetting>> ParseHeadsetSettings(const std::vector<std::string>& words, std::string* why);

}  // namespace brimvex::app
