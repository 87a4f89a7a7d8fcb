// The Qt Widgets front end of the dialog layer: the user-interface service
// that shows forms and message boxes on screen, and how a program starts
// it.
//
//   auto frontEnd = ui::qt::StartFrontEnd();
//   if (!frontEnd) { ...no display: say so and stop... }
//   ... calls that show dialogs ...
//   // frontEnd going out of scope puts back what was installed before
//
// A program that must not load Qt before it shows something loads this
// library with dlopen and starts the front end through its one C entry
// point, kelui_qt_StartFrontEnd (below); everything else here is for
// programs that link it.
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
#include <vector>

#include "platform/ui/qt/layout.h"
#include "platform/ui/service.h"

namespace ui::qt {

class QtService : public Service {
 public:
  MsgResult MessageBox(std::string_view prompt, int style, std::optional<std::string_view> title) override;
  void ShowModal(Form& form) override;
  void DoEvents() override;
};

// While it lives, the Qt service and the Qt drawing interface are the
// process's; destroying it puts back the service installed before, the
// default drawing interface, and ends the QApplication it started. Its
// whole interface is its virtual destructor, so that a program that loads
// this library at run time (kelui_qt_StartFrontEnd) can end it.
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
};

// Whether windows can be shown: a Qt application runs already, Qt is told
// to draw without a display server (QT_QPA_PLATFORM such as "offscreen"),
// or the X display (DISPLAY) or Wayland display (WAYLAND_DISPLAY, with
// QT_QPA_PLATFORM=wayland) accepts a connection.
bool DisplayAvailable();

// How Qt failed, for the program's own words.
enum class QtFailure {
  CannotStart,  // Qt failed in itself while it started (no usable platform plugin, say)
  NoScreen,     // Qt started but has no screen to show windows on (linuxfb without a usable framebuffer, say)
  Fatal,        // a fatal message from Qt after the start (while a dialog is open, say)
};

// Called when Qt fails, after Qt has said why on standard error (when it
// says anything). After CannotStart and Fatal, Qt ends the process with an
// abort once this returns, so it should end the process itself, as a
// program ends that cannot go on with its user interface. NoScreen comes
// once the QApplication has ended again (which puts back what its platform
// changed, such as the keyboard of a console); when the handler returns,
// StartFrontEnd returns null.
using FailureHandler = void (*)(QtFailure);

// Starts the front end, creating the QApplication unless one runs; null,
// with nothing changed, when no display is available or Qt finds no
// screen. For as long as the front end lives, `failed` (when given) is
// called when Qt fails; Qt's messages go on to the handler installed
// before.
std::unique_ptr<FrontEnd> StartFrontEnd(FailureHandler failed = nullptr);

// The name of the entry point below, for dlsym.
inline constexpr const char* kStartFrontEndEntry = "kelui_qt_StartFrontEnd";

}  // namespace ui::qt

// The entry point of a program that loads this library with dlopen rather
// than linking it, so that a process that shows nothing on screen never
// loads Qt: registers `layouts` (RegisterLayouts), then StartFrontEnd with
// `failed`. The caller owns the front end returned and deletes it (null
// when StartFrontEnd gives null); the library stays loaded for the rest of
// the process.
extern "C" ui::qt::FrontEnd* kelui_qt_StartFrontEnd(const std::vector<ui::qt::NamedLayout>* layouts,
                                                    ui::qt::FailureHandler failed);

namespace ui::qt {
// The entry point's type, for the pointer dlsym gives.
using StartFrontEndEntry = decltype(&kelui_qt_StartFrontEnd);
}  // namespace ui::qt
