#pragma once
// The mouse page's rows in the controller's table: the resolution stages ("DPI_enable_check_",
// "DPI_select_check_", "DPI_slider_" live and released, "DPI_edit_", "DPI_color_option_" + N),
// the report rate ("polling_rate_option_" + N, in the keyboard's row), the settings pages
// ("mouse_device_seting_option_" + N), the pointer controls and "shootdate_save_btn". A stage
// or report-rate edit is stored in the profile, saved, and the settings record written; the
// pointer controls are only stored. A failed write shows a message; an unreachable mouse none.
//
// brimvexctl's "mouse" requests run the same functions as the rows.
#include <string>

#include "app/control_request.h"
#include "app/notify_router.h"
#include "devices/mouse_device.h"

namespace brimvex::app {

class CMainWnd;

void RegisterMouseRoutes(NotifyRouter& router, CMainWnd& wnd);
void RegisterMouseRequests(RequestTable& requests, CMainWnd& wnd);
// The report-rate row of a mouse (the keyboard's row hands mice over).
void OnMouseReportRate(CMainWnd& wnd, devices::COmbrixMouseDevice& mouse, int index);

// A stage or report-rate edit: the write's result (RESULT_FAILED when the profile was not saved).
struct MouseEdit {
  int result = 0;
  int slider = 0;
};
// Stage n takes the value typed into its edit, as "DPI_edit_" + n losing the focus does.
MouseEdit TypeStageValue(CMainWnd& wnd, devices::COmbrixMouseDevice& mouse, int n, const std::string& text);
MouseEdit SelectReportRate(CMainWnd& wnd, devices::COmbrixMouseDevice& mouse, int index);
// "shootdate_save_btn" without its messages.
devices::RecoilWrite WriteRecoil(devices::COmbrixMouseDevice& mouse);
// The texts of the messages for a recoil write (empty: none).
std::string RecoilMessage(CMainWnd& wnd, const devices::RecoilWrite& w);

}  // namespace brimvex::app
