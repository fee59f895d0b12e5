// Brimvex: the program's entry point. Builds the Qt frontend and runs the application.
#include <string>

#include "app/application.h"
#include "app/hub_peer_link.h"
#include "platform/paths.h"
#include "platform/qt/qt_frontend.h"
#include "platform/trace.h"

int main() {
  using namespace brimvex;
  const std::string folder = platform::ExecutableFolder();
  app::HubPeerLink peers;
  app::ApplicationSetup setup;
  setup.peers = &peers;
  setup.program_folder = folder;
  setup.make_frontend = [&folder]() -> std::unique_ptr<ui::Frontend> {
    std::string error;
    auto frontend = qt::CreateQtFrontend("Brimvex", folder + "skin/", &error);
    if (frontend == nullptr) platform::Trace(error);
    return frontend;
  };
  return app::RunApplication(setup);
}
