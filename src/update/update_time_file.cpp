#include "update/update_time_file.h"

#include "profiles/file_helpers.h"
#include "profiles/profile_document.h"

namespace brimvex::update {

std::optional<std::string> UpdateTimeFile::Read() {
  const Json::Value root = profiles::ReadJson(path_);
  if (!root.isObject()) return std::nullopt;
  const Json::Value* last = root.find("updatelasttime", "updatelasttime" + 14);
  if (last == nullptr || !last->isObject()) return std::nullopt;
  const Json::Value* value = last->find("value", "value" + 5);
  if (value == nullptr || !value->isString()) return std::nullopt;
  return value->asString();
}

bool UpdateTimeFile::Write(const std::string& date) {
  Json::Value root = profiles::ReadJson(path_);
  if (!root.isObject()) {
    if (!profiles::ReadTextFile(path_).empty() && profiles::KeepAside(path_).empty()) return false;
    root = Json::Value(Json::objectValue);
  }
  Json::Value& last = root["updatelasttime"];
  if (!last.isObject()) last = Json::Value(Json::objectValue);
  last["value"] = date;
  return profiles::WriteJson(path_, root);
}

std::string LastCheckDateAtOpening(CheckDateStore& store) {
  if (auto stored = store.Read()) return *stored;
  const std::string today = TodayText();
  store.Write(today);
  return today;
}

}  // namespace brimvex::update
