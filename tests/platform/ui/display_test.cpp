// The display hook: which changes a front end is told of, and when; and the
// key and edit steps a front end drives text boxes with.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui_fixture.h"

namespace uitest {
namespace {

using Log = std::vector<std::string>;

// Records each change as "name" and, for the form, its shown state.
class RecordingDisplay : public ui::Display {
 public:
  explicit RecordingDisplay(Log& log) : log_(log) {}
  void Changed(ui::Control& c) override { log_.push_back("display:" + c.Name()); }

 private:
  Log& log_;
};

class UiDisplay : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    f = NewLoadedForm();
    display = std::make_unique<RecordingDisplay>(f->log);
    f->SetDisplay(display.get());
  }
  void TearDown() override {
    f->SetDisplay(nullptr);
    UiTest::TearDown();
  }
  std::shared_ptr<TestForm> f;
  std::unique_ptr<RecordingDisplay> display;
};

TEST_F(UiDisplay, EveryVisibleChangeIsReportedBeforeItsEvent) {
  struct Case {
    const char* what;
    std::function<void(TestForm&)> change;
    Log expected;
  };
  const std::vector<Case> cases = {
      {"text", [](TestForm& t) { t.txtDauer.SetText("24"); }, {"display:txtDauer", "txtDauer_Change:24"}},
      {"same text", [](TestForm& t) { t.txtDauer.SetText("24"); }, {}},
      {"fore colour", [](TestForm& t) { t.txtRabatt.SetForeColor(ui::color::Red); }, {"display:txtRabatt"}},
      {"check", [](TestForm& t) { t.chkFlag.SetValue(1); }, {"display:chkFlag", "chkFlag_Click:1"}},
      {"option", [](TestForm& t) { t.optB.SetValue(true); }, {"display:optA", "display:optB", "optB_Click"}},
      {"combo entry", [](TestForm& t) { t.cboPeriod.SetListIndex(1); },
       {"display:cboPeriod", "cboPeriod_Click:1"}},
      {"combo list", [](TestForm& t) { t.cboUnit.AddItem("Stück"); }, {"display:cboUnit"}},
      {"combo text", [](TestForm& t) { t.cboUnit.SetText("kg"); }, {"display:cboUnit"}},
      {"list box", [](TestForm& t) { t.lstInvoices.AddItem("Q1"); }, {"display:lstInvoices"}},
      {"list colour", [](TestForm& t) { t.lstInvoices.SetBackColor(ui::color::ButtonFace); },
       {"display:lstInvoices"}},
      {"date", [](TestForm& t) { t.DTPBeginn.SetValue(rt::DateSerial(2024, 1, 1)); },
       {"display:DTPBeginn", "DTPBeginn_Change"}},
      {"list view",
       [](TestForm& t) {
         t.lvwTypes.AddColumn("Typ", 1500);
         t.lvwTypes.AddColumn("Dauer", 800);
         t.lvwTypes.Add("Wartung").SetSubItems(1, "12");
       },
       {"display:lvwTypes", "display:lvwTypes", "display:lvwTypes", "display:lvwTypes"}},
      {"list view selection", [](TestForm& t) { t.lvwTypes.SetSelectedItem(nullptr); }, {"display:lvwTypes"}},
      {"caption", [](TestForm& t) { t.lblDirty.SetCaption("geändert"); }, {"display:lblDirty"}},
      {"bold", [](TestForm& t) { t.lblDirty.SetFontBold(true); }, {"display:lblDirty"}},
      {"label font", [](TestForm& t) { t.lblDirty.SetFontName("Arial"); }, {"display:lblDirty"}},
      {"form font", [](TestForm& t) { t.SetFontName("Tahoma"); }, {"display:frmTest"}},
      {"alignment", [](TestForm& t) { t.txtRabatt.SetAlignment(ui::TextBox::Alignment::Right); },
       {"display:txtRabatt"}},
      {"may empty", [](TestForm& t) { t.DTPBeginn.SetAllowEmpty(true); }, {"display:DTPBeginn"}},
      {"frame enabled", [](TestForm& t) { t.fraGroup.SetEnabled(false); }, {"display:fraGroup"}},
      {"visible", [](TestForm& t) { t.cmdOK.SetVisible(false); }, {"display:cmdOK"}},
      {"tool tip", [](TestForm& t) { t.cmdOK.SetToolTipText("Speichern"); }, {"display:cmdOK"}},
      {"z-order", [](TestForm& t) { t.fraGroup.ZOrder(1); }, {"display:fraGroup"}},
      {"focus", [](TestForm& t) { t.txtRabatt.SetFocus(); }, {"display:frmTest"}},
      {"form caption", [](TestForm& t) { t.SetCaption("Neu"); }, {"display:frmTest"}},
      {"hide", [](TestForm& t) { t.Hide(); }, {"display:frmTest"}},
  };
  for (const Case& c : cases) {
    f->log.clear();
    c.change(*f);
    EXPECT_EQ(f->log, c.expected) << c.what;
  }
}

TEST_F(UiDisplay, NothingIsReportedWithoutADisplay) {
  f->SetDisplay(nullptr);
  f->txtDauer.SetText("1");
  EXPECT_EQ(f->log, (Log{"txtDauer_Change:1"}));
}

TEST_F(UiDisplay, PressKeyFiltersAndEditStoresWithoutMovingTheFocus) {
  f->SetDisplay(nullptr);
  // A filter that turns "." into "," and swallows letters.
  f->txtRabatt.OnKeyPress = [](int16_t& key) {
    if (key == '.') key = ',';
    if (key >= 'a' && key <= 'z') key = 0;
  };
  struct Case {
    int16_t key;
    int16_t expected;
  };
  for (const Case& c : std::vector<Case>{{'.', ','}, {'x', 0}, {'5', '5'}, {8, 8}}) {
    int16_t key = c.key;
    EXPECT_TRUE(user.PressKey(f->txtRabatt, key));
    EXPECT_EQ(key, c.expected) << c.key;
  }
  EXPECT_TRUE(f->txtRabatt.HasFocus());

  // A handler that moves the focus away does not stop the edit of the box
  // the key was typed into.
  f->txtRabatt.OnChange = [this] { f->txtDauer.SetFocus(); };
  EXPECT_TRUE(user.Edit(f->txtRabatt, "1,5"));
  EXPECT_EQ(f->txtRabatt.Text(), "1,5");
  EXPECT_TRUE(f->txtDauer.HasFocus());

  // Unreachable boxes take neither keys nor edits.
  f->txtRabatt.SetEnabled(false);
  int16_t key = '1';
  EXPECT_FALSE(user.PressKey(f->txtRabatt, key));
  EXPECT_FALSE(user.Edit(f->txtRabatt, "2"));
  EXPECT_EQ(f->txtRabatt.Text(), "1,5");
}

}  // namespace
}  // namespace uitest
