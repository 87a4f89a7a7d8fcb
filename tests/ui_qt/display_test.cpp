// What the add-on does to a control shows on its widget at once, without
// any event loop running in between.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>

#include "platform/ui/ui_fixture.h"
#include "qt_fixture.h"

namespace qttest {
namespace {

class QtUiDisplay : public QtUi {
 protected:
  void SetUp() override {
    QtUi::SetUp();
    f = uitest::NewLoadedForm();
  }
  std::shared_ptr<uitest::TestForm> f;
};

TEST_F(QtUiDisplay, ChangesFromCodeShowAtOnce) {
  ui::qt::FormWindow& w = Open(f);
  auto* dauer = Widget<QLineEdit>(w, f->txtDauer);
  auto* period = Widget<QComboBox>(w, f->cboPeriod);
  auto* unit = Widget<QComboBox>(w, f->cboUnit);
  auto* invoices = Widget<QListWidget>(w, f->lstInvoices);
  auto* types = Widget<QTreeWidget>(w, f->lvwTypes);
  auto* group = Widget<QGroupBox>(w, f->fraGroup);
  auto* beginn = FocusWidget<QDateEdit>(w, f->DTPBeginn);
  ASSERT_TRUE(dauer && period && unit && invoices && types && group && beginn);

  struct Case {
    const char* what;
    std::function<void()> change;
    std::function<bool()> shown;
  };
  const std::vector<Case> cases = {
      {"text", [&] { f->txtDauer.SetText("24"); }, [&] { return dauer->text() == "24"; }},
      {"colour", [&] { f->txtDauer.SetForeColor(ui::color::Red); },
       [&] { return dauer->palette().color(QPalette::Text) == QColor(255, 0, 0); }},
      {"alignment", [&] { f->txtDauer.SetAlignment(ui::TextBox::Alignment::Right); },
       [&] { return (dauer->alignment() & Qt::AlignRight) != 0; }},
      {"enabled", [&] { f->txtDauer.SetEnabled(false); }, [&] { return !dauer->isEnabled(); }},
      {"visible", [&] { f->txtDauer.SetVisible(false); }, [&] { return dauer->isHidden(); }},
      {"tool tip", [&] { f->cmdOK.SetToolTipText("Speichern"); },
       [&] { return w.WidgetOf(f->cmdOK)->toolTip() == "Speichern"; }},
      {"button caption", [&] { f->cmdOK.SetCaption("Übernehmen"); },
       [&] { return Widget<QPushButton>(w, f->cmdOK)->text() == "Übernehmen"; }},
      {"label", [&] { f->lblDirty.SetCaption("Vertragsdefinition wurde geändert !"); },
       [&] { return Widget<QLabel>(w, f->lblDirty)->text() == "Vertragsdefinition wurde geändert !"; }},
      {"bold", [&] { f->lblDirty.SetFontBold(true); }, [&] { return Widget<QLabel>(w, f->lblDirty)->font().bold(); }},
      {"check", [&] { f->chkFlag.SetValue(ui::CheckBox::Grayed); },
       [&] { return Widget<QCheckBox>(w, f->chkFlag)->checkState() == Qt::PartiallyChecked; }},
      {"option", [&] { f->optB.SetValue(true); },
       [&] { return Widget<QRadioButton>(w, f->optB)->isChecked() && !Widget<QRadioButton>(w, f->optA)->isChecked(); }},
      {"combo entries", [&] { f->cboPeriod.AddItem("vierteljährlich"); },
       [&] { return period->count() == 3 && period->itemText(2) == "vierteljährlich"; }},
      {"combo entry", [&] { f->cboPeriod.SetListIndex(2); }, [&] { return period->currentIndex() == 2; }},
      {"combo none", [&] { f->cboPeriod.SetListIndex(-1); }, [&] { return period->currentText().isEmpty(); }},
      {"editable combo", [&] { f->cboUnit.SetText("Stück"); }, [&] { return unit->currentText() == "Stück"; }},
      {"list entries", [&] { f->lstInvoices.AddItem("Q1"), f->lstInvoices.AddItem("Q2"); },
       [&] { return invoices->count() == 2; }},
      {"list entry", [&] { f->lstInvoices.SetListIndex(1); }, [&] { return invoices->currentRow() == 1; }},
      {"list cleared", [&] { f->lstInvoices.Clear(); }, [&] { return invoices->count() == 0; }},
      {"list colour", [&] { f->lstInvoices.SetBackColor(ui::color::ButtonFace); },
       [&] { return invoices->palette().color(QPalette::Base) == invoices->palette().color(QPalette::Window); }},
      {"date", [&] { f->DTPBeginn.SetValue(rt::DateSerial(2025, 1, 31)); },
       [&] { return beginn->date() == QDate(2025, 1, 31); }},
      {"frame", [&] { f->fraGroup.SetEnabled(false); },
       [&] { return !group->isEnabled() && !w.WidgetOf(f->txtInFrame)->isEnabled(); }},
      {"focus", [&] { f->txtRabatt.SetFocus(); }, [&] { return FocusedControl(w) == &f->txtRabatt; }},
      {"form caption", [&] { f->SetCaption("Neuer Vertrag für:   Muster"); },
       [&] { return w.dialog().windowTitle() == "Neuer Vertrag für:   Muster"; }},
  };
  for (const Case& c : cases) {
    c.change();
    EXPECT_TRUE(c.shown()) << c.what;
  }
}

TEST_F(QtUiDisplay, ListViewShowsColumnsWidthsAlignmentAndSelection) {
  // Widths in twips; 0 hides the column. 1500 twips are 100 pixels at 96 dpi.
  f->lvwTypes.AddColumn("Typ", 1500);
  f->lvwTypes.AddColumn("OID", 0);
  f->lvwTypes.AddColumn("Preis", 1005, ui::ListView::Alignment::Right);
  ui::ListItem& first = f->lvwTypes.Add("Wartung");
  first.SetSubItems(1, "oid-1");
  first.SetSubItems(2, "45,50");
  first.SetToolTipText("Wartung jährlich");
  f->lvwTypes.Add("Miete").SetSubItems(2, "100,00");
  ui::qt::FormWindow& w = Open(f);
  auto* types = Widget<QTreeWidget>(w, f->lvwTypes);

  EXPECT_EQ(types->columnCount(), 3);
  EXPECT_EQ(types->headerItem()->text(2), "Preis");
  EXPECT_EQ(types->columnWidth(0), 100);
  EXPECT_EQ(types->columnWidth(2), 67);
  EXPECT_TRUE(types->isColumnHidden(1));
  EXPECT_FALSE(types->isColumnHidden(2));
  EXPECT_EQ(types->topLevelItem(0)->text(2), "45,50");
  EXPECT_TRUE((types->topLevelItem(0)->textAlignment(2) & Qt::AlignRight) != 0);
  EXPECT_EQ(types->topLevelItem(0)->toolTip(0), "Wartung jährlich");
  EXPECT_EQ(types->currentItem(), types->topLevelItem(0));  // the first item added is selected

  // Changes to items, removal and selection from code show at once.
  f->lvwTypes.Item(2).SetText("Miete (neu)");
  EXPECT_EQ(types->topLevelItem(1)->text(0), "Miete (neu)");
  f->lvwTypes.SetSelectedItem(&f->lvwTypes.Item(2));
  EXPECT_EQ(types->currentItem(), types->topLevelItem(1));
  f->lvwTypes.Remove(1);
  EXPECT_EQ(types->topLevelItemCount(), 1);
  EXPECT_EQ(types->topLevelItem(0)->text(0), "Miete (neu)");
  f->lvwTypes.SetSelectedItem(nullptr);
  EXPECT_EQ(types->currentItem(), nullptr);
  EXPECT_TRUE(types->selectedItems().isEmpty());
}

TEST_F(QtUiDisplay, ListViewColumnsTooWideForTheScreenShrinkToFitTheList) {
  // 1200 pixels of columns; the window stays within the screen's 1024.
  f->lvwTypes.AddColumn("Typ", 9000);
  f->lvwTypes.AddColumn("OID", 0);
  f->lvwTypes.AddColumn("Dauer", 4500, ui::ListView::Alignment::Right);
  f->lvwTypes.AddColumn("Preis", 4500, ui::ListView::Alignment::Right);
  f->lvwTypes.Add("Wartung").SetSubItems(2, "12");
  ui::qt::FormWindow& w = Open(f);
  auto* types = Widget<QTreeWidget>(w, f->lvwTypes);
  ASSERT_LE(w.dialog().width(), 1024);
  EXPECT_EQ(ColumnProblems(*types), std::vector<std::string>{});
  EXPECT_GT(types->columnWidth(0), types->columnWidth(2));  // the widest stays the widest
  EXPECT_TRUE(types->isColumnHidden(1));

  // Rows enough for a scroll bar take width from the columns, which still fit.
  for (int i = 0; i < 100; ++i) f->lvwTypes.Add("Miete " + std::to_string(i));
  ASSERT_TRUE(QTest::qWaitFor([&] { return types->verticalScrollBar()->isVisible(); }));
  EXPECT_EQ(ColumnProblems(*types), std::vector<std::string>{});
}

TEST_F(QtUiDisplay, HidingTheFormClosesItsWindowAndStacksShowTheFrontControl) {
  // Two frames in one place: the one in front shows, as the original's
  // overlapping frames did.
  ui::qt::FormLayout layout;
  layout.rows = {{ui::qt::Stack({"txtDauer", "txtRabatt"})}};
  ui::qt::FormWindow& w = Open(f, layout);
  QWidget* dauer = w.WidgetOf(f->txtDauer);
  QWidget* rabatt = w.WidgetOf(f->txtRabatt);
  EXPECT_EQ(dauer->geometry(), rabatt->geometry());
  auto onTop = [&] { return dauer->parentWidget()->childAt(dauer->geometry().center()); };
  EXPECT_EQ(onTop(), rabatt);  // created last: in front
  EXPECT_TRUE(w.Covered(f->txtDauer));
  f->txtDauer.ZOrder(0);
  EXPECT_EQ(onTop(), dauer);
  f->txtDauer.SetVisible(false);  // the one behind shows through
  EXPECT_TRUE(dauer->isHidden());
  EXPECT_EQ(onTop(), rabatt);

  // A window shown without the form being shown closes on its own.
  f->Hide();
  w.UserClosed();
  EXPECT_FALSE(w.dialog().isVisible());
}

}  // namespace
}  // namespace qttest
