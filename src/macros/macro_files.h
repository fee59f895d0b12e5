#pragma once
// The one reader of the macro store "macro.config", the macro files (".mac") and the recoil files
// (".Shoot"). Stored files are read leniently (what the devices would send); files the user imports
// are checked against the limits first and refused with a reason.
#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "macros/macro_source.h"

namespace brimvex::macros {

inline constexpr std::size_t kMaxMacros = 50;
inline constexpr std::size_t kMaxMacroEvents = 250;
inline constexpr std::size_t kMaxShootEvents = 180;
inline constexpr std::size_t kMaxImportBytes = 256 * 1024;
inline constexpr std::uint32_t kMaxDelay = 65535;
inline constexpr int kMacroFileVersion = 64;
inline constexpr const char* kStoreFileName = "macro.config";
inline constexpr const char* kMacroExtension = ".mac";

// A "Delay" as decimal text or JSON integer: leading digits read as a number, capped at 65535;
// a negative number or text without leading digits is 0.
std::uint32_t ReadDelay(const Json::Value& delay);
// The device form of one file event; a null or malformed event is all zeros.
MacroEvent DeviceEvent(const Json::Value& event);
// The device forms of every element of "Events" (nothing when the document has none).
std::vector<MacroEvent> DeviceEvents(const Json::Value& document);

// One entry of the store. `usable` is false for a "Guid" that is not identifier-shaped: such an
// entry keeps its place (macro numbers are positions) but names no file.
struct StoreEntry {
  std::string name;
  std::string guid;
  bool usable = false;
  friend bool operator==(const StoreEntry&, const StoreEntry&) = default;
};

struct StoreContent {
  bool present = false;   // the file exists
  bool readable = true;   // missing, or parsed with a "MacroInfo" array (or none)
  Json::Value document;   // the parsed document when readable (an object), else null
  std::vector<StoreEntry> entries;
};
StoreContent ParseStore(const std::string& bytes, bool present);
StoreContent ReadStore(const std::string& path);

// Why an imported file is refused.
enum class ImportFault {
  kNone,
  kUnreadable,
  kNotRegular,
  kTooLarge,
  kNotJson,
  kNoEvents,
  kTooManyEvents,
  kBadEvent,
  kBadType,
  kBadButton,
  kBadAction,
  kBadDelay,
  kBadGuid,
};
// The language text key and the plain English reason (brimvexctl's stderr).
const char* ImportFaultKey(ImportFault fault);
const char* ImportFaultReason(ImportFault fault);

enum class FileKind { kMacro, kShoot };

struct ImportCheck {
  ImportFault fault = ImportFault::kNone;
  std::size_t event_index = 0;  // the refused event, for the bad-event faults
  std::string bytes;            // the accepted file, to be copied byte for byte
  std::vector<MacroEvent> events;
  bool ok() const { return fault == ImportFault::kNone; }
};
// Checks bytes as a macro file (an empty file is a macro without events; at most 250 events, no
// null events) or a recoil file (at most 180 events, null events allowed).
ImportCheck CheckImportBytes(std::string bytes, FileKind kind);
// Reads a file the user chose (regular files of at most 256 KiB, a FIFO is never opened) and
// checks it.
ImportCheck CheckImportFile(const std::string& path, FileKind kind);

}  // namespace brimvex::macros
