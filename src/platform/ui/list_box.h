// List box: a visible list of text entries with at most one selected.
// Indexes from 0; ListIndex -1 means none. Click is raised whenever code or
// the user selects an entry, and when a selection is removed by setting
// ListIndex to -1; AddItem and Clear do not click.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/control.h"

namespace ui {

class ListBox : public Control {
 public:
  ListBox(Container& parent, std::string name) : Control(parent, std::move(name)) {}

  void AddItem(std::string text);
  void Clear();  // no entry, none selected
  int32_t ListCount() const;
  const std::string& List(int32_t i) const;  // 381 outside 0 .. ListCount-1

  int32_t ListIndex() const;
  void SetListIndex(int32_t i);  // 380 outside -1 .. ListCount-1
  std::string Text() const;      // the selected entry, or empty

  Color BackColor() const;
  void SetBackColor(Color color);

  bool TakesFocus() const override { return true; }

  std::function<void()> OnClick;

 private:
  std::vector<std::string> entries_;
  int32_t listIndex_ = -1;
  Color backColor_ = color::Window;
};

}  // namespace ui
