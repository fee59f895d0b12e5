#include "profiles/profile_document.h"

#include <filesystem>
#include <system_error>

#include "platform/trace.h"
#include "profiles/file_helpers.h"
#include "profiles/json_access.h"

namespace brimvex::profiles {
namespace fs = std::filesystem;

namespace {

bool HoldsBytes(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  const auto size = fs::file_size(path, ec);
  return !ec && size > 0;
}

}  // namespace

ProfileDocument ReadProfileDocument(const std::string& path) {
  ProfileDocument result;
  Json::Value parsed = ReadJson(path);
  bool usable = parsed.isObject();
  if (usable) {
    const Json::Value* device = json::Get(&parsed, "Device");
    usable = device == nullptr || device->isNull() || device->isArray();
    result.document = std::move(parsed);
  }
  result.keep_aside = !usable && HoldsBytes(path);
  return result;
}

bool IsUsableProfile(const Json::Value& document, int device_index) {
  if (!document.isObject()) return false;
  const Json::Value* device = json::Get(&document, "Device");
  if (json::IsNull(device)) return true;
  if (!device->isArray()) return false;
  const Json::Value* section = json::Get(device, device_index);
  return json::IsNull(section) || section->isObject();
}

std::string KeepAside(const std::string& path) {
  std::string aside = path + ".broken-" + NewIdentifier();
  std::error_code ec;
  // Never overwrite an earlier kept copy.
  for (int n = 1; fs::exists(aside, ec) && n < 100; ++n)
    aside = path + ".broken-" + NewIdentifier() + "-" + std::to_string(n);
  fs::rename(path, aside, ec);
  if (ec) {
    platform::Trace("profile file could not be kept aside, left unchanged: " + path + " (" + ec.message() + ")");
    return {};
  }
  platform::Trace("broken profile file kept aside: " + path + " -> " + aside);
  return aside;
}

}  // namespace brimvex::profiles
