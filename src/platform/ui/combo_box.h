// Combo box: a list of entries with one selected, as a drop-down list (only
// listed entries can be chosen) or editable (free text besides the list).
//
// Entries are indexed from 0; ListIndex -1 means no entry is selected. Each
// entry carries a 32-bit ItemData.
//
// Click is raised at once whenever code or the user selects an entry
// (ListIndex set to an entry, also the one already selected; the text of a
// drop-down list set to an entry), and when a selection is removed by
// setting ListIndex to -1. AddItem, Clear and replacing an entry's text do
// not click.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/control.h"

namespace ui {

class ComboBox : public Control {
 public:
  enum class Style { DropDownList, Editable };

  ComboBox(Container& parent, std::string name, Style style = Style::DropDownList)
      : Control(parent, std::move(name)), style_(style) {}

  Style GetStyle() const { return style_; }

  // Appends an entry (ItemData 0); NewIndex becomes its index.
  void AddItem(std::string text);
  // Removes every entry; nothing is selected and the text is empty.
  void Clear();
  int32_t ListCount() const;
  // Index of the entry added last, -1 before any or after Clear.
  int32_t NewIndex() const;

  // The text of entry i; 381 outside 0 .. ListCount-1 (also for -1).
  const std::string& List(int32_t i) const;
  // Replaces the text of entry i (381 out of range); the selection stays.
  void SetList(int32_t i, std::string text);

  int32_t ItemData(int32_t i) const;  // 381 out of range
  void SetItemData(int32_t i, int32_t data);

  int32_t ListIndex() const;
  // Selects entry i (or none for -1) and clicks; 380 outside -1 ..
  // ListCount-1.
  void SetListIndex(int32_t i);

  // The selected entry's text (empty when none); for an editable combo the
  // text in its edit field.
  std::string Text() const;
  // Drop-down list: selects the first entry with exactly this text and
  // clicks; a text not among the entries raises 380 and changes nothing.
  // Editable: takes the text; the selection becomes the first entry with
  // exactly this text, or none. No click.
  void SetText(std::string text);

  bool TakesFocus() const override { return true; }

  std::function<void()> OnClick;

 private:
  void Select(int32_t i);

  struct Entry {
    std::string text;
    int32_t data = 0;
  };
  Style style_;
  std::vector<Entry> entries_;
  int32_t listIndex_ = -1;
  int32_t newIndex_ = -1;
  std::string text_;  // edit field of an editable combo
};

}  // namespace ui
