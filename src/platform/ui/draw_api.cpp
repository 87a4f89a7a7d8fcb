#include "platform/ui/draw_api.h"

namespace ui {

namespace {

// Draws nothing; no theme is ever active and text has no extent.
class NoDrawing : public DrawApi {
 public:
  bool IsAppThemed() override { return false; }
  Handle OpenThemeData(Handle, std::u16string_view) override { return 0; }
  int32_t DrawThemeBackground(Handle, Handle, int32_t, int32_t, const Rect&, const Rect*) override {
    return draw::S_OK;
  }
  int32_t DrawThemeText(Handle, Handle, int32_t, int32_t, std::u16string_view, int32_t, uint32_t, uint32_t,
                        const Rect&) override {
    return draw::S_OK;
  }
  int32_t CloseThemeData(Handle) override { return draw::S_OK; }
  bool GetTextExtentPoint32A(Handle, std::string_view, int32_t, Size& size) override {
    size = Size{};
    return true;
  }
  bool DrawEdge(Handle, const Rect&, uint32_t, uint32_t) override { return true; }
  bool DrawStateA(Handle, Handle, Handle, std::string_view, int32_t, int32_t, int32_t, int32_t, int32_t,
                  uint32_t) override {
    return true;
  }
  bool SetRect(Rect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom) override {
    rect = Rect{left, top, right, bottom};
    return true;
  }
  void FillBox(Handle, const Rect&, Color) override {}
  void Clear(Handle) override {}
};

std::shared_ptr<DrawApi>& Installed() {
  static std::shared_ptr<DrawApi> installed;
  return installed;
}

}  // namespace

void SetDrawApi(std::shared_ptr<DrawApi> api) { Installed() = std::move(api); }

DrawApi& CurrentDrawApi() {
  static NoDrawing none;
  if (Installed()) return *Installed();
  return none;
}

}  // namespace ui
