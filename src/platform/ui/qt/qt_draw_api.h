// The dialog layer's drawing calls (ui::DrawApi) on Qt: QPainter and the
// current QStyle. A control the add-on draws itself (a ui::UserControl)
// gets a DrawnWidget; while that widget paints, its device context draws
// through the widget's painter, so that the control's own drawing code
// (UserControl_Paint) is what appears on screen.
//
// The style is the theme: with the classic Windows style of Qt, no visual
// style is active and the classic edge and text calls draw; with any other
// style the theme calls draw the style's group box. Drawing on a device
// context outside its widget's paint event draws nothing and asks the
// widget to repaint instead, which runs the control's drawing code again.
#pragma once

#include <QWidget>

#include "platform/ui/draw_api.h"
#include "platform/ui/user_control.h"

class QPainter;

namespace ui::qt {

class QtDrawApi : public DrawApi {
 public:
  bool IsAppThemed() override;
  Handle OpenThemeData(Handle hwnd, std::u16string_view classList) override;
  int32_t DrawThemeBackground(Handle theme, Handle hdc, int32_t part, int32_t state, const Rect& rect,
                              const Rect* clip) override;
  int32_t DrawThemeText(Handle theme, Handle hdc, int32_t part, int32_t state, std::u16string_view text,
                        int32_t length, uint32_t flags, uint32_t flags2, const Rect& rect) override;
  int32_t CloseThemeData(Handle theme) override;
  bool GetTextExtentPoint32A(Handle hdc, std::string_view ansi, int32_t length, Size& size) override;
  bool DrawEdge(Handle hdc, const Rect& rect, uint32_t edge, uint32_t flags) override;
  bool DrawStateA(Handle hdc, Handle brush, Handle proc, std::string_view ansi, int32_t length, int32_t x,
                  int32_t y, int32_t cx, int32_t cy, uint32_t flags) override;
  bool SetRect(Rect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void FillBox(Handle hdc, const Rect& box, Color color) override;
  void Clear(Handle hdc) override;
};

// The widget of a control the add-on draws: paints by running the control's
// drawing code and tells the control its size. Controls placed in it stand
// below the caption line.
class DrawnWidget : public QWidget {
 public:
  DrawnWidget(UserControl& control, QWidget* parent);
  ~DrawnWidget() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  UserControl& control_;
};

}  // namespace ui::qt
