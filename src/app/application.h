#pragma once
// The program's entry sequence: fonts, the single-instance lock and hand-over, the skin and the
// control classes, the registered messages, the main window, the loop, and the clean-up.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/peer_link.h"
#include "platform/hid_backend.h"
#include "platform/http_client.h"
#include "platform/power_events.h"
#include "platform/shell.h"
#include "platform/registry_store.h"
#include "platform/ui/frontend.h"

namespace brimvex::app {

struct ApplicationSetup {
  // The folder that holds "skin/", "lang/" and "Font/" (ending in "/").
  std::string program_folder;
  // Creates the frontend; called only when this process is the first instance.
  std::function<std::unique_ptr<ui::Frontend>()> make_frontend;
  PeerLink* peers = nullptr;
  // Where the language choice is kept between runs; none means it is not kept.
  platform::RegistryStore* registry = nullptr;
  // The HID interfaces discovery looks at; none means no discovery.
  platform::HidBackend* hid_backend = nullptr;
  // The system's sleep and wake, made once the frontend exists (none: never told).
  std::function<std::unique_ptr<platform::PowerEvents>()> make_power{};
  // Where the desktop's programs are started (none: nothing is started).
  platform::Shell* shell = nullptr;
  // The capture program of audio-reactive lighting with its arguments (empty: none).
  std::vector<std::string> audio_capture{};
  // The settings window's HTTP clients and the update service's base URL ("…/api/"; empty:
  // there is no service, every line is unreachable).
  platform::HttpClientFactory make_http_client{};
  std::string update_base_url{};
};

// Runs the program to its end. 0 on every ordinary path (also when another instance took
// over); 1 when the window cannot be created (broken skin, no display), after a message on
// stderr.
int RunApplication(const ApplicationSetup& setup);

}  // namespace brimvex::app
