#include "devices/light_editor_link.h"

#include "lighting/light_control_ui.h"
#include "platform/trace.h"
#include "platform/ui/dialog_builder.h"

namespace brimvex::devices {

bool AddLightEditor(COmbrixUSBDevice& device, ui::DialogBuilder& builder, ui::Container& into) {
  auto editor = std::make_unique<lighting::CLightControlUI>();
  editor->SetName(lighting::kLightControlItem);
  auto built = builder.Create(lighting::kLightControlLayout);
  if (!built) {
    platform::Trace(built.error);
    return false;
  }
  editor->Add(std::move(built.root));
  editor->SetDeviceType(device.DeviceType());
  device.SetLightEditor(into.Add(std::move(editor)));
  return true;
}

void ShowLightOnEditor(COmbrixUSBDevice& device) {
  auto* editor = dynamic_cast<lighting::CLightControlUI*>(device.LightEditor());
  if (editor == nullptr) return;
  editor->SetDeviceType(device.DeviceType());
  std::vector<std::string> names;
  std::vector<bool> visible;
  for (const lighting::LightMode& m : device.LightModes().modes) {
    names.push_back(m.name);
    visible.push_back(m.visible);
  }
  for (const std::string& name : device.CustomLightNames()) {
    names.push_back(name);
    visible.push_back(true);
  }
  editor->FillModeList(names, visible, 4, 4);
  editor->ShowLightInfo(device.GetLightState());
  editor->ShowAudioLightInfo(AudioLightInfoOf(device.GetAudioLightState()));
}

}  // namespace brimvex::devices
