#pragma once
// The program's own control classes, registered by name; the dialog builder asks it for
// element names it does not know.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/control.h"

namespace brimvex::ui {

class ControlFactory {
 public:
  using Creator = std::function<std::unique_ptr<Control>()>;

  // False when the name is empty, already registered or the creator is empty.
  bool Register(std::string name, Creator creator);
  bool Has(std::string_view name) const;
  // A new control of the registered class, or nullptr.
  std::unique_ptr<Control> Create(std::string_view name) const;
  // Registered names in registration order.
  std::vector<std::string> Names() const;

 private:
  std::vector<std::pair<std::string, Creator>> entries_;
};

}  // namespace brimvex::ui
