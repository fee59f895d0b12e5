#include "app/application.h"

#include <cstdio>

#include "app/app_messages.h"
#include "app/control_classes.h"
#include "app/font_loader.h"
#include "app/main_wnd.h"
#include "platform/trace.h"
#include "platform/ui/resource_manager.h"

namespace brimvex::app {
namespace {

int StartFailed(const std::string& why) {
  platform::Trace(why);
  std::fprintf(stderr, "brimvex: %s\n", why.c_str());
  return 1;
}

}  // namespace

int RunApplication(const ApplicationSetup& setup) {
  // 1. The four private fonts (read now, added once the frontend exists).
  FontSet fonts;
  fonts.ReadAll(setup.program_folder);
  // 2.-3. No COM or OLE here.
  // 4. UWM_APP_INSTANCE.
  AppMessages messages;
  messages.app_instance = RegisterAppInstanceMessage();
  // 5. Single instance: a second one hands over to the running one and ends.
  PeerLink* peers = setup.peers;
  if (peers != nullptr && !peers->AcquireInstanceLock(std::string(kAppIdentifier))) {
    if (!peers->Post(std::string(kAppIdentifier), PeerMessage{std::string(kAppInstanceName), 0, 1, {}}))
      platform::Trace("another instance holds the lock but could not be reached");
    return 0;
  }
  std::unique_ptr<ui::Frontend> frontend = setup.make_frontend ? setup.make_frontend() : nullptr;
  if (frontend == nullptr) {
    if (peers != nullptr) peers->ReleaseInstanceLock();
    return StartFailed("cannot start the window frontend (is a display available?)");
  }
  fonts.AddAll(*frontend);
  // 6. Skin folder and control classes.
  ui::ResourceManager resources;
  ui::ControlFactory factory;
  const std::string skin = setup.program_folder + "skin/";
  const bool skin_ok = resources.LoadResource(skin);
  resources.SetLanguageFolder(setup.program_folder + "lang/");
  RegisterControlClasses(factory, ControlContext{setup.hid_backend, &frontend->Loop()});
  // 7. The five GUID-named messages.
  RegisterGuidMessages(messages);
  int code = 0;
  {
    // 8. The controller and its window.
    // The power events outlive the controller, which lets go of them when it is destroyed.
    std::unique_ptr<platform::PowerEvents> power = setup.make_power ? setup.make_power() : nullptr;
    CMainWnd main(*frontend, resources, factory, messages, peers, setup.hid_backend);
    if (power != nullptr) main.AttachPower(*power);
    if (setup.shell != nullptr) main.AttachShell(*setup.shell);
    main.SetAudioCapture(setup.audio_capture);
    main.SetRegistryStore(setup.registry);
    update::SetWndServices update;
    update.make_client = setup.make_http_client;
    update.base_url = setup.update_base_url;
    update.upgrade_folder = setup.program_folder + "Update/";
    main.SetUpdateServices(std::move(update));
    std::string error;
    if (!skin_ok) error = resources.LastError();
    if (!skin_ok || !main.Create(&error)) {
      code = StartFailed("cannot build the main window: " + error);
    } else {
      main.Window().CenterWindow();
      platform::EventLoop& loop = frontend->Loop();
      if (peers != nullptr && !peers->Listen(std::string(kAppIdentifier), [&loop, &main](const PeerMessage& m) {
            loop.Post([&main, m] { main.HandlePeerMessage(m); });
          }))
        platform::Trace("cannot listen for other programs' messages");
      frontend->SetTerminateHandler([&main] { main.Exit(); });
      // 9. The loop, until the destroy message quits it.
      loop.Run();
      frontend->SetTerminateHandler(nullptr);
      if (peers != nullptr) peers->StopListening();
    }
    // 10. The controller goes first, then the rest in reverse.
  }
  if (peers != nullptr) peers->ReleaseInstanceLock();
  fonts.RemoveAll();
  frontend.reset();
  return code;
}

}  // namespace brimvex::app
