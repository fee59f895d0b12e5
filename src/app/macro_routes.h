#pragma once
// The macro and recoil editors' rows in the controller's table: the macro editor's buttons, the
// four pointer-move buttons (case-sensitive names), the mouse items and recording items of the
// row menu, the delete command with its key rule over every profile, recording over the live
// input port, and the recoil editor's controls on the mouse page.
#include <cstdint>
#include <memory>

#include "app/notify_router.h"

namespace brimvex::devices {
class COmbrixUSBDevice;
}
namespace brimvex::macros {
class CMacroControlUI;
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

// The delete command on the editor's selected macro: asks first when `ask` (else as if answered
// yes), applies the key rule to every profile of the page, deletes, and writes the keys when the
// current ones changed. The deleted macro number, or -1 when nothing was deleted.
int DeleteSelectedMacro(CMainWnd& wnd, devices::COmbrixUSBDevice& device, macros::CMacroControlUI& editor, bool ask);

// The device's name lists and the key editor's macro list follow the store.
void RefreshMacroNames(devices::COmbrixUSBDevice& device);

// 0x041E: wParam 1 sets the hook in single-key mode (its key presses go to the key editor's
// capture step), wParam 0 removes the hooks; other values do nothing.
void OnKeyCaptureHookMessage(CMainWnd& wnd, std::uint64_t wparam);

// Recording ends without saving its device writes when the selected device goes (the editor is
// unlocked, the hooks removed, the rows saved).
void EndMacroRecording(CMainWnd& wnd);

}  // namespace brimvex::app
