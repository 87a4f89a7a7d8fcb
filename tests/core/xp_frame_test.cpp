// The themed frame: what it draws, in which order and where, in both
// styles, and how it keeps its properties.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/xp_frame.h"
#include "platform/object.h"
#include "platform/ui/check_box.h"
#include "platform/ui/common_controls.h"
#include "platform/ui/form.h"
#include "platform/text.h"
#include "platform/ui/recording_draw_api.h"

namespace {

using Names = std::vector<std::string>;

class FrameDialog : public ui::Form {
 public:
  FrameDialog() : Form("frmFrames") {}
  XPFrame fraWorkflow{*this, "fraWorkflow"};
  ui::CheckBox chkWorkflow{fraWorkflow, "chkWorkflow"};
};

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

  const ui::test::DrawCall& Call(std::string_view name) const {
    const ui::test::DrawCall* c = draw_->Find(name);
    EXPECT_NE(c, nullptr) << name;
    static const ui::test::DrawCall none;
    return c != nullptr ? *c : none;
  }

  std::shared_ptr<ui::test::RecordingDrawApi> draw_;
};

TEST_F(CoreXPFrame, ThemedDrawsTheGroupBoxPartWithTheCaptionOverTheLine) {
  Install(true);
  auto dlg = Dialog("&Workflow");
  XPFrame& fra = dlg->fraWorkflow;
  fra.SetBackColor(0x00C0C0C0);
  fra.Refresh();

  EXPECT_EQ(draw_->Names(), (Names{"Clear", "IsAppThemed", "GetTextExtentPoint32A", "SetRect", "SetRect",
                                   "OpenThemeData", "DrawThemeBackground", "FillBox", "DrawThemeText",
                                   "CloseThemeData"}));
  EXPECT_EQ(Call("Clear").hdc, fra.hDC());
  // Measured without the "&": 8 characters.
  EXPECT_EQ(Call("GetTextExtentPoint32A").ansi, "Workflow");
  EXPECT_EQ(Call("GetTextExtentPoint32A").length, 8);
  EXPECT_EQ(Call("OpenThemeData").hwnd, fra.hWnd());
  EXPECT_EQ(Call("OpenThemeData").wide, u"Button");

  const auto& bg = Call("DrawThemeBackground");
  EXPECT_EQ(bg.hdc, fra.hDC());
  EXPECT_EQ(bg.part, 4);
  EXPECT_EQ(bg.state, 0);
  EXPECT_EQ(bg.rect, (ui::Rect{0, 6, 200, 80}));
  EXPECT_FALSE(bg.hasClip);

  // Inset 9, margin 2, text 56 by 13.
  EXPECT_EQ(Call("FillBox").rect, (ui::Rect{7, 0, 67, 13}));
  EXPECT_EQ(Call("FillBox").color, 0x00C0C0C0u);

  const auto& text = Call("DrawThemeText");
  EXPECT_EQ(text.theme, bg.theme);
  EXPECT_EQ(text.part, 4);
  EXPECT_EQ(text.state, ui::draw::GBS_NORMAL);
  EXPECT_EQ(text.wide, u"&Workflow");  // drawn with the "&": W underlined
  EXPECT_EQ(text.length, 9);
  EXPECT_EQ(text.flags, 0u);
  EXPECT_EQ(text.rect, (ui::Rect{9, 0, 65, 13}));
  EXPECT_EQ(Call("CloseThemeData").theme, bg.theme);
  EXPECT_EQ(draw_->OpenThemes(), 0);
}

TEST_F(CoreXPFrame, ClassicDrawsAnEtchedEdgeAndAnsiPrefixText) {
  Install(false, 15);
  auto dlg = Dialog("&Workflow bei Verlängerung");
  XPFrame& fra = dlg->fraWorkflow;
  fra.Refresh();

  EXPECT_EQ(draw_->Names(), (Names{"Clear", "IsAppThemed", "GetTextExtentPoint32A", "SetRect", "SetRect", "DrawEdge",
                                   "FillBox", "DrawStateA"}));
  // Without the "&", and "ä" is one byte in the single-byte code page.
  EXPECT_EQ(Call("GetTextExtentPoint32A").ansi, rt::ToAnsi("Workflow bei Verlängerung"));
  EXPECT_EQ(Call("GetTextExtentPoint32A").length, 25);

  const auto& edge = Call("DrawEdge");
  EXPECT_EQ(edge.hdc, fra.hDC());
  EXPECT_EQ(edge.rect, (ui::Rect{0, 8, 200, 80}));  // 15 / 2 = 7.5 rounds to 8
  EXPECT_EQ(edge.edge, 6u);
  EXPECT_EQ(edge.flags, 15u);

  // Inset 4, margin 1, text 175 by 15.
  EXPECT_EQ(Call("FillBox").rect, (ui::Rect{3, 0, 180, 15}));

  const auto& state = Call("DrawStateA");
  EXPECT_EQ((std::pair{state.brush, state.proc}), (std::pair<ui::Handle, ui::Handle>{0, 0}));
  EXPECT_EQ(state.ansi, rt::ToAnsi("&Workflow bei Verlängerung"));
  EXPECT_EQ(state.length, 26);
  EXPECT_EQ((ui::Rect{state.x, state.y, state.cx, state.cy}), (ui::Rect{4, 0, 175, 15}));
  EXPECT_EQ(state.flags, 2u);
}

TEST_F(CoreXPFrame, AnEmptyCaptionMeasuresABlankAndLeavesTheLineUnbroken) {
  Install(false);
  auto dlg = Dialog("");
  dlg->fraWorkflow.Refresh();
  EXPECT_EQ(Call("GetTextExtentPoint32A").ansi, " ");
  EXPECT_EQ(Call("DrawEdge").rect, (ui::Rect{0, 6, 200, 80}));
  EXPECT_EQ(draw_->Find("FillBox"), nullptr);
  EXPECT_EQ(Call("DrawStateA").ansi, "");
  EXPECT_EQ(Call("DrawStateA").length, 0);

  Install(true);
  dlg->fraWorkflow.Refresh();
  EXPECT_EQ(Call("GetTextExtentPoint32A").ansi, " ");
  EXPECT_EQ(Call("DrawThemeBackground").rect, (ui::Rect{0, 6, 200, 80}));
  EXPECT_EQ(draw_->Find("FillBox"), nullptr);
  EXPECT_EQ(Call("DrawThemeText").wide, u"");
  EXPECT_EQ(Call("DrawThemeText").length, 0);
  EXPECT_EQ(draw_->OpenThemes(), 0);
}

TEST_F(CoreXPFrame, ADisabledFrameDrawsItsCaptionGreyedInBothStyles) {
  Install(false);
  auto dlg = Dialog("&Workflow");
  dlg->fraWorkflow.SetEnabled(false);  // redraws
  EXPECT_EQ(Call("DrawStateA").flags, 34u);

  Install(true);
  dlg->fraWorkflow.Refresh();
  EXPECT_EQ(Call("DrawThemeText").state, ui::draw::GBS_DISABLED);
  EXPECT_EQ(Call("DrawThemeText").wide, u"&Workflow");
}

TEST_F(CoreXPFrame, WithoutThemeOrWithoutTheProbeTheClassicFrameIsDrawn) {
  // No visual styles.
  Install(false);
  auto dlg = Dialog("&Workflow");
  EXPECT_FALSE(dlg->fraWorkflow.Themed());
  draw_->Reset();
  dlg->fraWorkflow.Refresh();
  EXPECT_NE(draw_->Find("DrawEdge"), nullptr);
  EXPECT_EQ(draw_->Find("OpenThemeData"), nullptr);
  EXPECT_EQ(Call("DrawStateA").x, 4);

  // Visual styles, but the image list cannot be created.
  rt::UnregisterClass(ui::kImageListProgId);
  Install(true);
  auto noProbe = Dialog("&Workflow");
  EXPECT_FALSE(noProbe->fraWorkflow.Themed());
  draw_->Reset();
  noProbe->fraWorkflow.Refresh();
  EXPECT_NE(draw_->Find("DrawEdge"), nullptr);
  EXPECT_EQ(draw_->Find("OpenThemeData"), nullptr);

  // Asking for the theme fails: counts as no theme.
  ui::InitCommonControls();
  Install(true);
  auto failing = Dialog("&Workflow");
  EXPECT_TRUE(failing->fraWorkflow.Themed());
  draw_->FailOn("IsAppThemed");
  EXPECT_FALSE(failing->fraWorkflow.Themed());
  draw_->Reset();
  failing->fraWorkflow.Refresh();
  EXPECT_EQ(Call("DrawStateA").flags, 2u);
}

TEST_F(CoreXPFrame, ThemeWithoutDataForButtonsFallsBackToTheClassicCalls) {
  Install(true);
  draw_->SetThemeDataAvailable(false);
  auto dlg = Dialog("&Workflow");
  dlg->fraWorkflow.Refresh();
  EXPECT_EQ(draw_->Names(), (Names{"Clear", "IsAppThemed", "GetTextExtentPoint32A", "SetRect", "SetRect",
                                   "OpenThemeData", "DrawEdge", "FillBox", "DrawStateA"}));
  // Placed as the themed caption would be.
  EXPECT_EQ(Call("DrawStateA").x, 9);
  EXPECT_EQ(Call("FillBox").rect, (ui::Rect{7, 0, 67, 13}));
}

TEST_F(CoreXPFrame, AFailedDrawingCallEndsSilentlyAndStillClosesTheTheme) {
  Install(true);
  auto dlg = Dialog("&Workflow");
  draw_->FailOn("DrawThemeText");
  EXPECT_NO_THROW(dlg->fraWorkflow.Refresh());
  EXPECT_EQ(draw_->Names(), (Names{"Clear", "IsAppThemed", "GetTextExtentPoint32A", "SetRect", "SetRect",
                                   "OpenThemeData", "DrawThemeBackground", "FillBox", "DrawThemeText",
                                   "CloseThemeData"}));
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

TEST_F(CoreXPFrame, SettingEnabledMarksItChangedSwitchesTheControlAndRedraws) {
  Install(false);
  auto dlg = Dialog("Verantwortlichkeiten");
  XPFrame& fra = dlg->fraWorkflow;
  EXPECT_TRUE(fra.IsPropertyChanged("Caption"));
  EXPECT_FALSE(fra.IsPropertyChanged("Enabled"));
  EXPECT_TRUE(dlg->chkWorkflow.Reachable());

  fra.SetEnabled(false);
  EXPECT_FALSE(fra.Enabled());
  EXPECT_TRUE(fra.IsPropertyChanged("Enabled"));
  EXPECT_FALSE(static_cast<ui::Control&>(fra).Enabled());
  EXPECT_FALSE(dlg->chkWorkflow.Reachable());
  EXPECT_EQ(draw_->Names().front(), "Clear");
  EXPECT_EQ(Call("DrawStateA").flags, 34u);

  draw_->Reset();
  fra.SetEnabled(true);
  EXPECT_TRUE(static_cast<ui::Control&>(fra).Enabled());
  EXPECT_TRUE(dlg->chkWorkflow.Reachable());
  EXPECT_EQ(Call("DrawStateA").flags, 2u);
}

}  // namespace
