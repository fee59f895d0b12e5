#pragma once
// CSkinFrame: the small background panel opened by the main window's "skinbtn". Its content is
// "skin.xml": a tab layout "skin_tab" with the skin's pictures ("skin_image_btn", user data the
// picture) and colours ("skin_color_btn", the button's background colour), the page buttons
// "skin_image" and "skin_color", "skin_reset" and "skin_Custom". It sits with its right edge on
// the anchor's right edge and its top on the anchor's bottom, and closes, changing nothing, as
// soon as it loses the focus.
#include <functional>
#include <string>

#include "appearance/skin_choices.h"
#include "platform/ui/control_factory.h"
#include "platform/ui/frontend.h"
#include "platform/ui/notification.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/window.h"

namespace brimvex::appearance {

inline constexpr const char* kSkinFrameClass = "UISkinFrame";
inline constexpr const char* kSkinFrameTitle = "skinframe";
inline constexpr const char* kSkinFrameLayout = "skin.xml";

class CSkinFrame final : public ui::Notifier {
 public:
  struct Context {
    ui::Frontend* frontend = nullptr;
    ui::ResourceManager* resources = nullptr;
    const ui::ControlFactory* factory = nullptr;
    SkinChoices* choices = nullptr;
    // The panel is finished (it lost the focus, or "skin_Custom" hands over to the file chooser):
    // the owner destroys it once the current notification is over.
    std::function<void()> on_close;
    // "skin_Custom" was clicked; called after on_close.
    std::function<void()> on_custom;
  };

  explicit CSkinFrame(Context context);
  ~CSkinFrame() override;
  CSkinFrame(const CSkinFrame&) = delete;
  CSkinFrame& operator=(const CSkinFrame&) = delete;

  // Builds the panel and shows it under `anchor` of `owner`. False with the reason (naming the
  // layout file) when it cannot be built.
  bool Open(ui::Window& owner, const ui::Control& anchor, std::string* error);
  ui::Window& Window() { return window_; }

  void Notify(ui::Notification& n) override;

 private:
  void Finish();

  Context context_;
  ui::Window window_;
  bool finished_ = false;
};

}  // namespace brimvex::appearance
