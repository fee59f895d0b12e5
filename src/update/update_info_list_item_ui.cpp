#include "update/update_info_list_item_ui.h"

#include "platform/ui/controls.h"
#include "platform/ui/notification.h"
#include "update/line_status.h"

namespace brimvex::update {

CUpdateInfoListItemUI::CUpdateInfoListItemUI() : ui::ListElement("UpdateInfoListItemUI") {
  SetFixedSize(0, kUpdateListItemHeight);
}

void CUpdateInfoListItemUI::SetStatus(int status) {
  if (status == status_) return;
  status_ = status;
  const LineLook& look = LookOfLine(status);
  if (ui::Control* text = FindControl("update_status_text")) text->SetTextKey(look.text_key);
  for (const char* name : {"update_status_ing", "update_progress_value"})
    if (ui::Control* c = FindControl(name)) c->SetVisible(look.progress);
  SetPercent(0);
  if (ui::Control* ok = FindControl("update_status_ok")) ok->SetVisible(look.done_mark);
  text_colour_ = look.text_colour;
  selected_colour_ = look.selected_colour;
  disabled_colour_ = look.disabled_colour;
  SetCheckEnabled(look.enabled);
}

void CUpdateInfoListItemUI::SetPercent(int percent) {
  percent_ = percent;
  if (auto* bar = dynamic_cast<ui::Progress*>(FindControl("update_status_ing"))) bar->SetValue(percent);
  if (ui::Control* value = FindControl("update_progress_value")) value->SetText(std::to_string(percent) + "%");
}

void CUpdateInfoListItemUI::SetName(const std::string& name) {
  if (ui::Control* check = FindControl("check_name_select")) check->SetText(name);
}

void CUpdateInfoListItemUI::SetVersions(const std::string& current, const std::string& newer) {
  if (ui::Control* old_rev = FindControl("OldRev")) old_rev->SetText(current);
  if (ui::Control* update_rev = FindControl("updateRev")) {
    update_rev->SetText(newer);
    update_rev->SetVisible(!newer.empty());
  }
}

void CUpdateInfoListItemUI::SetCheckEnabled(bool enabled) {
  if (ui::Control* check = FindControl("check_name_select")) check->SetEnabled(enabled);
  ApplyColour();
}

void CUpdateInfoListItemUI::SetChecked(bool checked) {
  if (auto* check = dynamic_cast<ui::CheckBox*>(FindControl("check_name_select"))) check->SetCheck(checked, false);
  Refresh();
}

void CUpdateInfoListItemUI::Refresh() {
  ApplyColour();
  ApplyFrame();
}

void CUpdateInfoListItemUI::OnMouseHover(bool over) {
  hover_ = over;
  ApplyFrame();
}

void CUpdateInfoListItemUI::ApplyFrame() {
  constexpr std::uint32_t kFrame = 0xFF2FB8C4;
  const std::uint32_t want = hover_ && !IsChecked() ? kFrame : 0;
  if (BorderColor() != want) SetBorderColor(want);
}

bool CUpdateInfoListItemUI::RightClick() {
  if (Attribute("menu") != "true") return false;
  Notify(ui::notify::kMenu);
  return true;
}

bool CUpdateInfoListItemUI::IsChecked() const {
  auto* check = dynamic_cast<ui::CheckBox*>(const_cast<CUpdateInfoListItemUI*>(this)->FindControl("check_name_select"));
  return check != nullptr && check->IsChecked();
}

bool CUpdateInfoListItemUI::IsCheckEnabled() const {
  const ui::Control* check = const_cast<CUpdateInfoListItemUI*>(this)->FindControl("check_name_select");
  return check != nullptr && check->IsEnabled();
}

std::uint32_t CUpdateInfoListItemUI::CheckColour() const {
  if (!IsCheckEnabled()) return disabled_colour_;
  return IsChecked() ? selected_colour_ : text_colour_;
}

void CUpdateInfoListItemUI::ApplyColour() {
  if (ui::Control* check = FindControl("check_name_select")) check->SetTextColor(CheckColour());
}

ui::ControlFactory::Creator UpdateInfoListItemCreator() {
  return []() -> std::unique_ptr<ui::Control> { return std::make_unique<CUpdateInfoListItemUI>(); };
}

}  // namespace brimvex::update
