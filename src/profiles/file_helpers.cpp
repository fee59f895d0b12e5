#include "profiles/file_helpers.h"

#include <json/reader.h>
#include <json/writer.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>

#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/trace.h"

namespace brimvex::profiles {
namespace fs = std::filesystem;

namespace {

std::string EnsureFolder(std::string path) {
  if (path.back() != '/') path += '/';
  std::error_code ec;
  fs::create_directories(path, ec);  // failures ignored: the path is returned anyway
  return path;
}

std::atomic<bool> g_emulated_device_data{false};

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

}  // namespace

std::string GetApplicationFolder() { return EnsureFolder(platform::UserDataHome() + "Brimvex"); }

void SetEmulatedDeviceData(bool emulated) { g_emulated_device_data.store(emulated); }

std::string GetDeviceDataRoot() {
  const std::string app = GetApplicationFolder();
  return g_emulated_device_data.load() ? EnsureFolder(app + "emulated") : app;
}

std::string GetDeviceFolder(std::string_view device_folder_name) {
  return EnsureFolder(GetDeviceDataRoot() + std::string(device_folder_name));
}

std::string GetProgramDataFolder() {
  if (auto res = platform::GetEnv("BRIMVEX_RESOURCES"); res && !res->empty()) {
    return (fs::path(*res) / "DefaultData").string() + "/";
  }
  const std::string exe = platform::ExecutableFolder();
  const std::string beside = exe + "DefaultData/";
  if (IsFolder(beside)) return beside;
  const std::string installed =
      (fs::path(exe).parent_path().parent_path() / "share/brimvex/DefaultData").string() + "/";
  if (IsFolder(installed)) return installed;
  return beside;
}

std::string GetDefaultProfilePath(std::string_view device_folder_name) {
  return GetProgramDataFolder() + std::string(device_folder_name) + ".Json";
}

std::string ReadTextFile(const std::string& path) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  std::string text;
  if (in) {
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (!in.bad()) text = buffer.str();
  }
  platform::TraceF("readjsonFile 错误吗：：%d\n", errno);
  if (const auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
  return text;
}

Json::Value ReadJson(const std::string& path) {
  const std::string text = ReadTextFile(path);
  if (text.empty()) {
    platform::Trace(path);
    return Json::Value();
  }
  return ParseJson(text);
}

Json::Value ParseJson(std::string_view text) {
  if (const auto zero = text.find('\0'); zero != std::string_view::npos) text = text.substr(0, zero);
  Json::CharReaderBuilder builder;
  builder["collectComments"] = true;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  // The reader throws rather than fails on nesting past its depth limit (1000): that text is as
  // unreadable as any other broken file.
  try {
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) return Json::Value();
  } catch (const Json::Exception&) {
    return Json::Value();
  }
  return root;
}

std::string StyledJsonText(const Json::Value& value) {
  // The styled writer's exact layout (three-space indent, margin 74) is the file format.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  Json::StyledWriter writer;
  return writer.write(value) + "\n";
#pragma GCC diagnostic pop
}

bool WriteJson(const std::string& path, const Json::Value& value) {
  std::string error;
  if (platform::WriteFileAtomically(path, StyledJsonText(value), &error)) return true;
  platform::Trace("WriteJson failed: " + error);
  return false;
}

std::string FileTitle(std::string_view path) {
  const auto slash = path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const auto dot = name.find_last_of('.');
  if (dot != std::string_view::npos && dot != 0) name = name.substr(0, dot);
  return std::string(name);
}

std::string ToUtf8(std::string_view text) { return std::string(text); }

std::string FromUtf8(std::string_view bytes) {
  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    std::size_t len = 0;
    std::uint32_t cp = 0;
    if (b0 < 0x80) {
      out += static_cast<char>(b0);
      ++i;
      continue;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
      len = 2;
      cp = b0 & 0x1Fu;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      len = 3;
      cp = b0 & 0x0Fu;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      len = 4;
      cp = b0 & 0x07u;
    }
    bool ok = len != 0 && i + len <= bytes.size();
    for (std::size_t k = 1; ok && k < len; ++k) {
      const auto b = static_cast<unsigned char>(bytes[i + k]);
      if ((b & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (b & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are invalid too.
    if (ok &&
        ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))) {
      ok = false;
    }
    if (ok) {
      out.append(bytes.substr(i, len));
      i += len;
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

std::optional<std::pair<std::string, int>> SplitNumberedName(std::string_view name) {
  const auto underscore = name.rfind('_');
  if (underscore == std::string_view::npos) return std::nullopt;
  const std::string rest(name.substr(underscore + 1));
  errno = 0;
  long value = std::strtol(rest.c_str(), nullptr, 10);
  value = std::clamp<long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  return std::make_pair(std::string(name.substr(0, underscore + 1)), static_cast<int>(value));
}

std::string HexWord(std::uint32_t value) {
  char buffer[9];
  std::snprintf(buffer, sizeof buffer, "%08X", value);
  return buffer;
}

std::optional<std::string> OpenFileDialog(const platform::FileFilter& filter) {
  return platform::CurrentFileChooser().Choose(platform::FileChooser::Mode::kOpen, filter);
}

std::optional<std::string> SaveFileDialog(const platform::FileFilter& filter) {
  return platform::CurrentFileChooser().Choose(platform::FileChooser::Mode::kSave, filter);
}

}  // namespace brimvex::profiles
