#pragma once
// The main window on the headless frontend with discovery running over an emulated machine. The
// discovery thread works in real time; the UI loop's clock moves only when a test advances it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/control_classes.h"
#include "app/fake_peer_link.h"
#include "app/main_wnd.h"
#include "emulator/emulated_hid_backend.h"
#include "emulator/emulator.h"
#include "platform/paths.h"
#include "platform/registered_messages.h"
#include "platform/trace.h"
#include "platform/ui/container.h"
#include "platform/ui/controls.h"
#include "platform/ui/headless_frontend.h"
#include "test_support/temp_dir.h"

namespace brimvex::app::test {

using emulator::Link;
using emulator::Product;
using platform::Millis;

class ControllerFixture : public ::testing::Test {
 protected:
  // The selector rows of the default pages.
  static constexpr int kMouseRow = 0;
  static constexpr int kKeyboardRow = 1;

  void SetUp() override {
    // The pages keep their profiles in a folder of the test's own.
    old_data_home_ = platform::GetEnv("XDG_DATA_HOME");
    platform::SetEnv("XDG_DATA_HOME", data_home_.folder());
    const std::string res = platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/";
    ASSERT_TRUE(resources_.LoadResource(res + "skin/"));
    resources_.SetLanguageFolder(res + "lang/");
    messages_.app_instance = platform::RegisterWindowMessage(kAppInstanceName);
    RegisterGuidMessages(messages_);
    RegisterControlClasses(factory_, ControlContext{&backend_, &loop()});
  }
  void TearDown() override {
    if (wnd_ != nullptr) wnd_->Exit();
    wnd_.reset();
    platform::SetEnv("XDG_DATA_HOME", old_data_home_);
  }

  emulator::EmulatedDevice& Add(Product p) {
    emulator::EmulatedDevice& d = emu_.AddDevice(p);
    d.SetLatency(Millis(0));
    return d;
  }
  void Start() {
    wnd_ = std::make_unique<CMainWnd>(frontend_, resources_, factory_, messages_, &peers_, &backend_);
    std::string error;
    ASSERT_TRUE(wnd_->Create(&error)) << error;
    ASSERT_TRUE(WaitFor([&] { return host().IsVisible(); })) << "no first discovery pass";
  }
  // Runs the UI loop (not its clock) until the condition holds; the limit only turns a hang into
  // a failure.
  bool WaitFor(const std::function<bool()>& pred) { return loop().RunUntil(pred, Millis(10000)); }
  // Waits until the UI thread has handled `count` lines containing `trace` in all.
  bool WaitForTrace(std::string_view trace, std::size_t count) {
    return WaitFor([&] { return traces_.Count(trace) >= count; });
  }
  void Advance(Millis by) { loop().AdvanceClock(by); }

  platform::HeadlessEventLoop& loop() { return frontend_.HeadlessLoop(); }
  ui::HeadlessWindowHost& host() { return *static_cast<ui::HeadlessWindowHost*>(wnd_->Window().Host()); }
  DeviceSelector& selector() { return wnd_->Selector(); }
  CDeviceOptionUI* EntryOfRow(int row) { return selector().Entry(selector().IndexOfRow(row)); }
  devices::COmbrixUSBDevice* DeviceOfRow(int row) {
    CDeviceOptionUI* e = EntryOfRow(row);
    return e != nullptr ? e->Device() : nullptr;
  }
  hid::CommandChannel& ChannelOfRow(int row) { return DeviceOfRow(row)->CommandChannelRef(); }
  ui::TabLayout* Tab(const char* name) { return wnd_->Window().Find<ui::TabLayout>(name); }
  bool HintShown() { return wnd_->Window().FindControl("No_device_Link")->IsVisible(); }
  void Click(const char* name) {
    ui::Control* c = wnd_->Window().FindControl(name);
    ASSERT_NE(c, nullptr) << name;
    c->Activate();
    loop().RunPending();
  }
  // A control of a layout that comes later, placed on the window's root.
  template <typename T = ui::Button>
  T* Place(const char* name) {
    auto control = std::make_unique<T>();
    control->SetName(name);
    T* raw = control.get();
    auto* root = dynamic_cast<ui::Container*>(wnd_->Window().Root());
    if (root == nullptr) return nullptr;
    root->Add(std::move(control));
    return raw;
  }
  // Plugs the products on their cables (the mouse through its receiver when asked), starts the
  // window and runs every connection timer: each device has had its initial read.
  void StartConnected(std::initializer_list<Product> products) {
    for (Product p : products) Add(p).Plug(Link::kCable);
    Start();
    ASSERT_TRUE(WaitFor([&] { return selector().CountVisible() == static_cast<int>(products.size()); }));
    Advance(Millis(600));
  }

  brimvex::test::TempDir data_home_;
  std::optional<std::string> old_data_home_;
  platform::TraceCapture traces_;
  emulator::Emulator emu_;
  emulator::EmulatedHidBackend backend_{emu_};
  ui::HeadlessFrontend frontend_;
  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
  AppMessages messages_;
  FakePeerLink peers_;
  std::unique_ptr<CMainWnd> wnd_;
};

}  // namespace brimvex::app::test
