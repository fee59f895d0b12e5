#pragma once
// CSelectPanelUI: the device picture of a page. Its children, the key and light buttons, float
// at their positions over the picture (the panel's background image).
#include "platform/ui/container.h"

namespace brimvex::devices {

class CSelectPanelUI : public ui::Container {
 public:
  CSelectPanelUI() : ui::Container("SelectPanel") {}
};

}  // namespace brimvex::devices
