#include "platform/ui/list_box.h"

namespace ui {

void ListBox::AddItem(std::string text) {
  Touch();
  entries_.push_back(std::move(text));
  Changed();
}

void ListBox::Clear() {
  Touch();
  entries_.clear();
  listIndex_ = -1;
  Changed();
}

int32_t ListBox::ListCount() const {
  Touch();
  return static_cast<int32_t>(entries_.size());
}

const std::string& ListBox::List(int32_t i) const {
  if (i < 0 || i >= ListCount()) RaiseInvalidPropertyIndex();
  return entries_[static_cast<size_t>(i)];
}

int32_t ListBox::ListIndex() const {
  Touch();
  return listIndex_;
}

void ListBox::SetListIndex(int32_t i) {
  if (i < -1 || i >= ListCount()) RaiseInvalidPropertyValue();
  if (i == -1 && listIndex_ == -1) return;
  listIndex_ = i;
  Changed();
  Raise(OnClick);
}

std::string ListBox::Text() const {
  Touch();
  if (listIndex_ < 0) return {};
  return entries_[static_cast<size_t>(listIndex_)];
}

Color ListBox::BackColor() const {
  Touch();
  return backColor_;
}

void ListBox::SetBackColor(Color color) {
  Touch();
  backColor_ = color;
  Changed();
}

}  // namespace ui
