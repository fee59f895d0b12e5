#include "macros/shoot_control_ui.h"

#include <algorithm>

#include "platform/ui/controls.h"
#include "platform/ui/container.h"

namespace brimvex::macros {

namespace {

// Leading decimal digits, without a cap past 32 bits; no digits give 0.
std::uint32_t Number(const ui::Control* c) {
  std::uint64_t v = 0;
  if (c == nullptr) return 0;
  for (char ch : c->Text()) {
    if (ch < '0' || ch > '9') break;
    v = std::min<std::uint64_t>(v * 10 + static_cast<std::uint64_t>(ch - '0'), 0xFFFFFFFFu);
  }
  return static_cast<std::uint32_t>(v);
}

}  // namespace

CShootControlUI::CShootControlUI() : ui::Container("ShootControl", Direction::kVertical) {}

void CShootControlUI::ChildrenChanged() {
  if (!bound_ && FindControl("bullet_delay_eidt") != nullptr) BindControls();
}

bool CShootControlUI::BindControls() {
  x_check_ = dynamic_cast<ui::Option*>(FindControl("bullet_x_check"));
  y_check_ = dynamic_cast<ui::Option*>(FindControl("bullet_y_check"));
  x_edit_ = dynamic_cast<ui::Edit*>(FindControl("bullet_x_eidt"));
  y_edit_ = dynamic_cast<ui::Edit*>(FindControl("bullet_y_eidt"));
  delay_edit_ = dynamic_cast<ui::Edit*>(FindControl("bullet_delay_eidt"));
  index_label_ = FindControl("bullet_select_index");
  pictures_ = dynamic_cast<ui::TabLayout*>(FindControl("shoot_image_display_switch"));
  bound_ = x_check_ && y_check_ && x_edit_ && y_edit_ && delay_edit_ && index_label_ && pictures_;
  for (int g = 0; g < kGuns; ++g) bound_ = bound_ && dynamic_cast<ui::Option*>(FindControl("shoot_gun_op_" + std::to_string(g)));
  for (int b = 0; b < kBullets; ++b) bound_ = bound_ && dynamic_cast<ui::Option*>(FindControl("bullet_op_" + std::to_string(b)));
  return bound_;
}

void CShootControlUI::InitRecoil() {
  if (working_.empty()) return;
  Files().RepairMissing();
}

void CShootControlUI::SelectGun(int gun) {
  if (!bound_) return;
  for (int g = 0; g < kGuns; ++g)
    static_cast<ui::Option*>(FindControl("shoot_gun_op_" + std::to_string(g)))->Selected(false, false);
  gun_ = std::clamp(gun, 0, kGuns - 1);
  static_cast<ui::Option*>(FindControl("shoot_gun_op_" + std::to_string(gun_)))->Selected(true, false);
  pictures_->SelectItem(gun_);
}

void CShootControlUI::SelectBullet(int bullet) {
  if (!bound_) return;
  for (int b = 0; b < kBullets; ++b)
    static_cast<ui::Option*>(FindControl("bullet_op_" + std::to_string(b)))->Selected(false, false);
  bullet_ = std::clamp(bullet, 0, kBullets - 1);
  static_cast<ui::Option*>(FindControl("bullet_op_" + std::to_string(bullet_)))->Selected(true, false);
  index_label_->SetText(std::to_string(bullet_ + 1));
  ShowBullet();
}

void CShootControlUI::ShowBullet() {
  if (!bound_ || bullet_ < 0) return;
  const Bullet b = ReadBullet(Files().Read(gun_), bullet_);
  x_check_->Selected(b.left, false);
  y_check_->Selected(b.up, false);
  ShowXDirection();
  ShowYDirection();
  x_edit_->SetText(std::to_string(b.x));
  y_edit_->SetText(std::to_string(b.y));
  delay_edit_->SetText(std::to_string(b.delay));
}

bool CShootControlUI::SaveBullet() {
  if (!bound_ || bullet_ < 0 || working_.empty()) return false;
  Bullet b;
  b.x = Number(x_edit_);
  b.y = Number(y_edit_);
  b.delay = Number(delay_edit_);
  b.left = x_check_->IsSelected();
  b.up = y_check_->IsSelected();
  if (!Files().SaveBullet(gun_, bullet_, b)) return false;
  // The boxes show what was stored: values past a byte or past 65535 are the largest.
  ShowBullet();
  return true;
}

bool CShootControlUI::ResetGun(int gun) {
  if (working_.empty() || gun < 0 || gun >= kGuns) return false;
  const bool ok = Files().Reset(gun);
  SelectBullet(bullet_);
  return ok;
}

ImportCheck CShootControlUI::ImportGun(const std::string& path) {
  ImportCheck check;
  if (path.empty() || working_.empty()) {
    check.fault = ImportFault::kUnreadable;
    return check;
  }
  check = Files().Import(gun_, path);
  SelectBullet(bullet_);
  return check;
}

bool CShootControlUI::ExportGun(const std::string& path) { return !working_.empty() && Files().Export(gun_, path); }

void CShootControlUI::ShowXDirection() {
  if (x_check_ != nullptr)
    x_check_->SetTextKey(x_check_->IsSelected() ? "mouse_move_to_left_text" : "mouse_move_to_right_text");
}

void CShootControlUI::ShowYDirection() {
  if (y_check_ != nullptr)
    y_check_->SetTextKey(y_check_->IsSelected() ? "mouse_move_to_up_text" : "mouse_move_to_down_text");
}

}  // namespace brimvex::macros
