#include "platform/ui/qt/qt_draw_api.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <qdrawutil.h>

#include <algorithm>
#include <map>
#include <utility>

#include "platform/text.h"
#include "platform/ui/qt/conversions.h"

namespace ui::qt {

namespace {

// A device context: the widget it belongs to and, while that widget
// paints, its painter.
struct Surface {
  DrawnWidget* widget = nullptr;
  UserControl* control = nullptr;
  QPainter* painter = nullptr;
};

std::map<Handle, Surface>& Surfaces() {
  static std::map<Handle, Surface> surfaces;
  return surfaces;
}

Surface* Find(Handle hdc) {
  auto it = Surfaces().find(hdc);
  return it == Surfaces().end() ? nullptr : &it->second;
}

// The surface's painter, or null when its widget is not painting now.
QPainter* PainterOf(Handle hdc) {
  Surface* s = Find(hdc);
  return s != nullptr ? s->painter : nullptr;
}

// The window system's rectangles end before right and bottom.
QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

// Theme data handed out for the "Button" class; one is enough, since the
// style draws every group box alike.
constexpr Handle kButtonTheme = 0x7E01;

// How far below the top of its box a style draws a group box's frame (a
// style leaves room there for the title a group box of its own has): drawn
// once into a blank picture and looked at, for each style and font height.
int FrameDrop(const QWidget& w) {
  static std::map<std::pair<QString, int>, int> drops;
  const std::pair<QString, int> key{w.style()->name(), w.fontMetrics().height()};
  auto it = drops.find(key);
  if (it != drops.end()) return it->second;
  QImage probe(64, 160, QImage::Format_ARGB32_Premultiplied);
  probe.fill(Qt::transparent);
  {
    QPainter p(&probe);
    QStyleOptionFrame opt;
    opt.initFrom(&w);
    opt.rect = probe.rect();
    opt.lineWidth = 1;
    w.style()->drawPrimitive(QStyle::PE_FrameGroupBox, &opt, &p, nullptr);
  }
  int drop = 0;
  for (int y = 0; y < probe.height() / 2; ++y) {
    bool ink = false;
    for (int x = 0; x < probe.width() && !ink; ++x) ink = qAlpha(probe.pixel(x, y)) != 0;
    if (ink) break;
    ++drop;
  }
  if (drop == probe.height() / 2) drop = 0;  // drew nothing: nothing to undo
  return drops[key] = drop;
}

// Draws text as the window system's prefix text does: "&" underlines the
// next letter; greyed when disabled.
void DrawCaption(QPainter& p, const QWidget& w, const QRect& box, const QString& text, bool enabled) {
  QPalette palette = w.palette();
  if (!enabled) palette.setCurrentColorGroup(QPalette::Disabled);
  w.style()->drawItemText(&p, box, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextSingleLine,
                          palette, enabled, text, QPalette::WindowText);
}

}  // namespace

bool QtDrawApi::IsAppThemed() {
  // Qt's own imitation of the classic window system has no visual style.
  return QApplication::style()->name().compare(QStringLiteral("windows"), Qt::CaseInsensitive) != 0;
}

Handle QtDrawApi::OpenThemeData(Handle, std::u16string_view classList) {
  return IsAppThemed() && classList == u"Button" ? kButtonTheme : 0;
}

int32_t QtDrawApi::DrawThemeBackground(Handle theme, Handle hdc, int32_t part, int32_t state, const Rect& rect,
                                       const Rect* clip) {
  QPainter* p = PainterOf(hdc);
  if (p == nullptr || theme != kButtonTheme || part != draw::BP_GROUPBOX) return draw::S_OK;
  QWidget* w = Find(hdc)->widget;
  p->save();
  if (clip != nullptr) p->setClipRect(ToQRect(*clip));
  QStyleOptionFrame opt;
  opt.initFrom(w);
  // The frame's line stands where the control asks for it.
  opt.rect = ToQRect(rect).adjusted(0, -FrameDrop(*w), 0, 0);
  opt.lineWidth = 1;
  opt.midLineWidth = 0;
  if (state == draw::GBS_DISABLED) opt.state &= ~QStyle::State_Enabled;
  w->style()->drawPrimitive(QStyle::PE_FrameGroupBox, &opt, p, nullptr);
  p->restore();
  return draw::S_OK;
}

int32_t QtDrawApi::DrawThemeText(Handle theme, Handle hdc, int32_t, int32_t state, std::u16string_view text,
                                 int32_t length, uint32_t, uint32_t, const Rect& rect) {
  QPainter* p = PainterOf(hdc);
  if (p == nullptr || theme != kButtonTheme) return draw::S_OK;
  const auto n = std::clamp<qsizetype>(length, 0, static_cast<qsizetype>(text.size()));
  DrawCaption(*p, *Find(hdc)->widget, ToQRect(rect), QString::fromUtf16(text.data(), n),
              state != draw::GBS_DISABLED);
  return draw::S_OK;
}

int32_t QtDrawApi::CloseThemeData(Handle) { return draw::S_OK; }

bool QtDrawApi::GetTextExtentPoint32A(Handle hdc, std::string_view ansi, int32_t length, Size& size) {
  Surface* s = Find(hdc);
  if (s == nullptr) {
    size = Size{};
    return false;
  }
  const auto n = std::clamp<size_t>(static_cast<size_t>(std::max(length, 0)), 0, ansi.size());
  const QFontMetrics metrics(s->widget->font());
  size.cx = metrics.horizontalAdvance(ToQ(rt::FromAnsi(ansi.substr(0, n))));
  size.cy = metrics.height();
  return true;
}

bool QtDrawApi::DrawEdge(Handle hdc, const Rect& rect, uint32_t, uint32_t) {
  QPainter* p = PainterOf(hdc);
  if (p == nullptr) return true;
  // An etched line: sunken outside, raised inside.
  qDrawShadeRect(p, ToQRect(rect), Find(hdc)->widget->palette(), true, 1, 0);
  return true;
}

bool QtDrawApi::DrawStateA(Handle hdc, Handle, Handle, std::string_view ansi, int32_t length, int32_t x, int32_t y,
                           int32_t cx, int32_t cy, uint32_t flags) {
  QPainter* p = PainterOf(hdc);
  if (p == nullptr) return true;
  const auto n = std::clamp<size_t>(static_cast<size_t>(std::max(length, 0)), 0, ansi.size());
  QString text = ToQ(rt::FromAnsi(ansi.substr(0, n)));
  if ((flags & draw::DST_PREFIXTEXT) == 0) text.replace(QChar('&'), QStringLiteral("&&"));
  // Measured boxes are exact; a little room keeps the last letter whole.
  DrawCaption(*p, *Find(hdc)->widget, QRect(x, y, cx + 2, cy), text, (flags & draw::DSS_DISABLED) == 0);
  return true;
}

bool QtDrawApi::SetRect(Rect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  rect = Rect{left, top, right, bottom};
  return true;
}

void QtDrawApi::FillBox(Handle hdc, const Rect& box, Color color) {
  QPainter* p = PainterOf(hdc);
  if (p == nullptr) return;
  const QWidget* w = Find(hdc)->widget;
  p->fillRect(ToQRect(box), ToQColor(color, w->palette()).value_or(w->palette().color(w->backgroundRole())));
}

void QtDrawApi::Clear(Handle hdc) {
  Surface* s = Find(hdc);
  if (s == nullptr) return;
  if (s->painter == nullptr) {
    // Drawing outside a paint: the widget paints anew, running the
    // control's drawing code with a painter.
    s->widget->update();
    return;
  }
  const QPalette& palette = s->widget->palette();
  s->painter->fillRect(s->widget->rect(),
                       ToQColor(s->control->BackColor(), palette).value_or(palette.color(QPalette::Window)));
}

DrawnWidget::DrawnWidget(UserControl& control, QWidget* parent) : QWidget(parent), control_(control) {
  Surfaces()[control.hDC()] = Surface{this, &control, nullptr};
}

DrawnWidget::~DrawnWidget() { Surfaces().erase(control_.hDC()); }

void DrawnWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Surface& s = Surfaces()[control_.hDC()];
  s.painter = &painter;
  struct EndPaint {
    Surface& s;
    ~EndPaint() { s.painter = nullptr; }
  } end{s};
  try {
    control_.Refresh();
  } catch (...) {
    // A failed drawing leaves what it drew; nothing may pass through Qt.
  }
}

void DrawnWidget::resizeEvent(QResizeEvent*) { control_.SetSize(width(), height()); }

}  // namespace ui::qt
