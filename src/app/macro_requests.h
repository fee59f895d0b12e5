#pragma once
// brimvexctl "macro" requests: the page editor's buttons from the command line (list, show,
// import, export, delete, bind), on the keyboard's or the mouse's page.
#include "app/control_request.h"

namespace brimvex::app {

class CMainWnd;

void RegisterMacroRequests(RequestTable& requests, CMainWnd& wnd);

}  // namespace brimvex::app
