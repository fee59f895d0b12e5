// The controller across a system sleep: the devices are let go before it and taken up again
// after it; the window host's activation and pointer reports.
#include "app/main_wnd.h"
#include "devices/usb_device.h"
#include "platform/trace.h"

namespace brimvex::app {

void CMainWnd::AttachPower(platform::PowerEvents& power) {
  power_ = &power;
  power.SetHandlers({[this] { OnSuspend(); }, [this] { OnResume(); }});
}

void CMainWnd::OnSuspend() {
  if (destroyed_ || !awake_) return;
  platform::Trace("power: suspend");
  awake_ = false;
  // The devices are told the program does not drive their lights, then every interface goes.
  ApplyLightControl(0);
  if (devices_ != nullptr) devices_->CloseAll();
}

void CMainWnd::OnResume() {
  if (destroyed_ || awake_) return;
  platform::Trace("power: resume");
  awake_ = true;
  if (devices_ != nullptr) {
    // Each found slot runs its add step again (timer 1001 then reads the device and starts its
    // workers). One that no longer opens is lost and cleared, so discovery finds it when it
    // comes back.
    for (const std::size_t slot : devices_->ReopenAll()) {
      slot_table_.MarkLost(slot);
      devices_->OnSlotLost(slot);
    }
  }
  ApplyLightControl(light_control_);
  sync_.Wake();
  // What fell due while asleep (a game light's restore, a profile switch) runs now.
  std::vector<std::function<void()>> due = std::move(deferred_);
  deferred_.clear();
  for (auto& action : due) action();
}

void CMainWnd::RunWhenAwake(std::function<void()> action) {
  if (awake_) {
    action();
  } else {
    deferred_.push_back(std::move(action));
  }
}

void CMainWnd::ForEachInputDevice(const std::function<void(devices::COmbrixUSBDevice&)>& f) {
  if (devices_ == nullptr) return;
  for (const auto* list : {&devices_->Keyboards(), &devices_->Mice(), &devices_->MousePads()})
    for (devices::COmbrixUSBDevice* d : *list) f(*d);
}

void CMainWnd::OnActivated(bool active) {
  ForEachInputDevice([active](devices::COmbrixUSBDevice& d) { d.SetWindowActive(active); });
}

void CMainWnd::OnPointerInside(bool inside) {
  platform::Trace(inside ? "鼠标移入" : "鼠标移出");
  ForEachInputDevice([inside](devices::COmbrixUSBDevice& d) { d.SetPointerOverWindow(inside); });
}

void CMainWnd::OnScreenChanged() {
  if (destroyed_ || !awake_) return;
  platform::Trace("界面 DPI 发生变化");
  Layout();
}

}  // namespace brimvex::app
