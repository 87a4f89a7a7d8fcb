// Where a form's controls stand on screen. The dialogs carry no positions;
// each form gets a layout declared in one place, as rows of cells inside
// the form and its frames, read top to bottom and left to right:
//
//   ui::qt::RegisterLayout("frmPosition", {
//       .rows = {
//           {Field("lblAnzahl", "txtAnzahl"), Field("lblEinheit", "cboEinheit")},
//           {Field("lblBeschreibung", Lines("txtBeschreibung", 3))},
//           {Box("fraPreise", {{Field("lblPreisM1", "txtPreisM1")},
//                              {Field("lblPreisM3", "txtPreisM3")}})},
//           {"chkSonderpreis"},
//       },
//       .buttons = {"cmdOk", "cmdCancel"},
//   });
//
// A row's cells stand in the columns of the grid of their frame (or of the
// form); a Field takes two columns, label and control, so that the labels
// of consecutive rows line up; the last cell of a row reaches to the right
// edge. A Column is a group of rows without a frame, standing in one cell.
// Two or more frames or columns in one row stand side by side, each at its
// own width; those that can use more width share what the window has to
// spare in proportion to their own, and give up width in that proportion
// where the window is short of it. Lists grow with the window; a list
// view's columns shrink to fit a list narrower than they are. Stacked
// controls share one cell, the one in front (in the form's z-order)
// covering the others. The buttons stand in a row at the bottom right; a
// Stretch() among them sends the buttons before it to the left. The
// keyboard focus follows the order of the layout.
//
// Each control stands inside the frame that holds it in the form, so that
// disabling or hiding a frame does the same on screen. Controls the layout
// leaves out are placed after the declared rows of their frame by the
// generic rules (GenericLayout); a form without a layout of its own is laid
// out by those rules alone.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ui {
class Container;
class Form;
}  // namespace ui

namespace ui::qt {

class Item;
using Row = std::vector<Item>;

// One cell of a row.
class Item {
 public:
  enum class Kind {
    Control,  // one control
    Field,    // a label and, to its right, the control it names
    Box,      // a frame with rows of its own
    Column,   // rows of their own in one cell, without a frame
    Stack,    // controls in one cell, the one in front covering the others
    Stretch,  // empty room that takes up what is left
  };

  Item(const char* control) : Item(std::string(control)) {}
  Item(std::string control) : kind(Kind::Control), name(std::move(control)) {}

  Kind kind;
  std::string name;           // Control, Box: the control; Field: the label
  std::vector<Item> parts;    // Field: the control; Stack: the stacked cells
  std::vector<Row> rows;      // Box, Column: its rows
  int lines = 0;              // a text box shown with this many lines (0: one)
  int chars = 0;              // a text box this many digits wide (0: its cell's width)

 private:
  friend Item Field(std::string, Item);
  friend Item Box(std::string, std::vector<Row>);
  friend Item Column(std::vector<Row>);
  friend Item Stack(std::vector<Item>);
  friend Item Stretch();
  Item(Kind k, std::string n) : kind(k), name(std::move(n)) {}
};

// The cells are plain data, built inline here, so that a program declares
// its layouts without linking this library (it hands them over with
// kelui_qt_StartFrontEnd, front_end.h).
inline Item Field(std::string label, Item control) {
  Item item(Item::Kind::Field, std::move(label));
  item.parts.push_back(std::move(control));
  return item;
}
inline Item Box(std::string frame, std::vector<Row> rows) {
  Item item(Item::Kind::Box, std::move(frame));
  item.rows = std::move(rows);
  return item;
}
inline Item Column(std::vector<Row> rows) {
  Item item(Item::Kind::Column, "");
  item.rows = std::move(rows);
  return item;
}
inline Item Stack(std::vector<Item> cells) {
  Item item(Item::Kind::Stack, "");
  item.parts = std::move(cells);
  return item;
}
inline Item Stretch() { return Item(Item::Kind::Stretch, ""); }
// A text box of several lines (Enter starts a new line in it).
inline Item Lines(std::string textBox, int lines) {
  Item item(std::move(textBox));
  item.lines = lines;
  return item;
}
// A text box of one line as wide as `chars` digits, for a short number.
inline Item Chars(std::string textBox, int chars) {
  Item item(std::move(textBox));
  item.chars = chars;
  return item;
}

struct FormLayout {
  std::vector<Row> rows{};  // the body, top to bottom
  Row buttons{};            // the row of buttons at the bottom right
};

// Declares the layout of the forms of that name (Form::Name).
void RegisterLayout(const std::string& formName, FormLayout layout);

// A layout with the name of its forms, for declaring several at once.
struct NamedLayout {
  std::string formName;
  FormLayout layout;
};
void RegisterLayouts(const std::vector<NamedLayout>& layouts);

// The rows the generic rules give the controls of `container` (the form or
// a frame) that `placed` does not name, in the order they were created: a
// label followed by a field (text box, combo box or date picker) makes a
// Field of the two; a frame makes a Box of its own controls; every other
// control (a list below its label too) takes a row of its own. The form's command buttons go to
// `buttons` when it is not null (they stand at the bottom right).
std::vector<Row> GenericRows(const Container& container, const std::vector<std::string>& placed, Row* buttons);

// The generic layout of a form: GenericRows of the form, with its buttons.
FormLayout GenericLayout(const Form& form);

// The layout registered for the form's name, or its generic layout.
FormLayout LayoutFor(const Form& form);

}  // namespace ui::qt
