#include "app/update_routes.h"

#include "app/main_wnd.h"

namespace brimvex::app {

void RegisterUpdateRoutes(NotifyRouter& router, CMainWnd& wnd) {
  router.AddIdentity(ui::notify::kClick, wnd.TitleBarControl("setbtn"), [&wnd](const Route&) { wnd.OpenSettings(false); });
}

}  // namespace brimvex::app
