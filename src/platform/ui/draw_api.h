// The drawing calls of owner-drawn controls: the theme functions, text
// measuring and the classic edge and state drawing, as the window system
// offers them, plus filling a box and clearing a control's drawing area.
//
// One implementation is current per process. The default draws nothing
// and reports that no theme is active; a real back end, or a test's
// recording implementation, can be installed instead. Handles (windows,
// device contexts, themes) are opaque numbers; 0 is "none".
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/ui/control.h"

namespace ui {

using Handle = intptr_t;

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// Parts, states and flags of the calls.
namespace draw {
inline constexpr int32_t BP_GROUPBOX = 4;     // theme part: group box
inline constexpr int32_t GBS_NORMAL = 1;      // group box states
inline constexpr int32_t GBS_DISABLED = 2;
inline constexpr uint32_t EDGE_ETCHED = 6;    // DrawEdge edge
inline constexpr uint32_t BF_RECT = 15;       // DrawEdge: all four sides
inline constexpr uint32_t DST_PREFIXTEXT = 2; // DrawState: "&" underlines the next letter
inline constexpr uint32_t DSS_DISABLED = 32;  // DrawState: greyed
inline constexpr int32_t S_OK = 0;
}  // namespace draw

class DrawApi {
 public:
  virtual ~DrawApi() = default;

  // Non-zero when visual styles are active for the application.
  virtual bool IsAppThemed() = 0;
  // Theme data for a window class list ("Button"), or 0 when none.
  virtual Handle OpenThemeData(Handle hwnd, std::u16string_view classList) = 0;
  // Returns an HRESULT (draw::S_OK on success). `clip` may be null.
  virtual int32_t DrawThemeBackground(Handle theme, Handle hdc, int32_t part, int32_t state,
                                      const Rect& rect, const Rect* clip) = 0;
  virtual int32_t DrawThemeText(Handle theme, Handle hdc, int32_t part, int32_t state,
                                std::u16string_view text, int32_t length, uint32_t flags,
                                uint32_t flags2, const Rect& rect) = 0;
  virtual int32_t CloseThemeData(Handle theme) = 0;

  // Size of the first `length` bytes of a single-byte (ANSI) text in the
  // device context's font.
  virtual bool GetTextExtentPoint32A(Handle hdc, std::string_view ansi, int32_t length, Size& size) = 0;
  virtual bool DrawEdge(Handle hdc, const Rect& rect, uint32_t edge, uint32_t flags) = 0;
  // Draws ANSI text at (x, y) in a cx by cy box; `brush` and `proc` are 0
  // for "none".
  virtual bool DrawStateA(Handle hdc, Handle brush, Handle proc, std::string_view ansi, int32_t length,
                          int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t flags) = 0;
  virtual bool SetRect(Rect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;

  // Fills the box from (box.left, box.top) to (box.right, box.bottom) with
  // a colour (the control's background colour).
  virtual void FillBox(Handle hdc, const Rect& box, Color color) = 0;
  // Clears the control's drawing area to its background.
  virtual void Clear(Handle hdc) = 0;
};

// Installs the process-wide implementation (null: the default that draws
// nothing and is never themed).
void SetDrawApi(std::shared_ptr<DrawApi> api);
DrawApi& CurrentDrawApi();

}  // namespace ui
