#pragma once
// The one place that adds the features' notification rows and brimvexctl requests to the
// controller's tables. Each feature keeps its rows in a registration function of its own file
// and is called from here.
#include "app/control_request.h"
#include "app/notify_router.h"

namespace brimvex::app {

class CMainWnd;

// Runs once while the main window is created (after its title-bar controls are known and before
// "windowinit"); the device pages do not exist yet, so handlers look them up when they run.
void RegisterFeatureRoutes(NotifyRouter& router, CMainWnd& wnd);
// The same for the brimvexctl requests the running program answers (on the UI thread).
void RegisterFeatureRequests(RequestTable& requests, CMainWnd& wnd);

}  // namespace brimvex::app
