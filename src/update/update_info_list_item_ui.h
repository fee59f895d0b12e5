#pragma once
// CUpdateInfoListItemUI: one line of the settings window's update list, built from
// "XML/CustomControlXML/device_Update_list_item.xml" (50 px high) with the check box
// "check_name_select", "OldRev", "updateRev", "update_status_text", the progress
// "update_status_ing" with "update_progress_value", and the done mark "update_status_ok".
#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/control_factory.h"
#include "platform/ui/list_controls.h"

namespace brimvex::update {

inline constexpr const char* kUpdateListItemLayout = "XML/CustomControlXML/device_Update_list_item.xml";
inline constexpr int kUpdateListItemHeight = 50;

class CUpdateInfoListItemUI : public ui::ListElement {
 public:
  CUpdateInfoListItemUI();

  // Text key, progress, done mark, check box and its colours by the status; the same status
  // again changes nothing.
  void SetStatus(int status);
  int Status() const { return status_; }
  // "update_progress_value" as "40%".
  void SetPercent(int percent);
  int Percent() const { return percent_; }
  void SetName(const std::string& name);
  void SetVersions(const std::string& current, const std::string& newer);
  void SetCheckEnabled(bool enabled);
  void SetChecked(bool checked);
  bool IsChecked() const;
  bool IsCheckEnabled() const;
  // The check box's colour that applies now (text, selected or disabled).
  std::uint32_t CheckColour() const;
  // Colour and frame again after the check box changed under the line.
  void Refresh();

  // A one-pixel frame while the pointer is over a line whose box is not ticked.
  void OnMouseHover(bool over) override;
  bool HasFrame() const { return BorderColor() != 0; }
  // "menu" to the window when the line has a context menu (its layout's menu="true").
  bool RightClick() override;

 private:
  void ApplyColour();
  void ApplyFrame();
  bool hover_ = false;
  int status_ = -1;
  int percent_ = 0;
  std::uint32_t text_colour_ = 0xFFFFFFFF, selected_colour_ = 0xFFFFFFFF, disabled_colour_ = 0xFF666666;
};

ui::ControlFactory::Creator UpdateInfoListItemCreator();

}  // namespace brimvex::update
