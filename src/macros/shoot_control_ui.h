#pragma once
// CShootControlUI: the recoil editor of the mouse page. It edits one bullet of one gun at a time;
// every value edit is written to the gun's working file at once. Its controls come from
// "XML/CustomControlXML/ShootControl.xml", built inside it.
#include <memory>
#include <string>

#include "macros/recoil_files.h"
#include "platform/ui/container.h"

namespace brimvex::ui {
class Edit;
class Option;
class TabLayout;
}  // namespace brimvex::ui

namespace brimvex::macros {

class CShootControlUI : public ui::Container {
 public:
  CShootControlUI();

  bool BindControls();
  bool Bound() const { return bound_; }

  void SetWorkingFolder(std::string folder) { working_ = std::move(folder); }
  void SetDefaultFolder(std::string folder) { default_ = std::move(folder); }
  RecoilFiles Files() const { return RecoilFiles(working_, default_); }

  // Makes missing working files (the page's set-up then selects gun 0 and bullet 0).
  void InitRecoil();
  void SelectGun(int gun);
  void SelectBullet(int bullet);
  void ShowBullet();
  // False when the working file could not be written.
  bool SaveBullet();
  bool ResetGun(int gun);
  ImportCheck ImportGun(const std::string& path);
  bool ExportGun(const std::string& path);
  void ShowXDirection();
  void ShowYDirection();

  int SelectedGun() const { return gun_; }
  int SelectedBullet() const { return bullet_; }

 protected:
  void ChildrenChanged() override;

 private:
  bool bound_ = false;
  std::string working_, default_;
  int gun_ = 0;
  int bullet_ = -1;
  ui::Option* x_check_ = nullptr;
  ui::Option* y_check_ = nullptr;
  ui::Edit* x_edit_ = nullptr;
  ui::Edit* y_edit_ = nullptr;
  ui::Edit* delay_edit_ = nullptr;
  ui::Control* index_label_ = nullptr;
  ui::TabLayout* pictures_ = nullptr;
};

}  // namespace brimvex::macros
