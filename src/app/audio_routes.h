#pragma once
// Audio-reactive lighting's brimvexctl request: "audio-viz status".
#include "app/control_request.h"

namespace brimvex::app {

class CMainWnd;

void RegisterAudioRequests(RequestTable& requests, CMainWnd& wnd);

}  // namespace brimvex::app
