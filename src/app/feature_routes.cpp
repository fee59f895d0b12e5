#include "app/feature_routes.h"

namespace brimvex::app {

void RegisterFeatureRoutes(NotifyRouter& /*router*/, CMainWnd& /*wnd*/) {
  // One call per feature, e.g. RegisterKeyboardRoutes(router, wnd);
}

}  // namespace brimvex::app
