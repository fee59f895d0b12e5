#include "macros/recoil_files.h"

#include <algorithm>
#include <filesystem>

#include "platform/file_system.h"
#include "profiles/file_helpers.h"
#include "profiles/json_access.h"
#include "profiles/profile_document.h"

namespace brimvex::macros {
namespace json = profiles::json;

namespace {

constexpr std::size_t kMaxRecoilFileBytes = 4 * 1024 * 1024;

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

void SetEvent(Json::Value& e, int type, bool down, std::uint32_t button, std::uint32_t delay) {
  if (!e.isObject()) e = Json::Value(Json::objectValue);
  e["Type"] = type;
  e["Action"] = down ? "down" : "up";
  e["Button"] = button;
  e["Delay"] = delay;
}

}  // namespace

std::string RecoilFileName(int gun) { return "ShootData_" + std::to_string(gun) + ".Shoot"; }

Bullet ReadBullet(const Json::Value& document, int bullet) {
  Bullet b;
  const Json::Value* events = json::Get(&document, "Events");
  const Json::Value* ex = json::Get(events, bullet * kEventsPerBullet + 2);
  const Json::Value* ey = json::Get(events, bullet * kEventsPerBullet + 3);
  auto is_down = [](const Json::Value* e) {
    std::string a = json::String(json::Get(e, "Action"));
    std::transform(a.begin(), a.end(), a.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return a == "down";
  };
  b.left = is_down(ex);
  b.x = static_cast<std::uint32_t>(std::clamp<std::int64_t>(json::Int(json::Get(ex, "Button")), 0, 0xFFFFFFFF));
  b.up = is_down(ey);
  b.y = static_cast<std::uint32_t>(std::clamp<std::int64_t>(json::Int(json::Get(ey, "Button")), 0, 0xFFFFFFFF));
  b.delay = ey != nullptr && ey->isObject() ? ReadDelay((*ey)["Delay"]) : 0;
  return b;
}

void PutBullet(Json::Value& document, int bullet, const Bullet& v) {
  if (!document.isObject()) document = Json::Value(Json::objectValue);
  Json::Value& events = json::Slot(document, "Events");
  if (!events.isArray()) events = Json::Value(Json::arrayValue);
  const int at = bullet * kEventsPerBullet;
  const std::uint32_t x = std::min(v.x, kMaxDistance), y = std::min(v.y, kMaxDistance);
  const std::uint32_t delay = std::min(v.delay, kMaxDelay);
  SetEvent(json::Slot(events, at), 1, true, 1, 10);
  SetEvent(json::Slot(events, at + 1), 1, false, 1, 0);
  SetEvent(json::Slot(events, at + 2), 4, v.left, x, 5);
  SetEvent(json::Slot(events, at + 3), 5, v.up, y, delay);
  SetEvent(json::Slot(events, at + 4), 4, v.left, 0, 0);
  SetEvent(json::Slot(events, at + 5), 5, v.up, 0, 0);
}

RecoilFiles::RecoilFiles(std::string working_folder, std::string default_folder)
    : working_(WithSlash(std::move(working_folder))), default_(WithSlash(std::move(default_folder))) {}

std::string RecoilFiles::WorkingPath(int gun) const { return working_ + RecoilFileName(gun); }
std::string RecoilFiles::DefaultPath(int gun) const { return default_ + RecoilFileName(gun); }

Json::Value RecoilFiles::Read(int gun) const {
  platform::BoundedRead read = platform::ReadRegularFile(WorkingPath(gun), kMaxRecoilFileBytes);
  if (read.status != platform::BoundedRead::Status::kOk) return Json::Value();
  return profiles::ParseJson(read.bytes);
}

bool RecoilFiles::SaveBullet(int gun, int bullet, const Bullet& values) const {
  if (gun < 0 || gun >= kGuns || bullet < 0 || bullet >= kBullets) return false;
  Json::Value doc = Read(gun);
  std::error_code ec;
  if (!doc.isObject() && std::filesystem::exists(WorkingPath(gun), ec) &&
      profiles::KeepAside(WorkingPath(gun)).empty())
    return false;
  PutBullet(doc, bullet, values);
  return profiles::WriteJson(WorkingPath(gun), doc);
}

bool RecoilFiles::Reset(int gun) const {
  platform::BoundedRead read = platform::ReadRegularFile(DefaultPath(gun), kMaxRecoilFileBytes);
  const std::string bytes = read.status == platform::BoundedRead::Status::kOk ? read.bytes : std::string();
  return platform::WriteFileAtomically(WorkingPath(gun), bytes);
}

void RecoilFiles::RepairMissing() const {
  for (int gun = 0; gun < kGuns; ++gun) {
    if (!Read(gun).isNull()) continue;
    std::error_code ec;
    // Keep what a repair would replace, unless it is empty.
    if (std::filesystem::exists(WorkingPath(gun), ec) && std::filesystem::file_size(WorkingPath(gun), ec) > 0)
      profiles::KeepAside(WorkingPath(gun));
    Reset(gun);
  }
}

ImportCheck RecoilFiles::Import(int gun, const std::string& path) const {
  ImportCheck check = CheckImportFile(path, FileKind::kShoot);
  if (!check.ok()) return check;
  if (!platform::WriteFileAtomically(WorkingPath(gun), check.bytes)) check.fault = ImportFault::kUnreadable;
  return check;
}

bool RecoilFiles::Export(int gun, const std::string& path) const {
  if (path.empty()) return false;
  platform::BoundedRead read = platform::ReadRegularFile(WorkingPath(gun), kMaxRecoilFileBytes);
  if (read.status != platform::BoundedRead::Status::kOk) return false;
  return platform::WriteFileAtomically(path, read.bytes);
}

std::vector<std::vector<MacroEvent>> RecoilFiles::DeviceEvents() const {
  std::vector<std::vector<MacroEvent>> guns;
  for (int gun = 0; gun < kGuns; ++gun) {
    guns.push_back(macros::DeviceEvents(Read(gun)));
  }
  return guns;
}

}  // namespace brimvex::macros
