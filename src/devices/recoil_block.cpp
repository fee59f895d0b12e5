#include "devices/recoil_block.h"

#include "macros/macro_files.h"
#include "macros/recoil_files.h"
#include "profiles/file_helpers.h"

namespace brimvex::devices {
namespace {

class FolderRecoil : public macros::RecoilSource {
 public:
  explicit FolderRecoil(std::string folder) : folder_(std::move(folder)) {}
  std::vector<macros::MacroEvent> GunEvents(int gun) const override {
    return ReadRecoilFile(folder_ + macros::RecoilFileName(gun));
  }

 private:
  std::string folder_;
};

}  // namespace

std::vector<macros::MacroEvent> ReadRecoilFile(const std::string& path) {
  return macros::DeviceEvents(profiles::ReadJson(path));
}

std::shared_ptr<macros::RecoilSource> RecoilFolder(std::string folder) {
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
