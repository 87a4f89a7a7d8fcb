// List view in report view: rows (list items) with a text, sub-items in the
// further columns and a tool tip; columns with a header text, a width in
// twips (0 hides the column) and an alignment.
//
// Items are indexed from 1. At most one item is selected:
//   - the first item added to an empty list becomes the selected item,
//     later ones do not;
//   - Clear leaves none selected, and so does removing the selected item;
//   - setting the selected item from code raises nothing.
// ItemClick is raised only when the user clicks an item (after the click
// has made it the selected item).
//
// A ListItem& stays valid until its item is removed or the list cleared.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/control.h"

namespace ui {

class ListView;

class ListItem {
 public:
  const std::string& Text() const;
  void SetText(std::string text);
  // SubItems(n), n from 1 to the column count - 1; 380 otherwise. A
  // sub-item never set reads as empty.
  const std::string& SubItems(int32_t n) const;
  void SetSubItems(int32_t n, std::string text);
  const std::string& ToolTipText() const;
  void SetToolTipText(std::string text);
  // Position in the list, from 1.
  int32_t Index() const;
  bool Selected() const;

 private:
  friend class ListView;
  explicit ListItem(ListView& owner, std::string text) : owner_(&owner), text_(std::move(text)) {}
  void CheckSubItem(int32_t n) const;

  ListView* owner_;
  std::string text_;
  std::string toolTip_;
  std::vector<std::string> subItems_;  // [0] is sub-item 1
};

class ListView : public Control {
 public:
  enum class Alignment { Left, Right, Center };
  struct ColumnHeader {
    std::string Text;
    int32_t Width = 0;  // twips; 0 hides the column
    Alignment Align = Alignment::Left;
    bool Hidden() const { return Width == 0; }
  };

  ListView(Container& parent, std::string name) : Control(parent, std::move(name)) {}

  // ColumnHeaders.Add; columns are indexed from 1, the first one holds the
  // item text.
  void AddColumn(std::string text, int32_t width, Alignment align = Alignment::Left);
  int32_t ColumnCount() const;
  const ColumnHeader& Column(int32_t i) const;  // 380 out of range

  // ListItems.Add: appends an item with this text.
  ListItem& Add(std::string text);
  void Clear();
  void Remove(int32_t index);  // 35600 out of range
  int32_t Count() const;
  ListItem& Item(int32_t index);  // 35600 out of range
  const ListItem& Item(int32_t index) const;

  bool HasSelectedItem() const;
  // The selected item; 91 (object variable not set) when there is none.
  ListItem& SelectedItem() const;
  // Makes `item` (an item of this list; 380 otherwise) the selected item,
  // or selects none for null. Raises no event.
  void SetSelectedItem(ListItem* item);

  bool TakesFocus() const override { return true; }

  std::function<void(ListItem& Item)> OnItemClick;

 private:
  friend class ListItem;
  friend class test::User;
  [[noreturn]] static void RaiseOutOfBounds();
  int32_t IndexOf(const ListItem* item) const;

  std::vector<ColumnHeader> columns_;
  std::vector<std::unique_ptr<ListItem>> items_;
  ListItem* selected_ = nullptr;
};

}  // namespace ui
