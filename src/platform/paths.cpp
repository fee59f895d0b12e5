#include "platform/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace brimvex::platform {
namespace {

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

std::string Home() {
  if (auto home = GetEnv("HOME"); home && !home->empty()) return *home;
  return "/tmp";
}

}  // namespace

std::optional<std::string> GetEnv(const std::string& name) {
  const char* v = std::getenv(name.c_str());
  if (v == nullptr) return std::nullopt;
  return std::string(v);
}

void SetEnv(const std::string& name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name.c_str());
  }
}

std::string ExecutableFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return WithSlash(std::filesystem::current_path(ec).string());
  return WithSlash(exe.parent_path().string());
}

std::string UserDataHome() {
  if (auto v = GetEnv("XDG_DATA_HOME"); v && !v->empty()) return WithSlash(*v);
  return WithSlash(Home() + "/.local/share");
}

std::string UserConfigHome() {
  if (auto v = GetEnv("XDG_CONFIG_HOME"); v && !v->empty()) return WithSlash(*v);
  return WithSlash(Home() + "/.config");
}

std::string RuntimeDir() {
  if (auto v = GetEnv("XDG_RUNTIME_DIR"); v && !v->empty()) return WithSlash(*v);
  return "";
}

}  // namespace brimvex::platform
