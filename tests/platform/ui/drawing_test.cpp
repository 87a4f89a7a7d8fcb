// The drawing interface, its recording implementation, user controls and
// their property bag.
#include <gtest/gtest.h>

#include "platform/object.h"
#include "platform/runtime_expect.h"
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

// A user control that counts its paints and measures its name when painted.
class CaptionBox : public ui::UserControl {
 public:
  using UserControl::UserControl;
  int paints = 0;

 protected:
  void Paint() override {
    ++paints;
    ui::Size size;
    ui::CurrentDrawApi().GetTextExtentPoint32A(hDC(), Name(), static_cast<int32_t>(Name().size()), size);
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

TEST_F(UiDrawing, RecordingImplementationMeasuresWithAFixedMetricAndCanFail) {
  auto rec = std::make_shared<ui::test::RecordingDrawApi>(6, 15);
  ui::SetDrawApi(rec);
  auto f = ui::NewForm<TestForm>();
  CaptionBox box{*f, "fraWorkflow"};
  box.SetSize(200, 80);  // resizing repaints
  EXPECT_EQ(box.paints, 1);
  const ui::test::DrawCall* ext = rec->Find("GetTextExtentPoint32A");
  ASSERT_NE(ext, nullptr);
  EXPECT_EQ(ext->ansi, "fraWorkflow");
  EXPECT_EQ(ext->hdc, box.hDC());

  ui::Size size;
  rec->GetTextExtentPoint32A(box.hDC(), "Workflow", 8, size);
  EXPECT_EQ(size, (ui::Size{48, 15}));
  const ui::Handle theme = rec->OpenThemeData(box.hWnd(), u"Button");
  EXPECT_NE(theme, 0);
  EXPECT_EQ(rec->OpenThemes(), 1);
  rec->FailOn("DrawThemeText");
  EXPECT_RT_ERROR(rec->DrawThemeText(theme, box.hDC(), 4, 1, u"&Workflow", 9, 0, 0, ui::Rect{}), 5);
  EXPECT_EQ(rec->Names().back(), "DrawThemeText");  // recorded before it failed
  EXPECT_EQ(rec->Calls().back().wide, u"&Workflow");
  rec->CloseThemeData(theme);
  EXPECT_EQ(rec->OpenThemes(), 0);
  rec->SetThemeDataAvailable(false);
  EXPECT_EQ(rec->OpenThemeData(box.hWnd(), u"Button"), 0);
}

TEST_F(UiDrawing, PropertyBagStoresOnlyValuesThatDifferFromTheirDefault) {
  ui::PropertyBag bag;
  bag.WriteProperty("Enabled", true, true);
  bag.WriteProperty("Caption", "fraTyp", "fraTyp");
  EXPECT_EQ(bag.Count(), 0);
  EXPECT_EQ(bag.ReadProperty("Enabled", true), rt::Variant(true));

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
  EXPECT_RT_ERROR(rt::CreateObject("COMCTL.ImageListCtrl"), rt::errc::CannotCreateObject);
  ui::InitCommonControls();
  ui::InitCommonControls();
  EXPECT_NE(std::dynamic_pointer_cast<ui::ImageList>(rt::CreateObject("comctl.imagelistctrl")), nullptr);
}

}  // namespace
}  // namespace uitest
