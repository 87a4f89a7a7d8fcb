// The Qt Widgets front end of the dialog layer: the user-interface service
// that shows forms and message boxes on screen, and how a program starts
// it.
//
//   auto frontEnd = ui::qt::StartFrontEnd();
//   if (!frontEnd) { ...no display: say so and stop... }
//   ... calls that show dialogs ...
//   // frontEnd going out of scope puts back what was installed before
//
// Forms show in their FormWindow, laid out by their registered layout
// (layout.h). Message boxes show the prompt as plain text, the title (or
// ui::kDefaultTitle when the box has none), the icon of the style and its
// buttons (OK, or Yes and No with the default the style names); closing a
// question answers No. DoEvents lets pending events run once.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "platform/ui/service.h"

class QApplication;

namespace ui::qt {

class QtService : public Service {
 public:
  MsgResult MessageBox(std::string_view prompt, int style, std::optional<std::string_view> title) override;
  void ShowModal(Form& form) override;
  void DoEvents() override;
};

// While it lives, the Qt service and the Qt drawing interface are the
// process's; destroying it puts back the service installed before, the
// default drawing interface, and ends the QApplication it started.
class FrontEnd {
 public:
  FrontEnd();
  ~FrontEnd();
  FrontEnd(const FrontEnd&) = delete;
  FrontEnd& operator=(const FrontEnd&) = delete;

 private:
  std::unique_ptr<QApplication> app_;  // null when one ran already
  std::shared_ptr<Service> previousService_;
};

// Whether windows can be shown: a Qt application runs already, Qt is told
// to draw without a display server (QT_QPA_PLATFORM such as "offscreen"),
// or the X display (DISPLAY) or Wayland display (WAYLAND_DISPLAY, with
// QT_QPA_PLATFORM=wayland) accepts a connection.
bool DisplayAvailable();

// Starts the front end, creating the QApplication unless one runs; null,
// with nothing changed, when no display is available.
std::unique_ptr<FrontEnd> StartFrontEnd();

}  // namespace ui::qt
