#pragma once
// The light editor's rows in the controller's table: the mode, brightness, speed, ZZCC and custom
// group drop-downs and sliders, the R, G, B edits, the palette, the preset colours, 7-colour,
// direction, and the keyboard's fill and off buttons. Each edit changes one field of the selected
// device's light record, stores and saves it, reloads the light state and writes it to the device
// (a write the device refuses shows "light_write_failed").
#include <string>
#include <vector>

#include "app/control_request.h"
#include "app/notify_router.h"

namespace brimvex::devices {
class COmbrixUSBDevice;
}

namespace brimvex::app {

class CMainWnd;

void RegisterLightRoutes(NotifyRouter& router, CMainWnd& wnd);
// brimvexctl light KIND set ... (app/light_requests.cpp).
void RegisterLightRequests(RequestTable& requests, CMainWnd& wnd);
// The words after "light" ("KIND set WORD..."), checked as the program checks them before it
// looks at any device; false with the reason when they are malformed.
bool LightSetWordsWellFormed(const std::vector<std::string>& args, std::string* why);

// A click on page key `key`: in the keyboard's custom colour mode the key takes the record's
// colour. True when it did.
bool PaintCustomKey(devices::COmbrixUSBDevice& device, int key);

// While one lives (UI thread), the light rows show no message box and it keeps the result of
// the first write that failed (RESULT_OK when every write went through).
class LightWriteCapture {
 public:
  LightWriteCapture();
  ~LightWriteCapture();
  LightWriteCapture(const LightWriteCapture&) = delete;
  LightWriteCapture& operator=(const LightWriteCapture&) = delete;
  int Result() const { return result_; }
  int Writes() const { return writes_; }
  void Record(int result);

 private:
  LightWriteCapture* outer_;
  int result_;
  int writes_ = 0;
};

}  // namespace brimvex::app
