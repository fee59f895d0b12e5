#pragma once
// The recoil files: one "ShootData_<gun>.Shoot" per gun, in the program data folder (the
// defaults) and in the mouse's data folder (the working copies the editor changes and the mouse
// receives). Each holds "Events" in the macro event form: bullet b is the six events from 6b.
#include <json/value.h>

#include <cstdint>
#include <string>
#include <vector>

#include "macros/macro_files.h"
#include "macros/macro_source.h"

namespace brimvex::macros {

inline constexpr int kGuns = 4;
inline constexpr int kBullets = 30;
inline constexpr int kEventsPerBullet = 6;
inline constexpr std::uint32_t kMaxDistance = 255;

std::string RecoilFileName(int gun);

// The values the user edits per bullet.
struct Bullet {
  std::uint32_t x = 0;
  bool left = false;  // x direction set: to the left
  std::uint32_t y = 0;
  bool up = false;    // y direction set: upwards
  std::uint32_t delay = 0;
  friend bool operator==(const Bullet&, const Bullet&) = default;
};

// Bullet b as the file holds it (missing events read as empty actions and zeros).
Bullet ReadBullet(const Json::Value& document, int bullet);
// The six events of a bullet, written into the document at 6b..6b+5 (the array grows with null
// elements); distances above 255 are 255 and delays above 65535 are 65535.
void PutBullet(Json::Value& document, int bullet, const Bullet& values);

class RecoilFiles {
 public:
  RecoilFiles(std::string working_folder, std::string default_folder);
  std::string WorkingPath(int gun) const;
  std::string DefaultPath(int gun) const;

  // The working file, null when missing or not JSON.
  Json::Value Read(int gun) const;
  // Reads, puts the bullet and writes the working file atomically (a file that does not parse
  // is kept aside first); false when it could not be written.
  bool SaveBullet(int gun, int bullet, const Bullet& values) const;
  // Copies the default file over the working file, byte for byte; a missing default makes an
  // empty working file.
  bool Reset(int gun) const;
  // Working files that read as null are reset.
  void RepairMissing() const;
  // Checks the file as a recoil file and copies it over the working file; nothing changes when
  // it is refused.
  ImportCheck Import(int gun, const std::string& path) const;
  bool Export(int gun, const std::string& path) const;
  // The four guns' events in the device form, in gun order (what the mouse is sent).
  std::vector<std::vector<MacroEvent>> DeviceEvents() const;

 private:
  std::string working_;
  std::string default_;
};

}  // namespace brimvex::macros
