#include "app/app_messages.h"

#include <iterator>

#include "platform/registered_messages.h"
#include "platform/trace.h"

namespace brimvex::app {

std::uint32_t RegisterAppInstanceMessage() {
  const std::uint32_t message = platform::RegisterWindowMessage(kAppInstanceName);
  platform::TraceF("软件标示：%d", static_cast<int>(message));
  return message;
}

void RegisterGuidMessages(AppMessages& m) {
  m.upgrade_status = platform::RegisterWindowMessage(kUpgradeStatusName);
  m.light_control_state = platform::RegisterWindowMessage(kLightControlStateName);
  m.light_control_set = platform::RegisterWindowMessage(kLightControlSetName);
  m.device_list_query = platform::RegisterWindowMessage(kDeviceListQueryName);
  m.audio_recorder = platform::RegisterWindowMessage(kAudioRecorderName);
  for (std::size_t i = 0; i < std::size(kGameMessageNames); ++i)
    m.game[i] = platform::RegisterWindowMessage(kGameMessageNames[i]);
}

}  // namespace brimvex::app
