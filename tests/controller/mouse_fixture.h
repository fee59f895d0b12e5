#pragma once
// The mouse alone on the real main window over the emulated machine, on its cable or behind its
// receiver: the controls of its page, what reached the emulated mouse, and the message boxes shown
// (each answered with its confirm button).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/mouse_device.h"
#include "discovery/controller_fixture.h"

namespace brimvex::app::test {

class MouseFixture : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    frontend_.SetModalHandler([this](ui::Window& w) { AnswerBox(w); });
  }
  void AnswerBox(ui::Window& w) {
    ui::Control* text = w.FindControl("MessageText");
    boxes_.push_back(text->TextKey().empty() ? text->Text() : text->TextKey());
    w.FindControl("confirm_btn")->Activate();
  }
  // The mouse alone, on its cable or through its receiver, synced and selected.
  void StartMouse(Link link) {
    Add(Product::kMouse).Plug(link);
    Start();
    ASSERT_TRUE(WaitForTrace("添加一个鼠标设备", 2));
    Advance(Millis(600));
    ASSERT_TRUE(WaitFor([&] { return selector().CountVisible() == 1; }));
    ASSERT_EQ(wnd_->SelectedDevice(), &Mouse());
    Device().ClearExchangeLog();
  }
  devices::COmbrixMouseDevice& Mouse() { return *dynamic_cast<devices::COmbrixMouseDevice*>(DeviceOfRow(kMouseRow)); }
  emulator::EmulatedDevice& Device() { return *emu_.Find("mouse"); }
  template <typename T = ui::Control>
  T& Control(const std::string& name) {
    auto* c = dynamic_cast<T*>(Mouse().FindControl(name));
    EXPECT_NE(c, nullptr) << name;
    return *c;
  }
  void Raise(ui::Control& c, const char* type) {
    wnd_->Window().SendNotify(&c, type);
    loop().RunPending();
  }
  void Press(const std::string& name) { Raise(Control(name), ui::notify::kClick); }
  // Requests of one command code the mouse took since the log was cleared.
  std::size_t Count(std::uint8_t code) const {
    std::size_t k = 0;
    for (const auto& ex : emu_.Find("mouse")->ExchangeLog()) k += ex.request[3] == code ? 1u : 0u;
    return k;
  }

  std::vector<std::string> boxes_;
};

}  // namespace brimvex::app::test
