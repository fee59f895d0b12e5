#pragma once
// The modal message box: a "MsgWnd" window from the skin key "XML_MSG" with a title, a text and
// one button (mode 0: "confirm_btn") or two (mode 1: "cancel_btn" and "confirm_btn").
#include <string>

#include "platform/ui/control_factory.h"
#include "platform/ui/frontend.h"
#include "platform/ui/resource_manager.h"

namespace brimvex::app {

struct MessageBoxArgs {
  ui::Window* owner = nullptr;
  std::string title;  // a language key; empty keeps the skin's title
  std::string text;   // a language key, or the text itself when text_is_key is false
  int dpi = 96;       // 48, 72, 96, 120, 144, 168 or 192
  bool text_is_key = true;
  int button_mode = 0;
};

// 1 for "confirm_btn", 0 for "cancel_btn", "closebtn" or when the box cannot be shown.
int ShowMessageBox(ui::Frontend& frontend, ui::ResourceManager& resources, const ui::ControlFactory& factory,
                   const MessageBoxArgs& args);

}  // namespace brimvex::app
