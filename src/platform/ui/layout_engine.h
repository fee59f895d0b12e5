#pragma once
// Places a control tree in a rectangle, the way the skin's layouts mean it: horizontal and
// vertical layouts give fixed-size children their size (scaled to the DPI) and share what is
// left among the others; padding is the space around a control inside its slot; floating
// controls sit at their own position; a tab layout gives every page the whole area. Hidden
// controls take no space.
#include <map>

#include "platform/ui/control.h"

namespace brimvex::ui {

// Rectangles relative to the parent control's rectangle (the root's relative to `area`).
using LayoutMap = std::map<const Control*, Rect>;

void ComputeLayout(const Control& root, const Rect& area, int dpi, LayoutMap& out);

// The control's rectangle relative to the root's parent (the `area` origin): its own rectangle
// moved by those of its parents. False when it or a parent has no place in the map.
bool RectInRoot(const LayoutMap& map, const Control& control, Rect& out);

}  // namespace brimvex::ui
