#include "platform/ui/combo_box.h"

namespace ui {

void ComboBox::AddItem(std::string text) {
  Touch();
  entries_.push_back(Entry{std::move(text), 0});
  newIndex_ = static_cast<int32_t>(entries_.size()) - 1;
  Changed();
}

void ComboBox::Clear() {
  Touch();
  entries_.clear();
  listIndex_ = -1;
  newIndex_ = -1;
  text_.clear();
  Changed();
}

int32_t ComboBox::ListCount() const {
  Touch();
  return static_cast<int32_t>(entries_.size());
}

int32_t ComboBox::NewIndex() const {
  Touch();
  return newIndex_;
}

const std::string& ComboBox::List(int32_t i) const {
  if (i < 0 || i >= ListCount()) RaiseInvalidPropertyIndex();
  return entries_[static_cast<size_t>(i)].text;
}

void ComboBox::SetList(int32_t i, std::string text) {
  if (i < 0 || i >= ListCount()) RaiseInvalidPropertyIndex();
  entries_[static_cast<size_t>(i)].text = std::move(text);
  if (i == listIndex_ && style_ == Style::Editable) text_ = entries_[static_cast<size_t>(i)].text;
  Changed();
}

int32_t ComboBox::ItemData(int32_t i) const {
  if (i < 0 || i >= ListCount()) RaiseInvalidPropertyIndex();
  return entries_[static_cast<size_t>(i)].data;
}

void ComboBox::SetItemData(int32_t i, int32_t data) {
  if (i < 0 || i >= ListCount()) RaiseInvalidPropertyIndex();
  entries_[static_cast<size_t>(i)].data = data;
}

int32_t ComboBox::ListIndex() const {
  Touch();
  return listIndex_;
}

void ComboBox::SetListIndex(int32_t i) {
  if (i < -1 || i >= ListCount()) RaiseInvalidPropertyValue();
  if (i == -1 && listIndex_ == -1) {
    text_.clear();
    Changed();
    return;
  }
  Select(i);
  Raise(OnClick);
}

std::string ComboBox::Text() const {
  Touch();
  if (style_ == Style::Editable) return text_;
  if (listIndex_ < 0) return {};
  return entries_[static_cast<size_t>(listIndex_)].text;
}

void ComboBox::SetText(std::string text) {
  Touch();
  int32_t found = -1;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].text == text) {
      found = static_cast<int32_t>(i);
      break;
    }
  }
  if (style_ == Style::Editable) {
    listIndex_ = found;
    text_ = std::move(text);
    Changed();
    return;
  }
  if (found < 0) RaiseInvalidPropertyValue();
  Select(found);
  Raise(OnClick);
}

void ComboBox::Select(int32_t i) {
  listIndex_ = i;
  if (i < 0) {
    text_.clear();
  } else {
    text_ = entries_[static_cast<size_t>(i)].text;
  }
  Changed();
}

}  // namespace ui
