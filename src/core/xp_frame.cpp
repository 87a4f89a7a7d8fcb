#include "core/xp_frame.h"

#include "platform/text.h"
#include "platform/ui/common_controls.h"
#include "platform/variant.h"

namespace {

// Theme data opened for one drawing; closed by Close, or on the way out when
// a drawing call failed before that. Closing on the way out never raises.
class ThemeData {
 public:
  ThemeData(ui::DrawApi& api, ui::Handle hwnd) : api_(api), theme_(api.OpenThemeData(hwnd, u"Button")) {}
  ~ThemeData() {
    if (theme_ == 0) return;
    try {
      api_.CloseThemeData(theme_);
    } catch (...) {
      // Nothing to report: the drawing that failed already ended silently.
    }
  }
  ThemeData(const ThemeData&) = delete;
  ThemeData& operator=(const ThemeData&) = delete;

  ui::Handle get() const { return theme_; }

  // Closes the theme data now; an error goes to the caller, and the data
  // counts as closed either way.
  void Close() {
    ui::Handle theme = theme_;
    theme_ = 0;
    api_.CloseThemeData(theme);
  }

 private:
  ui::DrawApi& api_;
  ui::Handle theme_;
};

}  // namespace

XPFrame::XPFrame(ui::Container& parent, std::string name) : UserControl(parent, std::move(name)) {
  UserControl_Initialize();
  UserControl_InitProperties();
}

XPFrame::~XPFrame() { UserControl_Terminate(); }

void XPFrame::SetEnabled(bool enabled) {
  enabled_ = enabled;
  PropertyChanged("Enabled");
  UserControl::SetEnabled(enabled);
  DrawFrame();
}

void XPFrame::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  PropertyChanged("Caption");
  DrawFrame();
}

bool XPFrame::Themed() const {
  try {
    // Both are asked, as the window system is asked even without a probe.
    const bool appThemed = ui::CurrentDrawApi().IsAppThemed();
    return appThemed && themeProbe_ != nullptr;
  } catch (...) {
    return false;
  }
}

void XPFrame::UserControl_Initialize() {
  try {
    themeProbe_ = rt::CreateObject(ui::kImageListProgId);
  } catch (...) {
    // Without the common controls the frame is drawn classic.
    themeProbe_.reset();
  }
}

void XPFrame::UserControl_Terminate() { themeProbe_.reset(); }

void XPFrame::UserControl_InitProperties() {
  enabled_ = true;
  caption_ = DisplayName();
}

void XPFrame::UserControl_ReadProperties(const ui::PropertyBag& bag) {
  enabled_ = rt::CBool(bag.ReadProperty("Enabled", true));
  caption_ = rt::CStr(bag.ReadProperty("Caption", DisplayName()));
}

void XPFrame::UserControl_WriteProperties(ui::PropertyBag& bag) const {
  bag.WriteProperty("Enabled", enabled_, true);
  bag.WriteProperty("Caption", caption_, DisplayName());
}

void XPFrame::UserControl_Paint() { DrawFrame(); }

void XPFrame::DrawFrame() {
  ui::DrawApi& api = ui::CurrentDrawApi();
  try {
    api.Clear(hDC());

    const bool themed = Themed();
    captionInset_ = themed ? 9 : 4;
    captionMargin_ = themed ? 2 : 1;

    // Measured without the "&" that only underlines; an empty caption is
    // measured as a blank so that the frame line still starts half a line
    // down.
    const std::string measured = caption_.empty() ? std::string(" ") : rt::Replace(caption_, "&", "");
    const std::string measuredAnsi = rt::ToAnsi(measured);
    ui::Size text{};
    api.GetTextExtentPoint32A(hDC(), measuredAnsi, static_cast<int32_t>(measuredAnsi.size()), text);

    ui::Rect frame;
    api.SetRect(frame, 0, rt::CInt(text.cy / 2.0), ScaleWidth(), ScaleHeight());
    ui::Rect captionBox;
    api.SetRect(captionBox, rt::CInt(captionInset_), 0, rt::CLng(captionInset_ + static_cast<double>(text.cx)),
                text.cy);

    if (!themed || !DrawThemed(frame, captionBox, text)) DrawClassic(frame, text);
  } catch (...) {
    // A failed drawing call ends the drawing; what is on screen stays.
  }
}

bool XPFrame::DrawThemed(const ui::Rect& frame, const ui::Rect& captionBox, const ui::Size& text) {
  ui::DrawApi& api = ui::CurrentDrawApi();
  ThemeData theme(api, hWnd());
  // Visual styles may be on but have nothing for buttons: without theme
  // data the theme calls would draw neither line nor caption.
  if (theme.get() == 0) return false;
  api.DrawThemeBackground(theme.get(), hDC(), ui::draw::BP_GROUPBOX, 0, frame, nullptr);
  if (!caption_.empty()) EraseCaptionBack(text);
  const std::u16string wide = rt::ToWide(caption_);
  const int32_t state = enabled_ ? ui::draw::GBS_NORMAL : ui::draw::GBS_DISABLED;
  api.DrawThemeText(theme.get(), hDC(), ui::draw::BP_GROUPBOX, state, wide, static_cast<int32_t>(wide.size()), 0, 0,
                    captionBox);
  theme.Close();
  return true;
}

void XPFrame::DrawClassic(const ui::Rect& frame, const ui::Size& text) {
  ui::DrawApi& api = ui::CurrentDrawApi();
  api.DrawEdge(hDC(), frame, ui::draw::EDGE_ETCHED, ui::draw::BF_RECT);
  if (!caption_.empty()) EraseCaptionBack(text);
  const std::string ansi = rt::ToAnsi(caption_);
  api.DrawStateA(hDC(), 0, 0, ansi, static_cast<int32_t>(ansi.size()), rt::CInt(captionInset_), 0, text.cx,
                 text.cy, ui::draw::DST_PREFIXTEXT | (enabled_ ? 0u : ui::draw::DSS_DISABLED));
}

void XPFrame::EraseCaptionBack(const ui::Size& text) {
  const ui::Rect box{rt::CLng(captionInset_ - captionMargin_), 0,
                     rt::CLng(static_cast<double>(captionInset_) + text.cx + captionMargin_), text.cy};
  ui::CurrentDrawApi().FillBox(hDC(), box, BackColor());
}
