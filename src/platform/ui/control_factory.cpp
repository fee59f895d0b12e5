#include "platform/ui/control_factory.h"

#include <algorithm>

namespace brimvex::ui {

bool ControlFactory::Register(std::string name, Creator creator) {
  if (name.empty() || !creator || Has(name)) return false;
  entries_.emplace_back(std::move(name), std::move(creator));
  return true;
}

bool ControlFactory::Has(std::string_view name) const {
  return std::any_of(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == name; });
}

std::unique_ptr<Control> ControlFactory::Create(std::string_view name) const {
  for (const auto& [n, creator] : entries_) {
    if (n == name) return creator();
  }
  return nullptr;
}

std::vector<std::string> ControlFactory::Names() const {
  std::vector<std::string> names;
  names.reserve(entries_.size());
  for (const auto& e : entries_) names.push_back(e.first);
  return names;
}

}  // namespace brimvex::ui
