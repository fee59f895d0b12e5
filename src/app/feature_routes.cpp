#include "app/feature_routes.h"

namespace brimvex::app {

void RegisterFeatureRoutes(NotifyRouter& /*router*/, CMainWnd& /*wnd*/) {
  // One call per feature, e.g. RegisterKeyboardRoutes(router, wnd);
}

}  // namespace brimvex::app

namespace brimvex::app {

void RegisterFeatureRequests(RequestTable& /*requests*/, CMainWnd& /*wnd*/) {
  // One call per feature, e.g. RegisterKeymapRequests(requests, wnd);
}

}  // namespace brimvex::app
