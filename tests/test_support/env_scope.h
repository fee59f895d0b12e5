#pragma once
// Sets environment variables of the test process (nullopt clears one) and puts them back when
// it goes.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/paths.h"

namespace brimvex::test {

class EnvScope {
 public:
  using Setting = std::pair<std::string, std::optional<std::string>>;
  explicit EnvScope(const std::vector<Setting>& settings) {
    for (const auto& [name, value] : settings) {
      saved_.emplace_back(name, platform::GetEnv(name));
      platform::SetEnv(name, value);
    }
  }
  ~EnvScope() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) platform::SetEnv(it->first, it->second);
  }
  EnvScope(const EnvScope&) = delete;
  EnvScope& operator=(const EnvScope&) = delete;

 private:
  std::vector<Setting> saved_;
};

// The locale variables the language follows on a first start.
inline std::vector<EnvScope::Setting> Locale(std::optional<std::string> lc_all, std::optional<std::string> lc_messages,
                                             std::optional<std::string> lang) {
  return {{"LC_ALL", std::move(lc_all)}, {"LC_MESSAGES", std::move(lc_messages)}, {"LANG", std::move(lang)}};
}

}  // namespace brimvex::test
