#pragma once
// The settings window's rows: "setbtn" opens it at its default place; `brimvexctl update check`
// runs the same check the window runs.
#include "app/control_request.h"
#include "app/notify_router.h"

namespace brimvex::app {

class CMainWnd;

void RegisterUpdateRoutes(NotifyRouter& router, CMainWnd& wnd);

}  // namespace brimvex::app
