#pragma once
// An emulated machine seen through one HID backend: in process ("emu:") or through the real
// hidraw adapter over a fake sysfs tree ("hidraw:"). Tests run on both.
#include <memory>
#include <string>
#include <string_view>

#include "emulator/emulated_hid_backend.h"
#include "emulator/emulator.h"
#include "emulator/fake_hidraw_tree.h"
#include "platform/hidraw/hidraw_backend.h"
#include "test_support/temp_dir.h"

namespace brimvex::test {

enum class BackendKind { kEmulated, kHidraw };

inline std::string BackendName(BackendKind k) { return k == BackendKind::kEmulated ? "Emulated" : "Hidraw"; }

class Machine {
 public:
  explicit Machine(BackendKind kind) : kind_(kind) {}

  emulator::Emulator emulator;

  // The backend, with the fake tree brought in line with what is plugged now.
  platform::HidBackend& Backend() {
    if (kind_ == BackendKind::kEmulated) {
      if (!emulated_) emulated_ = std::make_unique<emulator::EmulatedHidBackend>(emulator);
      return *emulated_;
    }
    if (!tree_) {
      tree_ = std::make_unique<emulator::FakeHidrawTree>(emulator, dir_.path());
      hidraw_ = std::make_unique<platform::hidraw::HidrawBackend>(
          platform::hidraw::HidrawSettings{tree_->sysfs_root(), tree_->dev_root()});
    } else {
      tree_->Sync();
    }
    return *hidraw_;
  }

  // The fake tree's sysfs root ("" on the emulated backend).
  std::string SysfsRoot() {
    Backend();
    return tree_ ? tree_->sysfs_root() : "";
  }

  // Waits until the fake tree has accepted every open (the device only reaches opened handles).
  void Settle() {
    if (tree_) tree_->Settle();
  }

  // The first enumerated path that contains every needle (lower case keys), or "".
  std::string PathWith(std::string_view a, std::string_view b = "") {
    std::vector<std::string> paths;
    Backend().Enumerate(paths);
    for (const auto& p : paths)
      if (p.find(a) != std::string::npos && p.find(b) != std::string::npos) return p;
    return "";
  }

 private:
  const BackendKind kind_;
  TempDir dir_;
  std::unique_ptr<emulator::EmulatedHidBackend> emulated_;
  std::unique_ptr<emulator::FakeHidrawTree> tree_;
  std::unique_ptr<platform::hidraw::HidrawBackend> hidraw_;
};

}  // namespace brimvex::test
