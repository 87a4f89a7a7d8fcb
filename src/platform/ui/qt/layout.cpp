#include "platform/ui/qt/layout.h"

#include <algorithm>
#include <map>

#include "platform/object.h"
#include "platform/ui/controls.h"

namespace ui::qt {

namespace {

std::map<std::string, FormLayout>& Registry() {
  static std::map<std::string, FormLayout> layouts;
  return layouts;
}

bool Named(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return rt::NameEquals(n, name); });
}

// Controls a label stands beside. A label before a list stays above it.
bool IsField(const Control* c) {
  return dynamic_cast<const TextBox*>(c) != nullptr || dynamic_cast<const ComboBox*>(c) != nullptr ||
         dynamic_cast<const DatePicker*>(c) != nullptr;
}

}  // namespace

void RegisterLayout(const std::string& formName, FormLayout layout) { Registry()[formName] = std::move(layout); }

void RegisterLayouts(const std::vector<NamedLayout>& layouts) {
  for (const NamedLayout& l : layouts) RegisterLayout(l.formName, l.layout);
}

std::vector<Row> GenericRows(const Container& container, const std::vector<std::string>& placed, Row* buttons) {
  std::vector<Row> rows;
  const Control* label = nullptr;  // a label waiting for its field
  auto flushLabel = [&] {
    if (label != nullptr) rows.push_back({Item(label->Name())});
    label = nullptr;
  };
  for (const Control* c : container.Children()) {
    if (Named(placed, c->Name())) continue;
    if (dynamic_cast<const Label*>(c) != nullptr) {
      flushLabel();
      label = c;
      continue;
    }
    if (label != nullptr && IsField(c)) {
      rows.push_back({Field(label->Name(), Item(c->Name()))});
      label = nullptr;
      continue;
    }
    flushLabel();
    if (const auto* frame = dynamic_cast<const Container*>(c)) {
      rows.push_back({Box(c->Name(), GenericRows(*frame, placed, nullptr))});
    } else if (buttons != nullptr && dynamic_cast<const CommandButton*>(c) != nullptr) {
      buttons->push_back(Item(c->Name()));
    } else {
      rows.push_back({Item(c->Name())});
    }
  }
  flushLabel();
  return rows;
}

FormLayout GenericLayout(const Form& form) {
  FormLayout layout;
  layout.rows = GenericRows(form, {}, &layout.buttons);
  return layout;
}

FormLayout LayoutFor(const Form& form) {
  auto it = Registry().find(form.Name());
  return it != Registry().end() ? it->second : GenericLayout(form);
}

}  // namespace ui::qt
