#include "devices/recoil_block.h"

#include <algorithm>
#include <cctype>

#include "profiles/file_helpers.h"

namespace brimvex::devices {
namespace {

int IntOf(const Json::Value& v) {
  if (v.isIntegral()) return static_cast<int>(std::clamp<Json::Int64>(v.asInt64(), 0, 0xFFFF));
  if (!v.isString()) return 0;
  long long n = 0;
  for (char c : v.asString()) {
    if (!std::isdigit(static_cast<unsigned char>(c))) break;
    n = std::min<long long>(n * 10 + (c - '0'), 0xFFFF);
  }
  return static_cast<int>(n);
}

bool IsDown(const Json::Value& v) {
  if (!v.isString()) return false;
  std::string s = v.asString();
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s == "down";
}

class FolderRecoil : public macros::RecoilSource {
 public:
  explicit FolderRecoil(std::string folder) : folder_(std::move(folder)) {}
  std::vector<macros::MacroEvent> GunEvents(int gun) const override {
    return ReadRecoilFile(folder_ + "ShootData_" + std::to_string(gun) + ".Shoot");
  }

 private:
  std::string folder_;
};

}  // namespace

std::vector<macros::MacroEvent> ReadRecoilFile(const std::string& path) {
  const Json::Value doc = profiles::ReadJson(path);
  std::vector<macros::MacroEvent> out;
  if (!doc.isObject() || !doc["Events"].isArray()) return out;
  const Json::Value& events = doc["Events"];
  out.reserve(events.size());
  for (const Json::Value& e : events) {
    macros::MacroEvent m;
    if (e.isObject()) {
      m.delay = static_cast<std::uint16_t>(IntOf(e["Delay"]));
      m.down = IsDown(e["Action"]);
      m.type = static_cast<std::uint8_t>(IntOf(e["Type"]) & 0x7F);
      m.code = static_cast<std::uint8_t>(IntOf(e["Button"]) & 0xFF);
    }
    out.push_back(m);
  }
  return out;
}

std::shared_ptr<macros::RecoilSource> RecoilFiles(std::string folder) {
  return std::make_shared<FolderRecoil>(std::move(folder));
}

RecoilBlock BuildRecoilBlock(const macros::RecoilSource& source) {
  std::vector<std::vector<macros::MacroEvent>> guns;
  for (int g = 0; g < macros::kRecoilGuns; ++g) guns.push_back(source.GunEvents(g));
  RecoilBlock out;
  out.length = MacroBlockLength(guns);
  MacroBlock block = BuildMacroBlock(guns, kRecoilBlockLimit, 0);
  out.result = block.result;
  out.bytes = std::move(block.bytes);
  return out;
}

}  // namespace brimvex::devices
