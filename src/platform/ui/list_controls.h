#pragma once
// Item controls: list elements, the list container, the combo box and the menu.
#include <string>

#include "platform/ui/container.h"

namespace brimvex::ui {

// One row of a list, combo or menu: text (or key) and user data. A click on it raises
// "itemclick" and selects it in its list; a double click raises "itemactivate". In a menu a
// click raises "click" with the element as sender.
class ListElement : public Container {
 public:
  ListElement() : Container("ListElement", Direction::kHorizontal) {}
  bool Activate() override;
  void DoubleClick();

 protected:
  explicit ListElement(std::string class_name) : Container(std::move(class_name), Direction::kHorizontal) {}
};

// A vertical list of ListElement children with a current item. Choosing an item raises
// "itemselect" (wParam the new index, lParam the old one).
class List : public Container {
 public:
  List() : Container("List", Direction::kVertical) {}
  int CurSel() const { return current_ < static_cast<int>(Count()) ? current_ : -1; }
  // -1 clears. Out of range gives false. `notify` raises "itemselect" when it changed.
  bool SelectItem(int index, bool notify = true);
  bool SetAttribute(std::string_view name, std::string_view value) override;

 protected:
  explicit List(std::string class_name) : Container(std::move(class_name), Direction::kVertical) {}

 private:
  int current_ = -1;
};

// A drop-down: the same item model as the list.
class Combo : public List {
 public:
  Combo() : List("Combo") {}
  // Adds an item with its text (or key) and user data.
  ListElement* AddItem(std::string text, std::string user_data = {}, std::string text_key = {});
};

// A menu as built from a layout file: MenuElement rows, nested for sub-menus.
class MenuElement : public ListElement {
 public:
  MenuElement() : ListElement("MenuElement") {}
  bool Activate() override;
};

class Menu : public Container {
 public:
  Menu() : Container("Menu", Direction::kVertical) {}
};

}  // namespace brimvex::ui
