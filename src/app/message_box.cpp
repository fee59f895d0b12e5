#include "app/message_box.h"

#include <algorithm>
#include <array>

#include "platform/trace.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/window.h"

namespace brimvex::app {
namespace {

constexpr std::array<int, 7> kMessageBoxDpis = {48, 72, 96, 120, 144, 168, 192};

class MessageBoxHandler final : public ui::Notifier {
 public:
  explicit MessageBoxHandler(ui::Window& window) : window_(window) {}
  void Notify(ui::Notification& n) override {
    if (n.type != ui::notify::kClick || n.sender == nullptr) return;
    const std::string& name = n.sender->Name();
    if (name == "confirm_btn") {
      window_.EndModal(1);
    } else if (name == "cancel_btn" || name == "closebtn") {
      window_.EndModal(0);
    }
  }

 private:
  ui::Window& window_;
};

}  // namespace

int ShowMessageBox(ui::Frontend& frontend, ui::ResourceManager& resources, const ui::ControlFactory& factory,
                   const MessageBoxArgs& args) {
  ui::Window window("MsgWnd", &resources, &frontend.Loop());
  ui::DialogBuilder builder(resources, factory);
  std::string error;
  if (!builder.BuildWindow(window, "XML_MSG", &error)) {
    platform::Trace(error);
    return 0;
  }
  window.SetTitle("msgwnd");
  if (!args.title.empty()) {
    if (auto* t = window.FindControl("MessageTitle")) t->SetTextKey(args.title);
  }
  if (!args.text.empty()) {
    if (auto* t = window.FindControl("MessageText")) {
      if (args.text_is_key) {
        t->SetTextKey(args.text);
      } else {
        t->SetText(args.text);
      }
    }
  }
  int dpi = args.dpi;
  if (std::find(kMessageBoxDpis.begin(), kMessageBoxDpis.end(), dpi) == kMessageBoxDpis.end()) {
    platform::Trace("MSG_WND DPI SET ERROR");
    dpi = 96;
  }
  window.SetDpi(dpi);
  if (auto* cancel = window.FindControl("cancel_btn")) cancel->SetVisible(args.button_mode == 1);
  if (auto* confirm = window.FindControl("confirm_btn")) confirm->SetVisible(true);
  MessageBoxHandler handler(window);
  window.AddNotifier(&handler);
  window.SetHost(frontend.CreateHost(window, ui::WindowStyle{args.owner, true, true}));
  window.Resize(window.Attributes().width, window.Attributes().height);
  window.CenterWindow();
  const int code = window.ShowModal();
  window.RemoveNotifier(&handler);
  return code == 1 ? 1 : 0;
}

}  // namespace brimvex::app
