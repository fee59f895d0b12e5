#pragma once
// Controls that hold other controls: plain, horizontal and vertical layouts, and the tab layout
// that shows one child by index.
#include <memory>
#include <vector>

#include "platform/ui/control.h"

namespace brimvex::ui {

class Container : public Control {
 public:
  enum class Direction { kNone, kHorizontal, kVertical };
  explicit Container(std::string class_name = "Container", Direction direction = Direction::kNone);
  ~Container() override;

  Direction GetDirection() const { return direction_; }
  // Space between children at 96 DPI.
  int ChildPadding() const { return child_padding_; }

  // Takes ownership; returns the added control.
  Control* Add(std::unique_ptr<Control> child);
  // Removes and destroys a direct child (its timers are killed); false when it is not one.
  bool Remove(Control* child);
  void RemoveAll();
  std::size_t Count() const { return children_.size(); }
  Control* ChildAt(std::size_t index) const;
  int IndexOf(const Control* child) const;

  bool SetAttribute(std::string_view name, std::string_view value) override;
  Control* FindControl(std::string_view name) override;
  void ForEach(const std::function<void(Control&)>& f) override;
  void ReloadText() override;

 protected:
  // Called after a child was added or before one is removed.
  virtual void ChildrenChanged() {}

 private:
  Direction direction_;
  int child_padding_ = 0;
  std::vector<std::unique_ptr<Control>> children_;
};

class HorizontalLayout : public Container {
 public:
  HorizontalLayout() : Container("HorizontalLayout", Direction::kHorizontal) {}
};

class VerticalLayout : public Container {
 public:
  VerticalLayout() : Container("VerticalLayout", Direction::kVertical) {}
};

// Shows only the child at the current index.
class TabLayout : public Container {
 public:
  TabLayout() : Container("TabLayout") {}
  int CurrentSel() const { return current_; }
  // False when the index is out of range; the selection stays.
  bool SelectItem(int index);
  bool SetAttribute(std::string_view name, std::string_view value) override;

 protected:
  void ChildrenChanged() override;

 private:
  void ApplyVisibility();
  int current_ = 0;
};

}  // namespace brimvex::ui
