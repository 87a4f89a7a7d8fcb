#include "platform/ui/common_controls.h"

#include <memory>

namespace ui {

void InitCommonControls() {
  rt::RegisterClass(kImageListProgId, [] { return std::make_shared<ImageList>(); });
}

}  // namespace ui
