// Layouts: the generic rules, declared layouts with fields, frames, stacks
// and several lines, pictures of the windows, and the themed frame painted
// by its own drawing code through Qt.
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>

#include "core/xp_frame.h"
#include "platform/ui/common_controls.h"
#include "platform/ui/controls.h"
#include "platform/ui/qt/qt_draw_api.h"
#include "platform/ui/ui_fixture.h"
#include "qt_fixture.h"

namespace qttest {
namespace {

using ui::qt::Box;
using ui::qt::Field;
using ui::qt::Item;
using ui::qt::Lines;
using ui::qt::Row;
using ui::qt::Stack;
using ui::qt::Stretch;

// A small contract dialog: labelled fields, a themed frame with options and
// a combo, a plain frame with a list, a note of several lines, two texts
// sharing one place, and buttons.
class ContractForm : public ui::Form {
 public:
  ContractForm() : Form("frmContract") {
    SetCaption("Neuer Vertrag für:   Muster GmbH");
    lblNummer.SetCaption("Vertragsnummer");
    chkAuto.SetCaption("Nummer automatisch vergeben");
    lblBeginn.SetCaption("Vertragsbeginn");
    lblGeschlossen.SetCaption("Vertrag geschlossen am");
    DTPGeschlossen.SetAllowEmpty(true);
    fraResponsible.SetCaption("Verantwortlichkeiten");
    optDefiniert.SetCaption("für voreingestellten Benutzer übernehmen");
    optNeu.SetCaption("für folgenden Benutzer anlegen");
    optDefiniert.SetValue(true);
    for (const char* u : {"Anna", "Bernd"}) cmbUser.AddItem(u);
    fraInvoices.SetCaption("Bereits fakturiert");
    lblInvoices.SetCaption("Wählen Sie den Zeitraum aus, der zuletzt fakturiert wurde.");
    for (const char* p : {"01.01.2024 - 31.03.2024", "01.04.2024 - 30.06.2024"}) lstInvoices.AddItem(p);
    lblMemo.SetCaption("Bearbeitungs- hinweis (intern)");
    lblDirty.SetCaption("Vertragsdefinition wurde geändert !");
    lblVersion.SetCaption("Version 2.0.0");
    cmdDetails.SetCaption("Vertragsdefinition bearbeiten");
    cmdOK.SetCaption("OK");
    cmdCancel.SetCaption("Abbrechen");
    DTPBeginn.SetValue(rt::DateSerial(2024, 3, 15));
    DTPGeschlossen.SetValue(rt::DateSerial(2024, 3, 10));
  }

  ui::Label lblNummer{*this, "lblNummer"};
  ui::TextBox txtNummer{*this, "txtNummer"};
  ui::CheckBox chkAuto{*this, "chkAuto"};
  ui::Label lblBeginn{*this, "lblBeginn"};
  ui::DatePicker DTPBeginn{*this, "DTPBeginn"};
  ui::Label lblGeschlossen{*this, "lblGeschlossen"};
  ui::DatePicker DTPGeschlossen{*this, "DTPGeschlossen"};
  XPFrame fraResponsible{*this, "fraResponsible"};
  ui::OptionButton optDefiniert{fraResponsible, "optDefiniert"};
  ui::OptionButton optNeu{fraResponsible, "optNeu"};
  ui::ComboBox cmbUser{fraResponsible, "cmbUser"};
  ui::Frame fraInvoices{*this, "fraInvoices"};
  ui::Label lblInvoices{fraInvoices, "lblInvoices"};
  ui::ListBox lstInvoices{fraInvoices, "lstInvoices"};
  ui::Label lblMemo{*this, "lblMemo"};
  ui::TextBox txtMemo{*this, "txtMemo"};
  ui::Label lblDirty{*this, "lblDirty"};
  ui::Label lblVersion{*this, "lblVersion"};
  ui::CommandButton cmdDetails{*this, "cmdDetails"};
  ui::CommandButton cmdOK{*this, "cmdOK"};
  ui::CommandButton cmdCancel{*this, "cmdCancel"};
};

ui::qt::FormLayout ContractLayout() {
  return {
      .rows =
          {
              {Field("lblNummer", "txtNummer"), "chkAuto"},
              {Field("lblBeginn", "DTPBeginn"), Field("lblGeschlossen", "DTPGeschlossen")},
              {Box("fraResponsible", {{"optDefiniert"}, {"optNeu", "cmbUser"}}),
               Box("fraInvoices", {{"lblInvoices"}, {"lstInvoices"}})},
              {Field("lblMemo", Lines("txtMemo", 3))},
              {Stack({"lblDirty", "lblVersion"})},
          },
      .buttons = {"cmdDetails", Stretch(), "cmdOK", "cmdCancel"},
  };
}

class QtUiLayout : public QtUi {
 protected:
  void SetUp() override {
    QtUi::SetUp();
    ui::InitCommonControls();  // the themed frame's probe
  }
};

// The names in a layout's rows, cell by cell: "a", "label>field", "frame[...]".
std::string Describe(const std::vector<Row>& rows);
std::string Describe(const Item& item) {
  switch (item.kind) {
    case Item::Kind::Field:
      return item.name + ">" + Describe(item.parts.front());
    case Item::Kind::Box:
      return item.name + "[" + Describe(item.rows) + "]";
    default:
      return item.name;
  }
}
std::string Describe(const std::vector<Row>& rows) {
  std::string out;
  for (const Row& row : rows) {
    if (!out.empty()) out += " / ";
    for (size_t i = 0; i < row.size(); ++i) {
      if (i > 0) out += " ";
      out += Describe(row[i]);
    }
  }
  return out;
}

TEST_F(QtUiLayout, GenericRulesPairLabelsWithFieldsAndSendButtonsDown) {
  auto f = ui::NewForm<ContractForm>();
  const ui::qt::FormLayout layout = ui::qt::GenericLayout(*f);
  EXPECT_EQ(Describe(layout.rows),
            "lblNummer>txtNummer / chkAuto / lblBeginn>DTPBeginn / lblGeschlossen>DTPGeschlossen / "
            "fraResponsible[optDefiniert / optNeu / cmbUser] / fraInvoices[lblInvoices / lstInvoices] / "
            "lblMemo>txtMemo / lblDirty / lblVersion");
  EXPECT_EQ(Describe({layout.buttons}), "cmdDetails cmdOK cmdCancel");

  // A registered layout is the form's; controls it leaves out follow it by
  // the generic rules.
  ui::qt::RegisterLayout("frmContract", {.rows = {{"chkAuto"}}, .buttons = {"cmdOK"}});
  ui::qt::FormWindow& w = Open(f);
  EXPECT_EQ(w.Placed().front(), &f->chkAuto);
  EXPECT_EQ(w.Placed().size(), f->Controls().size());
  ui::qt::RegisterLayout("frmContract", ui::qt::GenericLayout(*f));
}

TEST_F(QtUiLayout, PicturesShowEveryControlInsideTheWindowWithoutOverlaps) {
  struct Case {
    std::string picture;
    std::function<std::shared_ptr<ui::Form>()> make;
    std::optional<ui::qt::FormLayout> layout;
  };
  const std::vector<Case> cases = {
      {"generic-test-form", [] { return uitest::NewLoadedForm(); }, std::nullopt},
      {"generic-contract", [] { return ui::NewForm<ContractForm>(); },
       ui::qt::GenericLayout(*ui::NewForm<ContractForm>())},
      {"declared-contract", [] { return ui::NewForm<ContractForm>(); }, ContractLayout()},
  };
  for (const Case& c : cases) {
    std::shared_ptr<ui::Form> form = c.make();
    ui::qt::FormWindow& w = Open(form, c.layout);
    const QSize size = w.dialog().size();
    EXPECT_LE(size.width(), 1024) << c.picture;
    EXPECT_LE(size.height(), 768) << c.picture;
    EXPECT_EQ(LayoutProblems(w), std::vector<std::string>{}) << c.picture;
    EXPECT_TRUE(SavePicture(w, c.picture)) << c.picture;
  }
}

TEST_F(QtUiLayout, DeclaredLayoutPlacesLabelsBesideFieldsAndButtonsBottomRight) {
  auto f = ui::NewForm<ContractForm>();
  ui::qt::FormWindow& w = Open(f, ContractLayout());
  auto at = [&](const ui::Control& c) { return w.WidgetOf(c)->mapTo(&w.dialog(), QPoint(0, 0)); };

  // Labels stand left of their fields, on one line; the labels of one
  // column line up.
  EXPECT_LT(at(f->lblNummer).x(), at(f->txtNummer).x());
  EXPECT_NEAR(w.WidgetOf(f->lblNummer)->geometry().center().y(), w.WidgetOf(f->txtNummer)->geometry().center().y(), 2);
  EXPECT_EQ(at(f->lblNummer).x(), at(f->lblBeginn).x());
  EXPECT_EQ(Widget<QLabel>(w, f->lblMemo)->buddy(), w.FocusWidgetOf(f->txtMemo));

  // Buttons: OK and Cancel at the bottom right, Details at the left.
  const QRect window = w.dialog().rect();
  const QRect cancel(at(f->cmdCancel), w.WidgetOf(f->cmdCancel)->size());
  EXPECT_LT(window.right() - cancel.right(), 20);
  EXPECT_LT(window.bottom() - cancel.bottom(), 20);
  EXPECT_LT(at(f->cmdOK).x(), cancel.x());
  EXPECT_LT(at(f->cmdDetails).x(), window.width() / 3);

  // A note of three lines; children of the drawn frame below its caption.
  auto* memo = Widget<QPlainTextEdit>(w, f->txtMemo);
  ASSERT_NE(memo, nullptr);
  EXPECT_GE(memo->height(), 3 * memo->fontMetrics().lineSpacing());
  EXPECT_GE(w.WidgetOf(f->optDefiniert)->y(), w.WidgetOf(f->fraResponsible)->fontMetrics().height());

  // Tab follows the layout: from the number field to the check box, the
  // dates (the second one has its check box first), the frame's controls.
  f->txtNummer.SetFocus();
  std::vector<std::string> order;
  for (int i = 0; i < 5; ++i) {
    QTest::keyClick(w.dialog().focusWidget(), Qt::Key_Tab);
    order.push_back(f->ActiveControl()->Name());
    EXPECT_EQ(FocusedControl(w), f->ActiveControl());
  }
  EXPECT_EQ(order,
            (std::vector<std::string>{"chkAuto", "DTPBeginn", "DTPGeschlossen", "DTPGeschlossen", "optDefiniert"}));
  EXPECT_EQ(w.dialog().focusWidget(), w.FocusWidgetOf(f->optDefiniert));
}

TEST_F(QtUiLayout, MistakesInALayoutAreRefused) {
  auto f = ui::NewForm<ContractForm>();
  f->EnsureLoaded();
  const std::vector<std::pair<ui::qt::FormLayout, std::string>> cases = {
      {{.rows = {{"txtNichtDa"}}}, "the layout of frmContract: no control txtNichtDa"},
      {{.rows = {{"cmbUser"}}}, "the layout of frmContract: cmbUser stands outside its frame fraResponsible"},
      {{.rows = {{"txtMemo"}, {"txtMemo"}}}, "the layout of frmContract: txtMemo is placed twice"},
      {{.rows = {{Box("txtMemo", {})}}}, "the layout of frmContract uses txtMemo as a frame"},
  };
  for (const auto& [layout, message] : cases) {
    try {
      ui::qt::FormWindow w(*f, layout);
      ADD_FAILURE() << "accepted: " << message;
    } catch (const std::logic_error& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
}

// Passes every drawing call on to Qt, noting its name.
class NotingDrawApi : public ui::qt::QtDrawApi {
 public:
  std::vector<std::string> calls;
  int32_t DrawThemeBackground(ui::Handle t, ui::Handle dc, int32_t p, int32_t s, const ui::Rect& r,
                              const ui::Rect* c) override {
    calls.push_back("DrawThemeBackground");
    return QtDrawApi::DrawThemeBackground(t, dc, p, s, r, c);
  }
  bool DrawEdge(ui::Handle dc, const ui::Rect& r, uint32_t e, uint32_t f) override {
    calls.push_back("DrawEdge");
    return QtDrawApi::DrawEdge(dc, r, e, f);
  }
};

// Pixels of `image` in `box` that differ clearly from `background`, and
// their mean lightness.
struct Ink {
  int pixels = 0;
  int lightness = 0;
};
Ink InkIn(const QImage& image, const QRect& box, QColor background) {
  Ink ink;
  long sum = 0;
  for (int y = box.top(); y <= box.bottom(); ++y) {
    for (int x = box.left(); x <= box.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.lightness() - background.lightness()) < 24) continue;
      ++ink.pixels;
      sum += c.lightness();
    }
  }
  ink.lightness = ink.pixels > 0 ? static_cast<int>(sum / ink.pixels) : 0;
  return ink;
}

TEST_F(QtUiLayout, ThemedFrameIsPaintedByItsOwnDrawingCode) {
  auto draw = std::make_shared<NotingDrawApi>();
  ui::SetDrawApi(draw);
  auto f = ui::NewForm<ContractForm>();
  ui::qt::FormWindow& w = Open(f, ContractLayout());
  QWidget* frame = w.WidgetOf(f->fraResponsible);
  const QColor background = frame->palette().color(QPalette::Window);
  const int line = frame->fontMetrics().height();
  const QRect caption(9, 0, frame->fontMetrics().horizontalAdvance("Verantwortlichkeiten"), line);

  struct Case {
    const char* style;
    bool enabled;
    const char* call;
  };
  std::map<std::string, Ink> captions;
  for (const Case& c : std::vector<Case>{{"Fusion", true, "DrawThemeBackground"},
                                         {"Fusion", false, "DrawThemeBackground"},
                                         {"Windows", true, "DrawEdge"}}) {
    QApplication::setStyle(QStyleFactory::create(c.style));
    f->fraResponsible.SetEnabled(c.enabled);
    draw->calls.clear();
    const QImage image = frame->grab().toImage();
    const std::string what = std::string(c.style) + (c.enabled ? "" : " disabled");
    EXPECT_NE(std::find(draw->calls.begin(), draw->calls.end(), c.call), draw->calls.end()) << what;
    // The frame's line at the bottom and the caption at the top left.
    EXPECT_GT(InkIn(image, QRect(0, image.height() - 3, image.width(), 3), background).pixels, image.width() / 2)
        << what;
    captions[what] = InkIn(image, caption, background);
    EXPECT_GT(captions[what].pixels, 20) << what;
    EXPECT_TRUE(SavePicture(image, "frame-" + QString(what.c_str()).replace(' ', '-').toStdString()));
  }
  // A disabled caption is greyed: lighter than the enabled one.
  EXPECT_GT(captions["Fusion disabled"].lightness, captions["Fusion"].lightness);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
}

}  // namespace
}  // namespace qttest
