// The drawing interface, its recording implementation, user controls and
// their property bag.
#include <gtest/gtest.h>

#include "platform/object.h"
#include "platform/text.h"
#include "platform/ui/recording_draw_api.h"
#include "platform/ui/user_control.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

class UiDrawing : public UiTest {
 protected:
  void TearDown() override {
    ui::SetDrawApi(nullptr);
    UiTest::TearDown();
  }
};

// A user control that paints a caption box through the current drawing
// implementation, enough to exercise the calls in order.
class CaptionBox : public ui::UserControl {
 public:
  using UserControl::UserControl;
  std::string caption = "&Workflow";
  int paints = 0;

 protected:
  void Paint() override {
    ++paints;
    ui::DrawApi& d = ui::CurrentDrawApi();
    d.Clear(hDC());
    const std::string measured = rt::Replace(caption, "&", "");
    ui::Size size;
    d.GetTextExtentPoint32A(hDC(), rt::ToAnsi(measured), rt::Len(measured), size);
    ui::Rect frame;
    d.SetRect(frame, 0, size.cy / 2, ScaleWidth(), ScaleHeight());
    ui::Handle theme = d.OpenThemeData(hWnd(), u"Button");
    d.DrawThemeBackground(theme, hDC(), ui::draw::BP_GROUPBOX, 0, frame, nullptr);
    d.FillBox(hDC(), ui::Rect{7, 0, 11 + size.cx, size.cy}, BackColor());
    d.DrawThemeText(theme, hDC(), ui::draw::BP_GROUPBOX, ui::draw::GBS_NORMAL, rt::ToWide(caption), rt::Len(caption),
                    0, 0, ui::Rect{9, 0, 9 + size.cx, size.cy});
    d.CloseThemeData(theme);
  }
};

TEST_F(UiDrawing, TheDefaultDrawsNothingAndIsNeverThemed) {
  ui::DrawApi& d = ui::CurrentDrawApi();
  EXPECT_FALSE(d.IsAppThemed());
  EXPECT_EQ(d.OpenThemeData(1, u"Button"), 0);
  ui::Size size{5, 5};
  EXPECT_TRUE(d.GetTextExtentPoint32A(1, "abc", 3, size));
  EXPECT_EQ(size, ui::Size{});
  ui::Rect r;
  d.SetRect(r, 1, 2, 3, 4);
  EXPECT_EQ(r, (ui::Rect{1, 2, 3, 4}));
}

TEST_F(UiDrawing, RecordingImplementationMeasuresWithAFixedMetricAndRecordsInOrder) {
  auto rec = std::make_shared<ui::test::RecordingDrawApi>(6, 15);
  ui::SetDrawApi(rec);
  auto f = ui::NewForm<TestForm>();
  CaptionBox box{*f, "fraWorkflow"};
  box.SetSize(200, 80);  // resizing repaints

  EXPECT_EQ(rec->Names(), (std::vector<std::string>{"Clear", "GetTextExtentPoint32A", "SetRect", "OpenThemeData",
                                                    "DrawThemeBackground", "FillBox", "DrawThemeText",
                                                    "CloseThemeData"}));
  const ui::test::DrawCall* ext = rec->Find("GetTextExtentPoint32A");
  EXPECT_EQ(ext->ansi, "Workflow");
  EXPECT_EQ(ext->hdc, box.hDC());
  EXPECT_EQ(rec->Find("SetRect")->rect, (ui::Rect{0, 7, 200, 80}));
  EXPECT_EQ(rec->Find("OpenThemeData")->wide, u"Button");
  EXPECT_EQ(rec->Find("OpenThemeData")->hwnd, box.hWnd());
  const ui::test::DrawCall* bg = rec->Find("DrawThemeBackground");
  EXPECT_EQ(bg->part, 4);
  EXPECT_FALSE(bg->hasClip);
  EXPECT_NE(bg->theme, 0);
  EXPECT_EQ(rec->Find("FillBox")->rect, (ui::Rect{7, 0, 59, 15}));
  EXPECT_EQ(rec->Find("FillBox")->color, ui::color::ButtonFace);
  EXPECT_EQ(rec->Find("DrawThemeText")->wide, u"&Workflow");
  EXPECT_EQ(rec->Find("DrawThemeText")->length, 9);
  EXPECT_EQ(rec->OpenThemes(), 0);
  EXPECT_EQ(box.paints, 1);
}

TEST_F(UiDrawing, AFailingCallRaisesAfterItWasRecorded) {
  auto rec = std::make_shared<ui::test::RecordingDrawApi>();
  rec->SetThemed(true);
  rec->FailOn("DrawThemeText");
  ui::SetDrawApi(rec);
  auto f = ui::NewForm<TestForm>();
  CaptionBox box{*f, "fraResponsible"};
  EXPECT_TRUE(ui::CurrentDrawApi().IsAppThemed());
  EXPECT_THROW(box.Refresh(), rt::Error);
  EXPECT_EQ(rec->Names().back(), "DrawThemeText");
  EXPECT_EQ(rec->OpenThemes(), 1);  // the painter above does not guard its theme handle

  rec->SetThemeDataAvailable(false);
  EXPECT_EQ(rec->OpenThemeData(box.hWnd(), u"Button"), 0);
}

TEST_F(UiDrawing, PropertyBagStoresOnlyValuesThatDifferFromTheirDefault) {
  ui::PropertyBag bag;
  bag.WriteProperty("Enabled", true, true);
  bag.WriteProperty("Caption", "fraTyp", "fraTyp");
  EXPECT_EQ(bag.Count(), 0);
  EXPECT_EQ(bag.ReadProperty("Enabled", true), rt::Variant(true));
  EXPECT_EQ(bag.ReadProperty("Caption", "fraTyp"), rt::Variant("fraTyp"));

  bag.WriteProperty("Enabled", false, true);
  bag.WriteProperty("Caption", "Verantwortlichkeiten", "fraResponsible");
  EXPECT_EQ(bag.Count(), 2);
  EXPECT_EQ(bag.ReadProperty("enabled", true), rt::Variant(false));
  EXPECT_EQ(bag.ReadProperty("CAPTION", ""), rt::Variant("Verantwortlichkeiten"));
  // Back to the default: no longer stored.
  bag.WriteProperty("Enabled", true, true);
  EXPECT_FALSE(bag.Contains("Enabled"));
}

TEST_F(UiDrawing, UserControlsKnowTheirDisplayNameHandlesAndChangedProperties) {
  auto f = ui::NewForm<TestForm>();
  CaptionBox a{*f, "fraWorkflow2"};
  CaptionBox b{*f, "fraTyp"};
  EXPECT_EQ(a.DisplayName(), "fraWorkflow2");
  EXPECT_NE(a.hWnd(), 0);
  EXPECT_NE(a.hWnd(), b.hWnd());
  EXPECT_NE(a.hDC(), b.hDC());
  EXPECT_FALSE(a.IsPropertyChanged("Enabled"));
  a.PropertyChanged("Enabled");
  EXPECT_TRUE(a.IsPropertyChanged("enabled"));
  EXPECT_FALSE(b.IsPropertyChanged("Enabled"));
  // A control placed in a user control is out of reach when it is disabled.
  ui::CheckBox chkWorkflow{a, "chkWorkflow"};
  a.SetEnabled(false);
  EXPECT_FALSE(user.Tick(chkWorkflow));
}

TEST_F(UiDrawing, CommonControlsProvideTheImageListProbe) {
  rt::UnregisterClass(ui::kImageListProgId);
  EXPECT_THROW(rt::CreateObject("COMCTL.ImageListCtrl"), rt::Error);
  ui::InitCommonControls();
  ui::InitCommonControls();
  auto probe = rt::CreateObject("comctl.imagelistctrl");
  EXPECT_NE(std::dynamic_pointer_cast<ui::ImageList>(probe), nullptr);
}

}  // namespace
}  // namespace uitest
