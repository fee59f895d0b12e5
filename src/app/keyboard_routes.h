#pragma once
// The keyboard's rows in the controller's table: its system controls ("repeat_rate_slider",
// "repeat_delay_check_" + N, "6flag_option", "wflag_option", "winlockflag_option",
// "polling_rate_option_" + N) and "reset_repeat_btn". Each change is saved in the profile and
// written to the keyboard; a write the keyboard refuses shows "keyboard_write_failed".
#include "app/notify_router.h"

namespace brimvex::app {

class CMainWnd;

void RegisterKeyboardRoutes(NotifyRouter& router, CMainWnd& wnd);

}  // namespace brimvex::app
