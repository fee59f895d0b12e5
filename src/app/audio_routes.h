#pragma once
// Audio-reactive lighting in the controller's tables: the light editor's audio rows (mode, target
// options, 7-colour, palette, presets, typed R, G, B, the background cleared, the style window)
// and the brimvexctl request "audio-viz status". Each audio edit takes the record from the
// editor, changes it, stores it into the device in front (which keeps it in its profile), shows
// it, saves the profile and reloads the device's light state.
#include "app/control_request.h"
#include "app/notify_router.h"

namespace brimvex::app {

class CMainWnd;

void RegisterAudioRoutes(NotifyRouter& router, CMainWnd& wnd);
void RegisterAudioRequests(RequestTable& requests, CMainWnd& wnd);

}  // namespace brimvex::app
