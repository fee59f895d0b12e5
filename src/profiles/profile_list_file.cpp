#include "profiles/profile_list_file.h"

#include <filesystem>

#include "platform/trace.h"
#include "platform/ui/control_name.h"
#include "profiles/file_helpers.h"
#include "profiles/json_access.h"

namespace brimvex::profiles {

ProfileListRead ReadProfileList(const std::string& path) {
  ProfileListRead result;
  Json::Value parsed = ReadJson(path);
  if (parsed.isObject() && json::IsArray(json::Get(&parsed, "profilelist"))) {
    result.document = std::move(parsed);
    result.usable = true;
    return result;
  }
  std::error_code ec;
  result.keep_aside = std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) > 0 && !ec;
  return result;
}

std::string ProfileFilePath(const std::string& folder, std::string_view identifier) {
  if (!IsIdentifier(identifier)) {
    platform::Trace("profile identifier refused: \"" + FromUtf8(identifier) + "\"");
    return {};
  }
  return folder + std::string(identifier) + ".Json";
}

int EntryCount(const Json::Value& list) {
  const Json::Value* entries = json::Get(&list, "profilelist");
  return json::IsArray(entries) ? static_cast<int>(entries->size()) : 0;
}

namespace {

std::string EntryMember(const Json::Value& list, int index, const char* key) {
  return json::String(json::Get(json::Get(json::Get(&list, "profilelist"), index), key));
}

}  // namespace

std::string EntryName(const Json::Value& list, int index) { return EntryMember(list, index, "profilename"); }

std::string EntryIdentifier(const Json::Value& list, int index) { return EntryMember(list, index, "profileUUID"); }

Json::Value MakeEntry(const std::string& name, const std::string& identifier) {
  Json::Value entry(Json::objectValue);
  entry["profilename"] = name;
  entry["profileUUID"] = identifier;
  entry["profileislink"] = 0;
  entry["profilelinkmame"] = "";
  return entry;
}

bool SameProfileName(std::string_view a, std::string_view b) { return ui::NameEqualsNoCase(a, b); }

}  // namespace brimvex::profiles
