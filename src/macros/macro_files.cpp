#include "macros/macro_files.h"

#include <filesystem>
#include <limits>

#include "platform/file_system.h"
#include "profiles/file_helpers.h"
#include "profiles/identifier.h"
#include "profiles/json_access.h"

namespace brimvex::macros {
namespace json = profiles::json;

namespace {

constexpr std::size_t kMaxStoreBytes = 4 * 1024 * 1024;

bool IsDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

bool IsIntegral(const Json::Value& v) { return v.isIntegral() && !v.isBool(); }

ImportFault CheckEvent(const Json::Value& e, FileKind kind) {
  if (e.isNull()) return kind == FileKind::kShoot ? ImportFault::kNone : ImportFault::kBadEvent;
  if (!e.isObject()) return ImportFault::kBadEvent;
  const Json::Value& type = e["Type"];
  if (!IsIntegral(type)) return ImportFault::kBadType;
  const Json::Int64 t = type.asInt64();
  if (!((t >= 1 && t <= 5) || t == 9 || t == 10)) return ImportFault::kBadType;
  const Json::Value& button = e["Button"];
  if (!IsIntegral(button) || button.asInt64() < 0 || button.asInt64() > 255) return ImportFault::kBadButton;
  const Json::Value& action = e["Action"];
  if (!action.isString() || (action.asString() != "down" && action.asString() != "up")) return ImportFault::kBadAction;
  const Json::Value& delay = e["Delay"];
  if (delay.isString()) {
    const std::string text = delay.asString();
    if (!IsDigits(text) || text.size() > 5 || std::stoul(text) > kMaxDelay) return ImportFault::kBadDelay;
  } else if (!IsIntegral(delay) || delay.asInt64() < 0 || delay.asInt64() > kMaxDelay) {
    return ImportFault::kBadDelay;
  }
  return ImportFault::kNone;
}

}  // namespace

std::uint32_t ReadDelay(const Json::Value& delay) {
  if (delay.isString()) {
    const std::string text = delay.asString();
    std::uint32_t value = 0;
    for (char c : text) {
      if (c < '0' || c > '9') break;
      value = value * 10 + static_cast<std::uint32_t>(c - '0');
      if (value > kMaxDelay) return kMaxDelay;
    }
    return value;
  }
  if (IsIntegral(delay) || delay.isDouble()) {
    if (delay.isUInt64() && delay.asUInt64() > kMaxDelay) return kMaxDelay;
    if (delay.isDouble()) {
      const double d = delay.asDouble();
      if (!(d > 0)) return 0;  // negatives and NaN
      return d >= kMaxDelay ? kMaxDelay : static_cast<std::uint32_t>(d);
    }
    const Json::Int64 v = delay.isInt64() ? delay.asInt64() : 0;
    if (v <= 0) return 0;
    return v > kMaxDelay ? kMaxDelay : static_cast<std::uint32_t>(v);
  }
  return 0;
}

MacroEvent DeviceEvent(const Json::Value& event) {
  MacroEvent out;
  if (!event.isObject()) return out;
  out.delay = static_cast<std::uint16_t>(ReadDelay(event["Delay"]));
  out.type = static_cast<std::uint8_t>(json::Int(json::Get(&event, "Type")) & 0x7F);
  out.code = json::Byte(json::Get(&event, "Button"));
  out.down = json::String(json::Get(&event, "Action")) == "down";
  return out;
}

std::vector<MacroEvent> DeviceEvents(const Json::Value& document) {
  std::vector<MacroEvent> out;
  const Json::Value* events = json::Get(&document, "Events");
  if (!json::IsArray(events)) return out;
  out.reserve(events->size());
  for (const Json::Value& e : *events) out.push_back(DeviceEvent(e));
  return out;
}

StoreContent ParseStore(const std::string& bytes, bool present) {
  StoreContent out;
  out.present = present;
  if (!present) return out;
  Json::Value doc = profiles::ParseJson(bytes);
  if (!doc.isObject()) {
    out.readable = false;
    return out;
  }
  const Json::Value* info = json::Get(&doc, "MacroInfo");
  if (info != nullptr && !info->isNull() && !info->isArray()) {
    out.readable = false;
    return out;
  }
  if (info != nullptr && info->isArray()) {
    for (const Json::Value& e : *info) {
      StoreEntry entry;
      entry.name = json::String(json::Get(&e, "MacroName"));
      entry.guid = json::String(json::Get(&e, "Guid"));
      entry.usable = profiles::IsIdentifier(entry.guid);
      out.entries.push_back(std::move(entry));
    }
  }
  out.document = std::move(doc);
  return out;
}

StoreContent ReadStore(const std::string& path) {
  const platform::BoundedRead read = platform::ReadRegularFile(path, kMaxStoreBytes);
  if (read.status == platform::BoundedRead::Status::kOk) return ParseStore(read.bytes, true);
  StoreContent out;
  std::error_code ec;
  // Something is there but cannot be taken: never treat it as an empty store to write over.
  out.present = read.status != platform::BoundedRead::Status::kUnreadable || std::filesystem::exists(path, ec);
  out.readable = !out.present;
  return out;
}

const char* ImportFaultKey(ImportFault fault) {
  switch (fault) {
    case ImportFault::kNone: return "";
    case ImportFault::kUnreadable: return "macro_import_unreadable";
    case ImportFault::kNotRegular: return "macro_import_not_file";
    case ImportFault::kTooLarge: return "macro_import_too_large";
    case ImportFault::kNotJson: return "macro_import_not_json";
    case ImportFault::kNoEvents: return "macro_import_no_events";
    case ImportFault::kTooManyEvents: return "macro_import_too_many";
    case ImportFault::kBadEvent: return "macro_import_bad_event";
    case ImportFault::kBadType: return "macro_import_bad_type";
    case ImportFault::kBadButton: return "macro_import_bad_button";
    case ImportFault::kBadAction: return "macro_import_bad_action";
    case ImportFault::kBadDelay: return "macro_import_bad_delay";
    case ImportFault::kBadGuid: return "macro_import_bad_guid";
  }
  return "";
}

const char* ImportFaultReason(ImportFault fault) {
  switch (fault) {
    case ImportFault::kNone: return "";
    case ImportFault::kUnreadable: return "the file cannot be read";
    case ImportFault::kNotRegular: return "not a regular file";
    case ImportFault::kTooLarge: return "the file is larger than 256 KiB";
    case ImportFault::kNotJson: return "the file is not a JSON object";
    case ImportFault::kNoEvents: return "the file has no \"Events\" array";
    case ImportFault::kTooManyEvents: return "the file has too many events";
    case ImportFault::kBadEvent: return "an event is not an object";
    case ImportFault::kBadType: return "an event's \"Type\" is not 1-5, 9 or 10";
    case ImportFault::kBadButton: return "an event's \"Button\" is not 0-255";
    case ImportFault::kBadAction: return "an event's \"Action\" is not \"down\" or \"up\"";
    case ImportFault::kBadDelay: return "an event's \"Delay\" is not 0-65535";
    case ImportFault::kBadGuid: return "the \"Guid\" is not an identifier";
  }
  return "";
}

ImportCheck CheckImportBytes(std::string bytes, FileKind kind) {
  ImportCheck out;
  if (bytes.size() > kMaxImportBytes) {
    out.fault = ImportFault::kTooLarge;
    return out;
  }
  if (bytes.empty() && kind == FileKind::kMacro) {
    out.bytes = std::move(bytes);
    return out;
  }
  if (bytes.find('\0') != std::string::npos) {
    out.fault = ImportFault::kNotJson;
    return out;
  }
  const Json::Value doc = profiles::ParseJson(bytes);
  if (!doc.isObject()) {
    out.fault = ImportFault::kNotJson;
    return out;
  }
  const Json::Value* events = json::Get(&doc, "Events");
  if (!json::IsArray(events)) {
    out.fault = ImportFault::kNoEvents;
    return out;
  }
  const std::size_t limit = kind == FileKind::kMacro ? kMaxMacroEvents : kMaxShootEvents;
  if (events->size() > limit) {
    out.fault = ImportFault::kTooManyEvents;
    return out;
  }
  for (Json::ArrayIndex k = 0; k < events->size(); ++k) {
    if (const ImportFault f = CheckEvent((*events)[k], kind); f != ImportFault::kNone) {
      out.fault = f;
      out.event_index = k;
      return out;
    }
  }
  if (doc.isMember("Guid")) {
    const Json::Value& guid = doc["Guid"];
    if (!guid.isString() || !profiles::IsIdentifier(guid.asString())) {
      out.fault = ImportFault::kBadGuid;
      return out;
    }
  }
  out.events = DeviceEvents(doc);
  out.bytes = std::move(bytes);
  return out;
}

ImportCheck CheckImportFile(const std::string& path, FileKind kind) {
  ImportCheck refused;
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) {
    refused.fault = ImportFault::kUnreadable;
    return refused;
  }
  if (!std::filesystem::is_regular_file(status)) {  // a FIFO is never opened
    refused.fault = ImportFault::kNotRegular;
    return refused;
  }
  platform::BoundedRead read = platform::ReadRegularFile(path, kMaxImportBytes);
  ImportCheck out;
  switch (read.status) {
    case platform::BoundedRead::Status::kOk: return CheckImportBytes(std::move(read.bytes), kind);
    case platform::BoundedRead::Status::kNotRegular: out.fault = ImportFault::kNotRegular; break;
    case platform::BoundedRead::Status::kTooLarge: out.fault = ImportFault::kTooLarge; break;
    case platform::BoundedRead::Status::kUnreadable: out.fault = ImportFault::kUnreadable; break;
  }
  return out;
}

}  // namespace brimvex::macros
