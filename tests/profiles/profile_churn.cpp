// The child of the crash-safety test: works a profile list as fast as it can until it is
// killed. Arguments: device folder, default profile, file to import, deletion log, seed.
// Results are not looked at: the parent checks the files. It writes one byte to stdout once its list is loaded, and
// appends an identifier to the deletion log before it deletes that profile.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "platform/paths.h"
#include "platform/ui/control_factory.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/resource_manager.h"
#include "profiles/device_profile_ui.h"
#include "profiles/keyboard_profile_data.h"

using brimvex::profiles::CDeviceProfileUI;

int main(int argc, char** argv) {
  if (argc != 6) return 2;
  const std::string folder = argv[1];
  const std::string default_path = argv[2];
  const std::string import_path = argv[3];
  const int log = ::open(argv[4], O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  std::mt19937 random(static_cast<unsigned>(std::strtoul(argv[5], nullptr, 10)));
  if (log < 0) return 2;

  brimvex::ui::ResourceManager resources;
  const std::string skin = brimvex::platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/skin/";
  if (!resources.LoadResource(skin)) return 2;
  brimvex::ui::ControlFactory factory;
  factory.Register("CDeviceProfileUI", [] { return std::make_unique<CDeviceProfileUI>(); });
  brimvex::ui::DialogBuilder builder(resources, factory);
  auto built = builder.Create("XML/CustomControlXML/DeviceProfile.xml");
  auto* list = dynamic_cast<CDeviceProfileUI*>(built.root.get());
  if (list == nullptr) return 2;
  list->SetDeviceType(1);
  list->SetFolders(folder, default_path);
  list->Load();
  if (::write(1, "r", 1) != 1) return 2;

  brimvex::profiles::CKeyboardProfiledata profile;
  profile.SetDefaultProfilePath(default_path);
  for (unsigned n = 0;; ++n) {
    const int count = list->Count();
    switch (random() % 8) {
      case 0:
        if (count < 12) static_cast<void>(list->Add());
        break;
      case 1:
        if (count < 12) static_cast<void>(list->Copy());
        break;
      case 2:
        if (count < 12) static_cast<void>(list->Import(import_path));
        break;
      case 3:
        static_cast<void>(list->Rename("name " + std::to_string(n)));
        break;
      case 4:
        list->Select(static_cast<int>(random() % static_cast<unsigned>(count)), false);
        break;
      case 5:
        static_cast<void>(list->Reset());
        break;
      case 6: {
        profile.SetProfilePath(list->PathOf(list->GetCurSel()));
        profile.LoadSection(profile.GetProfilePath());
        brimvex::profiles::LightInfo light = profile.GetLightInfo();
        light.red = static_cast<std::uint8_t>(n);
        profile.SetLightInfo(light);
        static_cast<void>(profile.Save());
        break;
      }
      default:
        if (count > 3) {
          const std::string line = list->GetCurrentId() + "\n";
          if (::write(log, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return 2;
          static_cast<void>(list->Delete());
        }
        break;
    }
  }
}
