// The themed frame: what it draws, in which order and where, in both
// styles, and how it keeps its properties.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/xp_frame.h"
#include "platform/object.h"
#include "platform/text.h"
#include "platform/ui/check_box.h"
#include "platform/ui/common_controls.h"
#include "platform/ui/form.h"
#include "platform/ui/recording_draw_api.h"

namespace {

using Lines = std::vector<std::string>;

class FrameDialog : public ui::Form {
 public:
  FrameDialog() : Form("frmFrames") {}
  XPFrame fraWorkflow{*this, "fraWorkflow"};
  ui::CheckBox chkWorkflow{fraWorkflow, "chkWorkflow"};
};

std::string N(int64_t n) { return std::to_string(n); }
std::string R(const ui::Rect& r) {
  return "(" + N(r.left) + "," + N(r.top) + "," + N(r.right) + "," + N(r.bottom) + ")";
}
std::string Narrow(const std::u16string& wide) {
  std::string s;
  for (char16_t c : wide) s += c < 128 ? static_cast<char>(c) : '?';
  return s;
}

class CoreXPFrame : public ::testing::Test {
 protected:
  void SetUp() override { ui::InitCommonControls(); }
  void TearDown() override {
    ui::SetDrawApi(nullptr);
    ui::InitCommonControls();
  }

  // Installs a recording drawing interface measuring 7 pixels a character
  // and `height` a line.
  void Install(bool themed, int32_t height = 13) {
    draw_ = std::make_shared<ui::test::RecordingDrawApi>(7, height);
    draw_->SetThemed(themed);
    ui::SetDrawApi(draw_);
  }

  // A dialog whose frame is 200 by 80 pixels and has `caption`; the calls
  // of that set-up are forgotten.
  std::shared_ptr<FrameDialog> Dialog(const std::string& caption) {
    auto dlg = ui::NewForm<FrameDialog>();
    dlg->fraWorkflow.SetSize(200, 80);
    dlg->fraWorkflow.SetCaption(caption);
    if (draw_) draw_->Reset();
    return dlg;
  }

  // The recorded calls, one line each with the arguments that shape the
  // picture. A call on another device context than the frame's, or on
  // other theme data than the first one opened, is marked.
  Lines Drawn(const XPFrame& fra) const {
    Lines lines;
    ui::Handle theme = 0;
    for (const ui::test::DrawCall& c : draw_->Calls()) {
      std::string l = c.name;
      if (c.name == "GetTextExtentPoint32A") l += " '" + c.ansi + "' " + N(c.length);
      if (c.name == "SetRect" || c.name == "FillBox") l += " " + R(c.rect);
      if (c.name == "OpenThemeData") l += " " + Narrow(c.wide) + (c.hwnd == fra.hWnd() ? "" : " [window]");
      if (c.name == "DrawThemeBackground") l += " " + N(c.part) + "/" + N(c.state) + " " + R(c.rect);
      if (c.name == "DrawThemeBackground" && c.hasClip) l += " [clip]";
      if (c.name == "DrawThemeText")
        l += " " + N(c.part) + "/" + N(c.state) + " '" + Narrow(c.wide) + "' " + N(c.length) + " flags " +
             N(c.flags) + " " + R(c.rect);
      if (c.name == "DrawEdge") l += " " + R(c.rect) + " " + N(c.edge) + " " + N(c.flags);
      if (c.name == "DrawStateA")
        l += " '" + c.ansi + "' " + N(c.length) + " at " + N(c.x) + "," + N(c.y) + " " + N(c.cx) + "x" +
             N(c.cy) + " flags " + N(c.flags) + (c.brush != 0 || c.proc != 0 ? " [brush]" : "");
      const bool onTheme = c.name == "DrawThemeBackground" || c.name == "DrawThemeText" || c.name == "CloseThemeData";
      const bool onDc = c.name != "IsAppThemed" && c.name != "SetRect" && c.name != "OpenThemeData" &&
                        c.name != "CloseThemeData";
      if (onDc && c.hdc != fra.hDC()) l += " [dc]";
      if (onTheme && theme == 0) theme = c.theme;
      if (onTheme && (c.theme == 0 || c.theme != theme)) l += " [theme]";
      lines.push_back(l);
    }
    return lines;
  }

  // Drawn as the classic frame: etched edge, no theme data asked for.
  bool DrewClassic() const { return draw_->Find("DrawEdge") && !draw_->Find("OpenThemeData"); }

  std::shared_ptr<ui::test::RecordingDrawApi> draw_;
};

TEST_F(CoreXPFrame, ThemedDrawsTheGroupBoxPartWithTheCaptionOverTheLine) {
  Install(true);
  auto dlg = Dialog("&Workflow");
  XPFrame& fra = dlg->fraWorkflow;
  fra.SetBackColor(0x00C0C0C0);
  fra.Refresh();

  // Measured without the "&", drawn with it; inset 9, margin 2, text 56
  // by 13, frame from 13 / 2 = 6.5 rounded to 6.
  EXPECT_EQ(Drawn(fra), (Lines{"Clear", "IsAppThemed", "GetTextExtentPoint32A 'Workflow' 8",
                               "SetRect (0,6,200,80)", "SetRect (9,0,65,13)", "OpenThemeData Button",
                               "DrawThemeBackground 4/0 (0,6,200,80)", "FillBox (7,0,67,13)",
                               "DrawThemeText 4/1 '&Workflow' 9 flags 0 (9,0,65,13)", "CloseThemeData"}));
  EXPECT_EQ(draw_->Find("FillBox")->color, 0x00C0C0C0u);
  EXPECT_EQ(draw_->OpenThemes(), 0);
}

TEST_F(CoreXPFrame, ClassicDrawsAnEtchedEdgeAndAnsiPrefixText) {
  Install(false, 15);
  auto dlg = Dialog("&Workflow bei Verlängerung");
  dlg->fraWorkflow.Refresh();

  // "ä" is one byte in the single-byte code page: 25 characters measure
  // 175 by 15; inset 4, margin 1; 15 / 2 = 7.5 rounds to 8.
  const std::string ansi = rt::ToAnsi("Workflow bei Verlängerung");
  EXPECT_EQ(Drawn(dlg->fraWorkflow),
            (Lines{"Clear", "IsAppThemed", "GetTextExtentPoint32A '" + ansi + "' 25", "SetRect (0,8,200,80)",
                   "SetRect (4,0,179,15)", "DrawEdge (0,8,200,80) 6 15", "FillBox (3,0,180,15)",
                   "DrawStateA '&" + ansi + "' 26 at 4,0 175x15 flags 2"}));
}

TEST_F(CoreXPFrame, AnEmptyCaptionMeasuresABlankAndLeavesTheLineUnbroken) {
  Install(false);
  auto dlg = Dialog("");
  dlg->fraWorkflow.Refresh();
  EXPECT_EQ(Drawn(dlg->fraWorkflow),
            (Lines{"Clear", "IsAppThemed", "GetTextExtentPoint32A ' ' 1", "SetRect (0,6,200,80)",
                   "SetRect (4,0,11,13)", "DrawEdge (0,6,200,80) 6 15", "DrawStateA '' 0 at 4,0 7x13 flags 2"}));

  Install(true);
  dlg->fraWorkflow.Refresh();
  EXPECT_EQ(Drawn(dlg->fraWorkflow),
            (Lines{"Clear", "IsAppThemed", "GetTextExtentPoint32A ' ' 1", "SetRect (0,6,200,80)",
                   "SetRect (9,0,16,13)", "OpenThemeData Button", "DrawThemeBackground 4/0 (0,6,200,80)",
                   "DrawThemeText 4/1 '' 0 flags 0 (9,0,16,13)", "CloseThemeData"}));
}

TEST_F(CoreXPFrame, SettingEnabledMarksItSwitchesTheControlAndRedrawsTheCaptionGreyed) {
  Install(false);
  auto dlg = Dialog("&Workflow");
  XPFrame& fra = dlg->fraWorkflow;
  EXPECT_TRUE(fra.IsPropertyChanged("Caption"));
  EXPECT_FALSE(fra.IsPropertyChanged("Enabled"));
  EXPECT_TRUE(dlg->chkWorkflow.Reachable());

  fra.SetEnabled(false);
  EXPECT_FALSE(fra.Enabled());
  EXPECT_TRUE(fra.IsPropertyChanged("Enabled"));
  EXPECT_FALSE(static_cast<ui::Control&>(fra).Enabled());
  EXPECT_FALSE(dlg->chkWorkflow.Reachable());
  EXPECT_EQ(Drawn(fra).front(), "Clear");
  EXPECT_EQ(Drawn(fra).back(), "DrawStateA '&Workflow' 9 at 4,0 56x13 flags 34");

  Install(true);
  fra.Refresh();
  EXPECT_EQ(Drawn(fra).at(8), "DrawThemeText 4/2 '&Workflow' 9 flags 0 (9,0,65,13)");

  Install(false);
  fra.SetEnabled(true);
  EXPECT_TRUE(static_cast<ui::Control&>(fra).Enabled());
  EXPECT_TRUE(dlg->chkWorkflow.Reachable());
  EXPECT_EQ(Drawn(fra).back(), "DrawStateA '&Workflow' 9 at 4,0 56x13 flags 2");
}

TEST_F(CoreXPFrame, WithoutThemeOrWithoutTheProbeTheClassicFrameIsDrawn) {
  Install(false);
  auto unthemed = Dialog("&Workflow");
  EXPECT_FALSE(unthemed->fraWorkflow.Themed());
  unthemed->fraWorkflow.Refresh();
  EXPECT_TRUE(DrewClassic());

  // Visual styles, but the image list cannot be created.
  rt::UnregisterClass(ui::kImageListProgId);
  Install(true);
  auto noProbe = Dialog("&Workflow");
  EXPECT_FALSE(noProbe->fraWorkflow.Themed());
  noProbe->fraWorkflow.Refresh();
  EXPECT_TRUE(DrewClassic());

  // Asking for the theme fails: counts as no theme.
  ui::InitCommonControls();
  Install(true);
  auto failing = Dialog("&Workflow");
  EXPECT_TRUE(failing->fraWorkflow.Themed());
  draw_->FailOn("IsAppThemed");
  EXPECT_FALSE(failing->fraWorkflow.Themed());
  draw_->Reset();
  failing->fraWorkflow.Refresh();
  EXPECT_TRUE(DrewClassic());
  EXPECT_EQ(Drawn(failing->fraWorkflow).back(), "DrawStateA '&Workflow' 9 at 4,0 56x13 flags 2");
}

TEST_F(CoreXPFrame, ThemeWithoutDataForButtonsFallsBackToTheClassicCalls) {
  Install(true);
  draw_->SetThemeDataAvailable(false);
  auto dlg = Dialog("&Workflow");
  dlg->fraWorkflow.Refresh();
  // Placed as the themed caption would be.
  EXPECT_EQ(Drawn(dlg->fraWorkflow),
            (Lines{"Clear", "IsAppThemed", "GetTextExtentPoint32A 'Workflow' 8", "SetRect (0,6,200,80)",
                   "SetRect (9,0,65,13)", "OpenThemeData Button", "DrawEdge (0,6,200,80) 6 15",
                   "FillBox (7,0,67,13)", "DrawStateA '&Workflow' 9 at 9,0 56x13 flags 2"}));
}

TEST_F(CoreXPFrame, AFailedDrawingCallEndsSilentlyAndStillClosesTheTheme) {
  Install(true);
  auto dlg = Dialog("&Workflow");
  draw_->FailOn("DrawThemeText");
  EXPECT_NO_THROW(dlg->fraWorkflow.Refresh());
  EXPECT_EQ(draw_->Names().back(), "CloseThemeData");
  EXPECT_EQ(draw_->Names().size(), 10u);
  EXPECT_EQ(draw_->OpenThemes(), 0);

  // Failing right after opening; setters redraw without raising either.
  draw_->Reset();
  draw_->FailOn("DrawThemeBackground");
  EXPECT_NO_THROW(dlg->fraWorkflow.SetEnabled(false));
  EXPECT_EQ(draw_->Names().back(), "CloseThemeData");
  EXPECT_EQ(draw_->OpenThemes(), 0);
  EXPECT_FALSE(dlg->fraWorkflow.Enabled());

  // Closing itself fails: closed once, nothing raised.
  draw_->Reset();
  draw_->FailOn("CloseThemeData");
  EXPECT_NO_THROW(dlg->fraWorkflow.Refresh());
  EXPECT_EQ(draw_->Names().back(), "CloseThemeData");
  EXPECT_EQ(draw_->Names().size(), 10u);
  EXPECT_EQ(draw_->OpenThemes(), 0);

  // Classic: the drawing stops at the failed call.
  Install(false);
  draw_->FailOn("DrawEdge");
  EXPECT_NO_THROW(dlg->fraWorkflow.Refresh());
  EXPECT_EQ(draw_->Names().back(), "DrawEdge");
}

TEST_F(CoreXPFrame, PropertiesEqualToTheirDefaultsAreNotStored) {
  auto dlg = ui::NewForm<FrameDialog>();
  XPFrame& fra = dlg->fraWorkflow;
  // A new frame: enabled, captioned with its display name.
  EXPECT_TRUE(fra.Enabled());
  EXPECT_EQ(fra.Caption(), "fraWorkflow");

  ui::PropertyBag bag;
  fra.UserControl_WriteProperties(bag);
  EXPECT_EQ(bag.Count(), 0);

  fra.SetCaption(" Workflow bei Vertragserstellung");
  fra.SetEnabled(false);
  fra.UserControl_WriteProperties(bag);
  EXPECT_EQ(bag.Count(), 2);

  auto other = ui::NewForm<FrameDialog>();
  other->fraWorkflow.UserControl_ReadProperties(bag);
  EXPECT_EQ(other->fraWorkflow.Caption(), " Workflow bei Vertragserstellung");
  EXPECT_FALSE(other->fraWorkflow.Enabled());

  // Nothing stored: the defaults.
  other->fraWorkflow.UserControl_ReadProperties(ui::PropertyBag{});
  EXPECT_EQ(other->fraWorkflow.Caption(), "fraWorkflow");
  EXPECT_TRUE(other->fraWorkflow.Enabled());

  // No caption at all is a stored value too.
  fra.SetCaption("");
  fra.SetEnabled(true);
  ui::PropertyBag noCaption;
  fra.UserControl_WriteProperties(noCaption);
  EXPECT_EQ(noCaption.Count(), 1);
  other->fraWorkflow.UserControl_ReadProperties(noCaption);
  EXPECT_EQ(other->fraWorkflow.Caption(), "");
}

}  // namespace
