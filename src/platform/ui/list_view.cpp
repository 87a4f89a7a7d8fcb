#include "platform/ui/list_view.h"

#include "platform/error.h"

namespace ui {

namespace {
const std::string kEmpty;
}

// --- ListItem ------------------------------------------------------------------

const std::string& ListItem::Text() const {
  owner_->Touch();
  return text_;
}

void ListItem::SetText(std::string text) {
  owner_->Touch();
  text_ = std::move(text);
  owner_->Changed();
}

void ListItem::CheckSubItem(int32_t n) const {
  if (n < 1 || n >= owner_->ColumnCount()) RaiseInvalidPropertyValue();
}

const std::string& ListItem::SubItems(int32_t n) const {
  CheckSubItem(n);
  const auto k = static_cast<size_t>(n - 1);
  return k < subItems_.size() ? subItems_[k] : kEmpty;
}

void ListItem::SetSubItems(int32_t n, std::string text) {
  CheckSubItem(n);
  const auto k = static_cast<size_t>(n - 1);
  if (subItems_.size() <= k) subItems_.resize(k + 1);
  subItems_[k] = std::move(text);
  owner_->Changed();
}

const std::string& ListItem::ToolTipText() const {
  owner_->Touch();
  return toolTip_;
}

void ListItem::SetToolTipText(std::string text) {
  owner_->Touch();
  toolTip_ = std::move(text);
  owner_->Changed();
}

int32_t ListItem::Index() const {
  owner_->Touch();
  return owner_->IndexOf(this);
}

bool ListItem::Selected() const {
  owner_->Touch();
  return owner_->selected_ == this;
}

// --- ListView --------------------------------------------------------------------

void ListView::RaiseOutOfBounds() { rt::Raise(35600, {}, "Index außerhalb des gültigen Bereichs"); }

int32_t ListView::IndexOf(const ListItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == item) return static_cast<int32_t>(i) + 1;
  }
  return 0;
}

void ListView::AddColumn(std::string text, int32_t width, Alignment align) {
  Touch();
  columns_.push_back(ColumnHeader{std::move(text), width, align});
  Changed();
}

int32_t ListView::ColumnCount() const {
  Touch();
  return static_cast<int32_t>(columns_.size());
}

const ListView::ColumnHeader& ListView::Column(int32_t i) const {
  if (i < 1 || i > ColumnCount()) RaiseInvalidPropertyValue();
  return columns_[static_cast<size_t>(i - 1)];
}

ListItem& ListView::Add(std::string text) {
  Touch();
  items_.push_back(std::unique_ptr<ListItem>(new ListItem(*this, std::move(text))));
  ListItem& item = *items_.back();
  if (items_.size() == 1) selected_ = &item;
  Changed();
  return item;
}

void ListView::Clear() {
  Touch();
  selected_ = nullptr;
  items_.clear();
  Changed();
}

void ListView::Remove(int32_t index) {
  if (index < 1 || index > Count()) RaiseOutOfBounds();
  auto it = items_.begin() + (index - 1);
  if (selected_ == it->get()) selected_ = nullptr;
  items_.erase(it);
  Changed();
}

int32_t ListView::Count() const {
  Touch();
  return static_cast<int32_t>(items_.size());
}

ListItem& ListView::Item(int32_t index) {
  if (index < 1 || index > Count()) RaiseOutOfBounds();
  return *items_[static_cast<size_t>(index - 1)];
}

const ListItem& ListView::Item(int32_t index) const {
  if (index < 1 || index > Count()) RaiseOutOfBounds();
  return *items_[static_cast<size_t>(index - 1)];
}

bool ListView::HasSelectedItem() const {
  Touch();
  return selected_ != nullptr;
}

ListItem& ListView::SelectedItem() const {
  Touch();
  if (selected_ == nullptr) rt::RaiseRuntime(rt::errc::ObjectNotSet);
  return *selected_;
}

void ListView::SetSelectedItem(ListItem* item) {
  Touch();
  if (item != nullptr && IndexOf(item) == 0) RaiseInvalidPropertyValue();
  selected_ = item;
  Changed();
}

}  // namespace ui
