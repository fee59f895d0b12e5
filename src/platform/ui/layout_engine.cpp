#include "platform/ui/layout_engine.h"

#include <algorithm>

#include "platform/ui/container.h"

namespace brimvex::ui {
namespace {

int Scaled(int v, int dpi) { return v * dpi / 96; }

Rect Inset(const Rect& slot, const Rect& padding, int dpi) {
  const int l = Scaled(padding.x, dpi);
  const int t = Scaled(padding.y, dpi);
  const int r = Scaled(padding.width, dpi);
  const int b = Scaled(padding.height, dpi);
  return Rect{slot.x + l, slot.y + t, std::max(0, slot.width - l - r), std::max(0, slot.height - t - b)};
}

void Place(const Control& c, const Rect& own, int dpi, LayoutMap& out);

void PlaceChildren(const Container& box, const Rect& own, int dpi, LayoutMap& out) {
  const Rect inner{0, 0, own.width, own.height};
  std::vector<const Control*> flow;
  for (std::size_t i = 0; i < box.Count(); ++i) {
    const Control* c = box.ChildAt(i);
    if (c->IsFloat()) {
      const Rect& p = c->FloatPos();
      Place(*c, Rect{Scaled(p.x, dpi), Scaled(p.y, dpi), Scaled(p.width, dpi), Scaled(p.height, dpi)}, dpi, out);
    } else if (c->IsVisible() || dynamic_cast<const TabLayout*>(&box) != nullptr) {
      flow.push_back(c);
    } else {
      out[c] = Rect{};
    }
  }
  const auto dir = box.GetDirection();
  if (dir == Container::Direction::kNone || flow.empty()) {
    for (const Control* c : flow) Place(*c, Inset(inner, c->Padding(), dpi), dpi, out);
    return;
  }
  const bool horizontal = dir == Container::Direction::kHorizontal;
  const int gap = Scaled(box.ChildPadding(), dpi);
  const int total = horizontal ? inner.width : inner.height;
  int fixed = gap * static_cast<int>(flow.size() - 1);
  int stretch = 0;
  for (const Control* c : flow) {
    const Rect& p = c->Padding();
    const int along = horizontal ? c->FixedWidth() : c->FixedHeight();
    fixed += Scaled(horizontal ? p.x + p.width : p.y + p.height, dpi);
    if (along > 0) {
      fixed += Scaled(along, dpi);
    } else {
      ++stretch;
    }
  }
  const int share = stretch > 0 ? std::max(0, total - fixed) / stretch : 0;
  int remainder = stretch > 0 ? std::max(0, total - fixed) % stretch : 0;
  int pos = 0;
  for (const Control* c : flow) {
    const Rect& p = c->Padding();
    const int along = horizontal ? c->FixedWidth() : c->FixedHeight();
    int size = along > 0 ? Scaled(along, dpi) : share;
    if (along <= 0 && remainder > 0) {
      ++size;
      --remainder;
    }
    const int before = Scaled(horizontal ? p.x : p.y, dpi);
    const int after = Scaled(horizontal ? p.width : p.height, dpi);
    const int across_fixed = horizontal ? c->FixedHeight() : c->FixedWidth();
    const int across_total = horizontal ? inner.height : inner.width;
    const int across_before = Scaled(horizontal ? p.y : p.x, dpi);
    const int across_after = Scaled(horizontal ? p.height : p.width, dpi);
    int across = across_fixed > 0 ? Scaled(across_fixed, dpi) : across_total - across_before - across_after;
    across = std::max(0, std::min(across, across_total - across_before));
    // A fixed size across the flow is centred in the space left by the padding.
    int across_pos = across_before;
    if (across_fixed > 0) across_pos += std::max(0, (across_total - across_before - across_after - across) / 2);
    Rect r = horizontal ? Rect{pos + before, across_pos, size, across} : Rect{across_pos, pos + before, across, size};
    Place(*c, r, dpi, out);
    pos += before + size + after + gap;
  }
}

void Place(const Control& c, const Rect& own, int dpi, LayoutMap& out) {
  out[&c] = own;
  if (const auto* box = dynamic_cast<const Container*>(&c)) PlaceChildren(*box, own, dpi, out);
}

}  // namespace

void ComputeLayout(const Control& root, const Rect& area, int dpi, LayoutMap& out) {
  Place(root, Inset(area, root.Padding(), dpi), dpi, out);
}

bool RectInRoot(const LayoutMap& map, const Control& control, Rect& out) {
  const auto own = map.find(&control);
  if (own == map.end()) return false;
  out = own->second;
  for (const Control* p = control.Parent(); p != nullptr; p = p->Parent()) {
    const auto it = map.find(p);
    if (it == map.end()) return false;
    out.x += it->second.x;
    out.y += it->second.y;
  }
  return true;
}

}  // namespace brimvex::ui
