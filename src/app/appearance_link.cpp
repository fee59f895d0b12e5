#include "app/appearance_link.h"

#include <charconv>
#include <cstdio>

#include "app/main_wnd.h"
#include "devices/usb_device.h"
#include "platform/file_dialog.h"
#include "platform/trace.h"
#include "profiles/file_helpers.h"

namespace brimvex::app {
namespace {

// "RRGGBB" (six hexadecimal digits) as an opaque colour.
std::optional<std::uint32_t> ParseRgb(std::string_view text) {
  if (text.size() != 6) return std::nullopt;
  std::uint32_t rgb = 0;
  const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), rgb, 16);
  if (ec != std::errc() || p != text.data() + text.size()) return std::nullopt;
  return 0xFF000000u | rgb;
}

}  // namespace

AppearanceLink::AppearanceLink(CMainWnd& wnd, platform::RegistryStore* store)
    : wnd_(wnd),
      language_(wnd.Resources(), store, appearance::ReadLanguageList(appearance::LanguageListPath())),
      skin_(profiles::GetApplicationFolder(), wnd.Resources().ResourcePath(), wnd.Frontend().PictureProbe()) {}

AppearanceLink::~AppearanceLink() {
  frame_.reset();
  appearance::SkinObserver::Instance().RemoveReceiver(this);
}

void AppearanceLink::Subscribe() {
  if (subscribed_) return;
  subscribed_ = true;
  appearance::SkinObserver::Instance().AddReceiver(this);
  skin_.RestoreStored();
}

void AppearanceLink::ApplySavedLanguage() { ApplyLanguage(language_.SavedIndex()); }

bool AppearanceLink::ApplyLanguage(int k) {
  if (!language_.Apply(k)) return false;
  // The windows were laid out with the new fonts; the pages set their computed texts again.
  wnd_.LanguageChanged();
  return true;
}

void AppearanceLink::ReceiveSkin(const appearance::SkinChangedParam& param) {
  ui::Control* root = wnd_.Window().FindControl("root");
  if (root == nullptr) return;
  if (param.is_color) {
    root->SetBkColor(param.color);
    root->SetImage("bkimage", "");
  } else {
    root->SetBkColor(0);
    root->SetImage("bkimage", param.image);
  }
}

void AppearanceLink::OpenSkinFrame() {
  CloseSkinFrame();
  ui::Control* anchor = wnd_.TitleBarControl("skinbtn");
  if (anchor == nullptr) return;
  appearance::CSkinFrame::Context context;
  context.frontend = &wnd_.Frontend();
  context.resources = &wnd_.Resources();
  context.factory = &wnd_.Factory();
  context.choices = &skin_;
  // The panel goes once the notification that finished it is over.
  context.on_close = [this] {
    appearance::CSkinFrame* finished = frame_.get();
    wnd_.Loop().Post([this, finished] {
      if (frame_.get() == finished) frame_.reset();
    });
  };
  context.on_custom = [this] { wnd_.Loop().Post([this] { PickCustomPicture(); }); };
  auto frame = std::make_unique<appearance::CSkinFrame>(std::move(context));
  std::string error;
  if (!frame->Open(wnd_.Window(), *anchor, &error)) {
    platform::Trace(error);
    return;
  }
  frame_ = std::move(frame);
}

void AppearanceLink::CloseSkinFrame() { frame_.reset(); }

void AppearanceLink::PickCustomPicture() {
  if (wnd_.Destroyed()) return;
  const auto path =
      platform::CurrentFileChooser().Choose(platform::FileChooser::Mode::kOpen, {{"(*.png)", "*.png"}, {"(*.*)", "*.*"}});
  if (!path) return;
  const appearance::CustomPictureResult r = skin_.ChooseCustom(*path);
  if (!r.accepted) wnd_.AskUser(r.text_key, false);
}

std::string AppearanceLink::LanguageLines() const {
  std::string out;
  const auto& list = language_.List();
  for (std::size_t i = 0; i < list.size(); ++i) {
    out += static_cast<int>(i) == language_.Current() ? "* " : "  ";
    out += std::to_string(i) + " " + list[i].name + " " + std::to_string(list[i].id) + "\n";
  }
  return out;
}

std::string AppearanceLink::BackgroundLine() const {
  const ui::Control* root = wnd_.Window().FindControl("root");
  if (root == nullptr) return "none\n";
  const std::string image = root->Image("bkimage");
  if (!image.empty()) return "image=" + image + "\n";
  char text[32];
  std::snprintf(text, sizeof text, "color=%06X\n", static_cast<unsigned>(root->BkColor() & 0xFFFFFFu));
  return text;
}

ControlAnswer AppearanceLink::LanguageRequest(const std::vector<std::string>& args) {
  if (args.size() > 1) return {kExitMalformed, "usage: language [NAME|INDEX]"};
  if (args.size() == 1) {
    const auto index = appearance::FindLanguage(language_.List(), args[0]);
    if (!index) return {kExitMalformed, "unknown language \"" + args[0] + "\"; the languages are:\n" + LanguageLines()};
    // As a choice in the settings window's drop-down.
    wnd_.HandleMessage(kMsgLanguageChange, static_cast<std::uint64_t>(*index), 0);
  }
  return {kExitDone, LanguageLines()};
}

ControlAnswer AppearanceLink::SkinRequest(const std::vector<std::string>& args) {
  if (args.size() > 1) return {kExitMalformed, "usage: skin [color=RRGGBB | image=FILE | reset]"};
  if (args.size() == 1) {
    const std::string& a = args[0];
    if (a == "reset") {
      skin_.Reset();
    } else if (a.starts_with("color=")) {
      const auto color = ParseRgb(std::string_view(a).substr(6));
      if (!color) return {kExitMalformed, "a colour is six hexadecimal digits RRGGBB, not \"" + a.substr(6) + "\""};
      skin_.ChooseColor(*color);
    } else if (a.starts_with("image=") && a.size() > 7 && a[6] == '/') {
      const appearance::CustomPictureResult r = skin_.ChooseCustom(a.substr(6));
      if (!r.accepted) return {kExitRefused, "picture refused: " + r.reason};
    } else {
      return {kExitMalformed, "usage: skin [color=RRGGBB | image=FILE | reset] (FILE an absolute path)"};
    }
  }
  return {kExitDone, BackgroundLine()};
}

void RegisterAppearanceRoutes(NotifyRouter& router, CMainWnd& wnd) {
  router.AddIdentity(ui::notify::kClick, wnd.TitleBarControl("skinbtn"), [&wnd](const Route&) {
    if (AppearanceLink* link = wnd.Appearance()) link->OpenSkinFrame();
  });
}

void RegisterAppearanceRequests(RequestTable& requests, CMainWnd& wnd) {
  requests.Add("language", [&wnd](const std::vector<std::string>& args) {
    AppearanceLink* link = wnd.Appearance();
    return link != nullptr ? link->LanguageRequest(args) : ControlAnswer{kExitFailed, "not started"};
  });
  requests.Add("skin", [&wnd](const std::vector<std::string>& args) {
    AppearanceLink* link = wnd.Appearance();
    return link != nullptr ? link->SkinRequest(args) : ControlAnswer{kExitFailed, "not started"};
  });
}

}  // namespace brimvex::app
