#include "update/update_answer.h"

#include "profiles/file_helpers.h"

namespace brimvex::update {
namespace {

std::string Text(const Json::Value& object, const char* key) {
  const Json::Value* v = object.find(key, key + std::char_traits<char>::length(key));
  return v != nullptr && v->isString() ? v->asString() : std::string();
}

}  // namespace

UpdateAnswer ParseUpdateAnswer(std::string_view bytes, bool cut) {
  UpdateAnswer a;
  if (cut) return a;
  const Json::Value root = profiles::ParseJson(bytes);
  if (!root.isObject()) return a;
  a.kind = UpdateAnswer::Kind::kParsed;
  a.path = Text(root, "path");
  a.name = Text(root, "name");
  a.version_name = Text(root, "version_name");
  a.version = Text(root, "version");
  a.sha256 = Text(root, "sha256");
  const Json::Value* id = root.find("device_id", "device_id" + 9);
  if (id != nullptr && id->isInt()) a.device_id = id->asInt();
  return a;
}

}  // namespace brimvex::update
