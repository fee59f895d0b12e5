#include "appearance/skin_choices.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/file_system.h"
#include "platform/trace.h"
#include "platform/ui/control.h"
#include "profiles/file_helpers.h"
#include "profiles/ini_file.h"

namespace brimvex::appearance {
namespace fs = std::filesystem;
namespace {

constexpr const char* kCopyPrefix = "skin_custom_";

SkinChangedParam Picture(std::string path) { return SkinChangedParam{false, 0, std::move(path)}; }
SkinChangedParam DefaultChoice() { return Picture(kDefaultBackground); }

std::string ColorText(std::uint32_t argb) {
  char text[16];
  std::snprintf(text, sizeof text, "#%08X", static_cast<unsigned>(argb));
  return text;
}

// The source's extension when it is a short plain one ("png", "JPG"), so the copy keeps its kind.
std::string CopyExtension(const std::string& path) {
  const std::string ext = fs::path(path).extension().string();
  if (ext.size() < 2 || ext.size() > 6) return {};
  for (std::size_t i = 1; i < ext.size(); ++i) {
    const char c = ext[i];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return {};
  }
  return ext;
}

// At most `limit` bytes of the file; nullopt when it cannot be read or holds more.
std::optional<std::string> ReadBounded(const std::string& path, std::uint64_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  std::vector<char> chunk(1 << 16);
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > limit) return std::nullopt;
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace

SkinChoices::SkinChoices(std::string app_folder, std::string skin_folder, platform::ImageProbe& probe,
                         SkinObserver& observer)
    : app_folder_(std::move(app_folder)), skin_folder_(std::move(skin_folder)), probe_(probe), observer_(observer) {}

bool SkinChoices::IsOurCopy(const std::string& path) const {
  const fs::path p(path);
  return p.parent_path().string() + "/" == app_folder_ && p.filename().string().starts_with(kCopyPrefix);
}

void SkinChoices::RemoveCopy(const std::string& path, const std::string& keep) {
  if (path.empty() || path == keep || !IsOurCopy(path)) return;
  std::error_code ec;
  fs::remove(path, ec);
  if (ec) platform::Trace("skin: the previous picture could not be removed: " + path);
}

bool SkinChoices::Record(const char* flags, const char* key, const std::string& value) {
  auto ini = profiles::IniFile::Load(IniPath());
  if (!ini) {
    platform::Trace("skin: " + IniPath() + " cannot be read; the choice is not recorded");
    return false;
  }
  const std::string previous =
      ini->Get(kSkinSection, "FLAGS") == "1" ? ini->Get(kSkinSection, "IMAGE").value_or("") : std::string();
  ini->Set(kSkinSection, "FLAGS", flags);
  ini->Set(kSkinSection, key, value);
  std::string error;
  if (!ini->Save(IniPath(), &error)) {
    platform::Trace("skin: " + IniPath() + " could not be written: " + error);
    return false;
  }
  RemoveCopy(previous, flags == std::string("1") ? value : std::string());
  return true;
}

bool SkinChoices::ChooseImage(const std::string& skin_path) {
  observer_.Broadcast(Picture(skin_path));
  return Record("1", "IMAGE", skin_path);
}

bool SkinChoices::ChooseColor(std::uint32_t argb) {
  observer_.Broadcast(SkinChangedParam{true, argb, {}});
  return Record("2", "COLOR", ColorText(argb));
}

bool SkinChoices::Reset() {
  observer_.Broadcast(DefaultChoice());
  return Record("0", "IMAGE", kDefaultBackground);
}

CustomPictureResult SkinChoices::ChooseCustom(const std::string& path) {
  CustomPictureResult r;
  auto refuse = [&](const char* key, std::string reason) {
    r.text_key = key;
    r.reason = std::move(reason);
    platform::Trace("skin: picture refused: " + path + ": " + r.reason);
    return r;
  };
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return refuse(kCustomBadTextKey, "the file cannot be read");
  if (fs::file_size(path, ec) > limits_.max_file_bytes || ec)
    return refuse(kCustomLargeTextKey,
                  "the file is larger than " + std::to_string(limits_.max_file_bytes >> 20) + " MiB");
  // The copy is what gets checked and drawn, so a file changed meanwhile cannot slip past.
  const auto bytes = ReadBounded(path, limits_.max_file_bytes);
  if (!bytes) return refuse(kCustomBadTextKey, "the file cannot be read");
  fs::create_directories(app_folder_, ec);
  const std::string copy = app_folder_ + kCopyPrefix + profiles::NewIdentifier() + CopyExtension(path);
  std::string error;
  if (!platform::WriteFileAtomically(copy, *bytes, &error)) return refuse(kCustomSaveFailTextKey, error);
  const platform::ImageProbeResult probe = probe_.Probe(copy, limits_);
  if (!probe.ok()) {
    fs::remove(copy, ec);
    using Status = platform::ImageProbeResult::Status;
    return refuse(probe.status == Status::kTooLarge ? kCustomLargeTextKey : kCustomBadTextKey, probe.reason);
  }
  observer_.Broadcast(Picture(copy));
  if (!Record("1", "IMAGE", copy)) {
    // Shown now, but not kept for the next start; the copy stays as it is the background.
    platform::Trace("skin: the picture is shown but not recorded");
  }
  r.accepted = true;
  r.copy = copy;
  return r;
}

std::optional<SkinChangedParam> SkinChoices::StoredChoice() {
  const auto ini = profiles::IniFile::Load(IniPath());
  if (!ini) {
    platform::Trace("skin: " + IniPath() + " cannot be read; the default background is used");
    return DefaultChoice();
  }
  const auto flags = ini->Get(kSkinSection, "FLAGS");
  if (!flags) return std::nullopt;
  auto fallback = [](const std::string& why) {
    platform::Trace("skin: " + why + "; the default background is used");
    return DefaultChoice();
  };
  if (*flags == "0") return DefaultChoice();
  if (*flags == "2") {
    std::uint32_t color = 0;
    const std::string text = ini->Get(kSkinSection, "COLOR").value_or("");
    if (!ui::ParseColor(text, color)) return fallback("the recorded colour \"" + text + "\" is not #AARRGGBB");
    return SkinChangedParam{true, color, {}};
  }
  if (*flags != "1") return fallback("FLAGS " + *flags + " is not known");
  const std::string image = ini->Get(kSkinSection, "IMAGE").value_or("");
  if (image.empty()) return fallback("no picture is recorded");
  const std::string file = image.front() == '/' ? image : skin_folder_ + image;
  platform::ImageLimits header_only = limits_;
  header_only.decode = false;  // it was decoded when it was chosen
  const platform::ImageProbeResult probe = probe_.Probe(file, header_only);
  if (!probe.ok()) return fallback("the recorded picture " + file + " cannot be used: " + probe.reason);
  return Picture(image);
}

void SkinChoices::RestoreStored() {
  if (const auto choice = StoredChoice()) observer_.Broadcast(*choice);
}

}  // namespace brimvex::appearance
