#pragma once
// brimvexctl "recoil" requests on the mouse page's recoil editor: `show` lists the four guns'
// bullets as the editor shows them, `import FILE [gun G]` is the import button on the selected gun
// (or on gun G, selected first).
#include "app/control_request.h"

namespace brimvex::app {

class CMainWnd;

void RegisterRecoilRequests(RequestTable& requests, CMainWnd& wnd);

}  // namespace brimvex::app
