#pragma once
// The macro and recoil editors' rows in the controller's table: the macro editor's buttons, the
// four pointer-move buttons (case-sensitive names), the mouse items and recording items of the
// row menu, the delete command with its key rule over every profile, recording over the live
// input port, and the recoil editor's controls on the mouse page.
#include <memory>

#include "app/notify_router.h"

namespace brimvex::devices {
class COmbrixUSBDevice;
}
namespace brimvex::macros {
class MacroStore;
}
namespace brimvex::platform {
class EventLoop;
}

namespace brimvex::app {

class CMainWnd;

void RegisterMacroRoutes(NotifyRouter& router, CMainWnd& wnd);

// The page's editors once the page is built: the macro editor over the device's store (names to
// the key editor), the recoil editor over the device folder and the shipped defaults.
void SetUpMacroEditors(devices::COmbrixUSBDevice& device, std::shared_ptr<macros::MacroStore> store,
                       platform::EventLoop* loop);

// Recording ends without saving its device writes when the selected device goes (the editor is
// unlocked, the hooks removed, the rows saved).
void EndMacroRecording(CMainWnd& wnd);

}  // namespace brimvex::app
