#pragma once
// Builds control trees from layout files at run time. The layout format is ours (XML read with
// pugixml):
//   <Window size="800,572" caption="40" title="Brimvex">      window attributes (optional)
//     <Font id="0" face="..." size="15" bold="false" default="false"/>
//     <VerticalLayout name="root" bkimage="images/background.svg"> ... </VerticalLayout>
//   </Window>
// A file may also hold a single control as its root element. Element names are the model's
// classes, then the factory's registered classes (by the element name, then as "C" + name + "UI":
// the element "DeviceOption" makes a "CDeviceOptionUI"), then the caller's CreateControl callback; an
// <Include source="file"/> element builds another file in its place.
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/control.h"
#include "platform/ui/control_factory.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/window.h"

namespace brimvex::ui {

class CreateControlCallback {
 public:
  virtual ~CreateControlCallback() = default;
  // A control for an element name the builder does not know, or nullptr.
  virtual std::unique_ptr<Control> CreateControl(std::string_view element_name) = 0;
};

struct BuildResult {
  std::unique_ptr<Control> root;
  WindowAttributes window;
  bool has_window = false;
  std::string error;  // names the file
  explicit operator bool() const { return root != nullptr; }
};

class DialogBuilder {
 public:
  DialogBuilder(ResourceManager& resources, const ControlFactory& factory, CreateControlCallback* callback = nullptr)
      : resources_(resources), factory_(factory), callback_(callback) {}

  // Builds from a resource key or a path relative to the skin folder.
  BuildResult Create(std::string_view key_or_path);
  // Builds from text; `file_name` names it in errors.
  BuildResult CreateFromText(std::string_view xml, const std::string& file_name);
  // Builds a layout file and attaches it to the window, with its size and title.
  bool BuildWindow(Window& window, std::string_view key_or_path, std::string* error);

  // Element names of the model itself.
  static std::unique_ptr<Control> CreateBuiltin(std::string_view element_name);

 private:
  BuildResult BuildFile(const std::string& path, const std::string& file_name, int depth);
  BuildResult Parse(std::string_view xml, const std::string& file_name, int depth);

  ResourceManager& resources_;
  const ControlFactory& factory_;
  CreateControlCallback* callback_;
};

}  // namespace brimvex::ui
