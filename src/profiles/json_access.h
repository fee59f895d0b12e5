#pragma once
// Type-safe access to profile documents. jsoncpp throws on a lookup into a value of the wrong
// type; these helpers treat such a value as missing instead, so broken or hostile files never
// raise an exception.
//
// Reads through Find keep the document's own lookup behaviour: a missing member or element is
// inserted as null (and a null parent becomes an object or array), so a section that was read
// and saved holds those nulls. Writes through Slot replace a value of the wrong type by an empty
// container of the right one.
#include <json/value.h>

#include <cstdint>
#include <string>

namespace brimvex::profiles::json {

// Largest array index taken from a caller; lookups past it are refused.
inline constexpr int kMaxIndex = 4095;

// The member, inserted as null when missing; nullptr when parent is nullptr or not an object/null.
Json::Value* Find(Json::Value* parent, const char* key);
// The element, the array grown with nulls when short; nullptr for a bad parent or index.
Json::Value* Find(Json::Value* parent, int index);

// Const lookups without insertion: nullptr when missing or of the wrong type.
const Json::Value* Get(const Json::Value* parent, const char* key);
const Json::Value* Get(const Json::Value* parent, int index);

// Writable member/element; a parent that is not an object (array) becomes an empty one.
// index must lie in 0..kMaxIndex.
Json::Value& Slot(Json::Value& parent, const char* key);
Json::Value& Slot(Json::Value& parent, int index);

bool IsNull(const Json::Value* v);  // nullptr or null
bool IsObject(const Json::Value* v);
bool IsArray(const Json::Value* v);

// Numbers (and booleans) as a 64-bit integer, wrapping like a C cast; anything else is 0.
std::int64_t Int(const Json::Value* v);
// Any non-zero number or true is 1.
std::uint8_t Bool(const Json::Value* v);
// A string member as valid UTF-8; anything else is "".
std::string String(const Json::Value* v);

inline std::uint8_t Byte(const Json::Value* v) { return static_cast<std::uint8_t>(Int(v)); }
inline std::uint16_t Word(const Json::Value* v) { return static_cast<std::uint16_t>(Int(v)); }
inline std::int32_t Int32(const Json::Value* v) { return static_cast<std::int32_t>(Int(v)); }
// A number held to lo..hi (0..255 at most): a colour of 300 is 255 and -4 is 0, never wrapped.
std::uint8_t Clamped(const Json::Value* v, int lo, int hi);

}  // namespace brimvex::profiles::json
