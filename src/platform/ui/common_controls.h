// The common controls of the window system.
#pragma once

#include <string_view>

#include "platform/object.h"

namespace ui {

// The class name under which an image list is created.
inline constexpr std::string_view kImageListProgId = "COMCTL.ImageListCtrl";

// An image list. The add-on only creates one, to learn whether the common
// controls are present.
class ImageList : public rt::Object {};

// Prepares the common controls for use (dialogs call it when they are
// created): registers the image-list class under kImageListProgId in the
// class registry. Calling it again does no harm.
void InitCommonControls();

}  // namespace ui
