// A drawing implementation for tests: records every call with its
// arguments, measures text with a fixed metric (a width per character and
// one height), and can be told to fail a given call.
//
//   auto draw = std::make_shared<ui::test::RecordingDrawApi>(7, 13);
//   ui::SetDrawApi(draw);
//   ... paint ...
//   EXPECT_EQ(draw->Names(), (std::vector<std::string>{"Clear", "GetTextExtentPoint32A", ...}));
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/draw_api.h"

namespace ui::test {

// One recorded call. Only the fields the call has are set.
struct DrawCall {
  std::string name{};  // the call's name, e.g. "DrawEdge"
  Handle hwnd = 0;
  Handle hdc = 0;
  Handle theme = 0;
  int32_t part = 0;
  int32_t state = 0;
  Rect rect{};
  bool hasClip = false;
  std::u16string wide{};  // text of DrawThemeText, class list of OpenThemeData
  std::string ansi{};   // text of GetTextExtentPoint32A and DrawStateA
  int32_t length = 0;
  uint32_t flags = 0;   // text, edge or state flags
  uint32_t flags2 = 0;  // DrawThemeText's second flags
  uint32_t edge = 0;    // DrawEdge's edge kind
  int32_t x = 0, y = 0, cx = 0, cy = 0;
  Handle brush = 0, proc = 0;
  Color color = 0;
};

class RecordingDrawApi : public DrawApi {
 public:
  RecordingDrawApi(int32_t charWidth = 7, int32_t charHeight = 13) : charWidth_(charWidth), charHeight_(charHeight) {}

  // Whether IsAppThemed reports visual styles (default false) and whether
  // OpenThemeData then hands out theme data (default true).
  void SetThemed(bool themed) { themed_ = themed; }
  void SetThemeDataAvailable(bool available) { themeData_ = available; }
  // From now on the named call raises a run-time error (5) when made; it is
  // recorded first.
  void FailOn(std::string callName) { failOn_ = std::move(callName); }

  const std::vector<DrawCall>& Calls() const { return calls_; }
  std::vector<std::string> Names() const;
  // The first recorded call of that name, or null.
  const DrawCall* Find(std::string_view name) const;
  // Theme data opened and not yet closed.
  int OpenThemes() const { return openThemes_; }
  void Reset() { calls_.clear(); }

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

 private:
  void Record(DrawCall call);

  int32_t charWidth_;
  int32_t charHeight_;
  bool themed_ = false;
  bool themeData_ = true;
  std::optional<std::string> failOn_;
  std::vector<DrawCall> calls_;
  Handle nextTheme_ = 0x7000;
  int openThemes_ = 0;
};

}  // namespace ui::test
