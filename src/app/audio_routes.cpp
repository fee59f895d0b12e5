#include "app/audio_routes.h"

#include "app/main_wnd.h"

namespace brimvex::app {

void RegisterAudioRequests(RequestTable& requests, CMainWnd& wnd) {
  requests.Add("audio-viz", [&wnd](const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0] != "status") return ControlAnswer{kExitMalformed, "usage: audio-viz status"};
    AudioLighting* audio = wnd.Audio();
    if (audio == nullptr) return ControlAnswer{kExitFailed, "audio-reactive lighting has not started"};
    return ControlAnswer{kExitDone, audio->StatusText()};
  });
}

}  // namespace brimvex::app
