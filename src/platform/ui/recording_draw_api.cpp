#include "platform/ui/recording_draw_api.h"

#include "platform/error.h"

namespace ui::test {

void RecordingDrawApi::Record(DrawCall call) {
  calls_.push_back(std::move(call));
  if (failOn_ && *failOn_ == calls_.back().name) {
    rt::Raise(rt::errc::InvalidCall, "RecordingDrawApi", calls_.back().name + " failed");
  }
}

std::vector<std::string> RecordingDrawApi::Names() const {
  std::vector<std::string> names;
  for (const DrawCall& c : calls_) names.push_back(c.name);
  return names;
}

const DrawCall* RecordingDrawApi::Find(std::string_view name) const {
  for (const DrawCall& c : calls_) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

bool RecordingDrawApi::IsAppThemed() {
  Record(DrawCall{.name = "IsAppThemed"});
  return themed_;
}

Handle RecordingDrawApi::OpenThemeData(Handle hwnd, std::u16string_view classList) {
  Record(DrawCall{.name = "OpenThemeData", .hwnd = hwnd, .wide = std::u16string(classList)});
  if (!themeData_) return 0;
  ++openThemes_;
  return ++nextTheme_;
}

int32_t RecordingDrawApi::DrawThemeBackground(Handle theme, Handle hdc, int32_t part, int32_t state,
                                              const Rect& rect, const Rect* clip) {
  Record(DrawCall{.name = "DrawThemeBackground",
                  .hdc = hdc,
                  .theme = theme,
                  .part = part,
                  .state = state,
                  .rect = rect,
                  .hasClip = clip != nullptr});
  return draw::S_OK;
}

int32_t RecordingDrawApi::DrawThemeText(Handle theme, Handle hdc, int32_t part, int32_t state,
                                        std::u16string_view text, int32_t length, uint32_t flags,
                                        uint32_t flags2, const Rect& rect) {
  Record(DrawCall{.name = "DrawThemeText",
                  .hdc = hdc,
                  .theme = theme,
                  .part = part,
                  .state = state,
                  .rect = rect,
                  .wide = std::u16string(text),
                  .length = length,
                  .flags = flags,
                  .flags2 = flags2});
  return draw::S_OK;
}

int32_t RecordingDrawApi::CloseThemeData(Handle theme) {
  if (theme != 0) --openThemes_;
  Record(DrawCall{.name = "CloseThemeData", .theme = theme});
  return draw::S_OK;
}

bool RecordingDrawApi::GetTextExtentPoint32A(Handle hdc, std::string_view ansi, int32_t length, Size& size) {
  Record(DrawCall{.name = "GetTextExtentPoint32A", .hdc = hdc, .ansi = std::string(ansi), .length = length});
  size = Size{length * charWidth_, charHeight_};
  return true;
}

bool RecordingDrawApi::DrawEdge(Handle hdc, const Rect& rect, uint32_t edge, uint32_t flags) {
  Record(DrawCall{.name = "DrawEdge", .hdc = hdc, .rect = rect, .flags = flags, .edge = edge});
  return true;
}

bool RecordingDrawApi::DrawStateA(Handle hdc, Handle brush, Handle proc, std::string_view ansi, int32_t length,
                                  int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t flags) {
  Record(DrawCall{.name = "DrawStateA",
                  .hdc = hdc,
                  .ansi = std::string(ansi),
                  .length = length,
                  .flags = flags,
                  .x = x,
                  .y = y,
                  .cx = cx,
                  .cy = cy,
                  .brush = brush,
                  .proc = proc});
  return true;
}

bool RecordingDrawApi::SetRect(Rect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  rect = Rect{left, top, right, bottom};
  Record(DrawCall{.name = "SetRect", .rect = rect});
  return true;
}

void RecordingDrawApi::FillBox(Handle hdc, const Rect& box, Color color) {
  Record(DrawCall{.name = "FillBox", .hdc = hdc, .rect = box, .color = color});
}

void RecordingDrawApi::Clear(Handle hdc) { Record(DrawCall{.name = "Clear", .hdc = hdc}); }

}  // namespace ui::test
