// The dialogs on screen. A command that shows the add-on's dialogs and is
// given no script lets a person play the user: the dialogs show through
// the Qt front end (platform/ui/qt/front_end.h), laid out as layouts/
// declares, and message boxes show as boxes. Everything else (one host
// call, what is printed afterwards) is as for a script.
//
//   std::unique_ptr<ui::qt::FrontEnd> screen = StartScreen("edit-type");
//   if (!screen) return kExitUsage;  // no display: said so, nothing done
//   ... RunHostCall(...) ...
#pragma once

#include <memory>
#include <string>

#include "platform/ui/qt/front_end.h"

namespace kelhost {

// Starts the front end with the layouts of the add-on's dialogs. Without a
// display it prints "kelhost: <command>: no display to show the dialog on
// ..." to standard error and returns null.
std::unique_ptr<ui::qt::FrontEnd> StartScreen(const std::string& command);

}  // namespace kelhost
