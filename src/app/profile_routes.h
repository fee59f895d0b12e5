#pragma once
// The profile list's rows in the controller's table ("device_add_btn" ... "profile_fun_spread_btn",
// the switch after "device_profile_combo") and brimvexctl's "profile" requests.
#include "app/control_request.h"
#include "app/notify_router.h"

namespace brimvex::app {

class CMainWnd;

void RegisterProfileRoutes(NotifyRouter& router, CMainWnd& wnd);
void RegisterProfileRequests(RequestTable& requests, CMainWnd& wnd);

}  // namespace brimvex::app
