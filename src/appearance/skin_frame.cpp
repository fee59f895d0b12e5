#include "appearance/skin_frame.h"

#include "platform/ui/container.h"
#include "platform/ui/dialog_builder.h"

namespace brimvex::appearance {

CSkinFrame::CSkinFrame(Context context)
    : context_(std::move(context)), window_(kSkinFrameClass, context_.resources, &context_.frontend->Loop()) {
  window_.AddNotifier(this);
  window_.SetFocusLostHandler([this] { Finish(); });
}

CSkinFrame::~CSkinFrame() {
  window_.SetFocusLostHandler(nullptr);
  window_.RemoveNotifier(this);
}

bool CSkinFrame::Open(ui::Window& owner, const ui::Control& anchor, std::string* error) {
  ui::DialogBuilder builder(*context_.resources, *context_.factory);
  if (!builder.BuildWindow(window_, kSkinFrameLayout, error)) return false;
  window_.SetTitle(kSkinFrameTitle);
  window_.SetDpi(owner.Dpi());
  ui::WindowStyle style;
  style.owner = &owner;
  style.popup = true;
  window_.SetHost(context_.frontend->CreateHost(window_, style));
  const int width = window_.Attributes().width;
  const int height = window_.Attributes().height;
  window_.Resize(width, height);
  if (owner.Host() != nullptr) {
    const ui::Rect a = owner.Host()->ScreenRectOf(anchor);
    if (window_.Host() != nullptr) window_.Host()->Move(a.x + a.width - window_.Scale(width), a.y + a.height);
  }
  window_.Show(true);
  return true;
}

void CSkinFrame::Finish() {
  if (finished_) return;
  finished_ = true;
  window_.Show(false);
  if (context_.on_close) context_.on_close();
}

void CSkinFrame::Notify(ui::Notification& n) {
  if (n.type != std::string_view(ui::notify::kClick) || n.sender == nullptr || finished_) return;
  const std::string& name = n.sender->Name();
  SkinChoices& choices = *context_.choices;
  if (name == "skin_image_btn") {
    choices.ChooseImage(n.sender->UserData());
  } else if (name == "skin_color_btn") {
    choices.ChooseColor(n.sender->BkColor());
  } else if (name == "skin_color" || name == "skin_image") {
    if (auto* tab = window_.Find<ui::TabLayout>("skin_tab")) tab->SelectItem(name == "skin_color" ? 1 : 0);
  } else if (name == "skin_reset") {
    choices.Reset();
  } else if (name == "skin_Custom") {
    // The file chooser takes the focus: the panel is done before it opens.
    const auto on_custom = context_.on_custom;
    Finish();
    if (on_custom) on_custom();
  }
}

}  // namespace brimvex::appearance
