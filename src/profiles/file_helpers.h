#pragma once
// The data folders of the program and the helpers through which every JSON file is read and
// written. Text is UTF-8 in memory; every folder path ends with "/".
#include <json/value.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_dialog.h"
#include "profiles/identifier.h"

namespace brimvex::profiles {

// The per-user application folder ("…/Brimvex/"), created when missing. Program-wide files
// (palette, audio styles, ...) live here in every run.
std::string GetApplicationFolder();
// The one place that decides where per-device files live (profiles, profile lists, macros,
// recoil and light files, device folders): the application folder, or its "emulated/" folder
// (same layout) once SetEmulatedDeviceData(true) was called, so that `brimvex --emulate` never
// touches the real devices' files. Created when missing.
std::string GetDeviceDataRoot();
void SetEmulatedDeviceData(bool emulated);
// The device data folder inside the device data root, created when missing (failures ignored).
std::string GetDeviceFolder(std::string_view device_folder_name);
// "DefaultData/" beside the program, or under <prefix>/share/brimvex/ when installed.
// BRIMVEX_RESOURCES (a resources folder) takes precedence, for tests and tools.
std::string GetProgramDataFolder();
std::string GetDefaultProfilePath(std::string_view device_folder_name);

// The whole file up to its first zero byte; "" when it cannot be read.
std::string ReadTextFile(const std::string& path);
// The parsed document (comments collected), or null for an empty or unparsable file.
Json::Value ReadJson(const std::string& path);
// The parsed text (comments collected, up to its first zero byte), or null when it does not parse.
Json::Value ParseJson(std::string_view text);
// The styled text of the document plus one more line end.
std::string StyledJsonText(const Json::Value& value);
// Writes the styled text atomically; false (and a trace line) when the file could not be
// written, in which case the old file is left as it was.
bool WriteJson(const std::string& path, const Json::Value& value);

// File name without folder and extension ("/a/b/c.Json" -> "c").
std::string FileTitle(std::string_view path);

// Text conversion at the edge of files and devices. Strings are UTF-8 in memory, so ToUtf8
// returns its input; FromUtf8 replaces every invalid sequence with U+FFFD.
std::string ToUtf8(std::string_view text);
std::string FromUtf8(std::string_view bytes);

// "key_12" -> ("key_", 12): prefix up to the last "_", number read as leading digits of the
// rest (0 when none). nullopt when there is no "_".
std::optional<std::pair<std::string, int>> SplitNumberedName(std::string_view name);
// Eight upper-case hexadecimal digits.
std::string HexWord(std::uint32_t value);

// The import and export choosers: the chosen path, or nullopt on cancel.
std::optional<std::string> OpenFileDialog(const platform::FileFilter& filter);
std::optional<std::string> SaveFileDialog(const platform::FileFilter& filter);

}  // namespace brimvex::profiles
