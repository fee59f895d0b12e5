#include "profiles/json_access.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "profiles/file_helpers.h"

namespace brimvex::profiles::json {

Json::Value* Find(Json::Value* parent, const char* key) {
  if (parent == nullptr || !(parent->isNull() || parent->isObject())) return nullptr;
  return &(*parent)[key];
}

Json::Value* Find(Json::Value* parent, int index) {
  if (parent == nullptr || index < 0 || index > kMaxIndex || !(parent->isNull() || parent->isArray())) {
    return nullptr;
  }
  return &(*parent)[static_cast<Json::ArrayIndex>(index)];
}

const Json::Value* Get(const Json::Value* parent, const char* key) {
  if (parent == nullptr || !parent->isObject()) return nullptr;
  return parent->find(key, key + std::char_traits<char>::length(key));
}

const Json::Value* Get(const Json::Value* parent, int index) {
  if (parent == nullptr || !parent->isArray() || index < 0) return nullptr;
  const auto i = static_cast<Json::ArrayIndex>(index);
  if (i >= parent->size()) return nullptr;
  return &(*parent)[i];
}

Json::Value& Slot(Json::Value& parent, const char* key) {
  if (!parent.isNull() && !parent.isObject()) parent = Json::Value(Json::objectValue);
  return parent[key];
}

Json::Value& Slot(Json::Value& parent, int index) {
  if (!parent.isNull() && !parent.isArray()) parent = Json::Value(Json::arrayValue);
  const int i = index < 0 ? 0 : (index > kMaxIndex ? kMaxIndex : index);
  return parent[static_cast<Json::ArrayIndex>(i)];
}

bool IsNull(const Json::Value* v) { return v == nullptr || v->isNull(); }
bool IsObject(const Json::Value* v) { return v != nullptr && v->isObject(); }
bool IsArray(const Json::Value* v) { return v != nullptr && v->isArray(); }

std::int64_t Int(const Json::Value* v) {
  if (v == nullptr) return 0;
  switch (v->type()) {
    case Json::intValue:
      return v->asInt64();
    case Json::uintValue:
      return static_cast<std::int64_t>(v->asUInt64());
    case Json::booleanValue:
      return v->asBool() ? 1 : 0;
    case Json::realValue: {
      const double d = v->asDouble();
      // Outside the 64-bit range (or NaN) a cast is undefined: such a value reads as 0.
      if (!std::isfinite(d) || d >= 9.2e18 || d <= -9.2e18) return 0;
      return static_cast<std::int64_t>(d);
    }
    default:
      return 0;
  }
}

std::uint8_t Bool(const Json::Value* v) {
  if (v == nullptr) return 0;
  switch (v->type()) {
    case Json::intValue:
    case Json::uintValue:
    case Json::booleanValue:
      return Int(v) != 0 ? 1 : 0;
    case Json::realValue:
      return v->asDouble() != 0.0 ? 1 : 0;
    default:
      return 0;
  }
}

std::string String(const Json::Value* v) {
  if (v == nullptr || !v->isString()) return {};
  return FromUtf8(v->asString());
}

std::uint8_t Clamped(const Json::Value* v, int lo, int hi) {
  std::int64_t n = 0;
  if (v != nullptr && v->isDouble() && !v->isIntegral()) {
    const double d = v->asDouble();
    n = d != d ? 0 : d < lo ? lo : d > hi ? hi : static_cast<std::int64_t>(d);
  } else {
    n = Int(v);
  }
  return static_cast<std::uint8_t>(std::clamp<std::int64_t>(n, lo, hi));
}

}  // namespace brimvex::profiles::json
