#pragma once
// How the main window meets the appearance subsystem: it applies the saved language at start-up
// and the chosen one on the language change message, receives the skin messages on "root",
// restores the recorded background after subscribing, opens the background panel for
// "skinbtn", and answers `brimvexctl language` and `brimvexctl skin`.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/control_request.h"
#include "app/notify_router.h"
#include "appearance/language_switcher.h"
#include "appearance/skin_choices.h"
#include "appearance/skin_frame.h"
#include "appearance/skin_observer.h"
#include "platform/registry_store.h"

namespace brimvex::app {

class CMainWnd;

class AppearanceLink final : public appearance::SkinReceiver {
 public:
  // `store` may be null (the language is then not kept between runs).
  AppearanceLink(CMainWnd& wnd, platform::RegistryStore* store);
  ~AppearanceLink() override;
  AppearanceLink(const AppearanceLink&) = delete;
  AppearanceLink& operator=(const AppearanceLink&) = delete;

  // Window init: the main window receives the skin messages; the recorded background returns.
  void Subscribe();
  // Start-up: the saved (or first-start) language.
  void ApplySavedLanguage();
  // The language change message (a choice in the settings window): apply language k; when it
  // changed, the open windows and the mouse and keyboard pages follow. True when it changed.
  bool ApplyLanguage(int k);

  // "skinbtn": the background panel under the button (a second click opens it anew).
  void OpenSkinFrame();
  void CloseSkinFrame();
  appearance::CSkinFrame* SkinFrame() const { return frame_.get(); }
  // "skin_Custom": the file chooser, then the picture's checks; a refusal is told in a message box.
  void PickCustomPicture();

  // appearance::SkinReceiver: the background of "root".
  void ReceiveSkin(const appearance::SkinChangedParam& param) override;

  // brimvexctl requests (the words after the verb).
  ControlAnswer LanguageRequest(const std::vector<std::string>& args);
  ControlAnswer SkinRequest(const std::vector<std::string>& args);

  appearance::LanguageSwitcher& Language() { return language_; }
  appearance::SkinChoices& Skin() { return skin_; }

 private:
  std::string LanguageLines() const;
  std::string BackgroundLine() const;

  CMainWnd& wnd_;
  appearance::LanguageSwitcher language_;
  appearance::SkinChoices skin_;
  std::unique_ptr<appearance::CSkinFrame> frame_;
  bool subscribed_ = false;
};

// "skinbtn" (by identity) opens the background panel.
void RegisterAppearanceRoutes(NotifyRouter& router, CMainWnd& wnd);
// `brimvexctl language [NAME]` and `brimvexctl skin [color=RRGGBB | image=FILE | reset]`.
void RegisterAppearanceRequests(RequestTable& requests, CMainWnd& wnd);

}  // namespace brimvex::app
