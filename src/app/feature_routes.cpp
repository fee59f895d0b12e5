#include "app/feature_routes.h"

#include "app/headset_routes.h"
#include "app/key_editor_routes.h"
#include "app/keyboard_routes.h"
#include "app/keymap_requests.h"
#include "app/light_routes.h"
#include "app/macro_requests.h"
#include "app/macro_routes.h"
#include "app/mouse_routes.h"
#include "app/recoil_requests.h"
#include "app/profile_routes.h"
#include "app/appearance_link.h"
#include "app/audio_routes.h"
#include "app/update_routes.h"

namespace brimvex::app {

void RegisterFeatureRoutes(NotifyRouter& router, CMainWnd& wnd) {
  // One call per feature, e.g. RegisterKeyboardRoutes(router, wnd);
  RegisterProfileRoutes(router, wnd);
  RegisterAppearanceRoutes(router, wnd);
  RegisterKeyboardRoutes(router, wnd);
  RegisterKeyEditorRoutes(router, wnd);
  RegisterLightRoutes(router, wnd);
  RegisterAudioRoutes(router, wnd);
  RegisterMacroRoutes(router, wnd);
  RegisterUpdateRoutes(router, wnd);
  RegisterMouseRoutes(router, wnd);
  RegisterHeadsetRoutes(router, wnd);
}

}  // namespace brimvex::app

namespace brimvex::app {

void RegisterFeatureRequests(RequestTable& requests, CMainWnd& wnd) {
  // One call per feature, e.g. RegisterKeymapRequests(requests, wnd);
  RegisterProfileRequests(requests, wnd);
  RegisterAppearanceRequests(requests, wnd);
  RegisterKeymapRequests(requests, wnd);
  RegisterLightRequests(requests, wnd);
  RegisterAudioRequests(requests, wnd);
  RegisterMacroRequests(requests, wnd);
  RegisterRecoilRequests(requests, wnd);
  RegisterMouseRequests(requests, wnd);
  RegisterHeadsetRequests(requests, wnd);
}

}  // namespace brimvex::app
