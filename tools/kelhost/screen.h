// The dialogs on screen. A command that shows the add-on's dialogs and is
// given no script lets a person play the user: the dialogs show through
// the Qt front end (platform/ui/qt/front_end.h), laid out as layouts/
// declares, and message boxes show as boxes. Everything else (one host
// call, what is printed afterwards) is as for a script. This is the one
// place where kelhost loads the front end, and with it Qt.
//
//   std::unique_ptr<ui::qt::FrontEnd> screen = StartScreen("edit-type");
//   if (!screen) return kExitUsage;  // no display: said so, nothing done
//   ... RunHostCall(...) ...
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kelhost/arguments.h"
#include "platform/ui/qt/front_end.h"
#include "platform/ui/script.h"

namespace kelhost {

// Loads the front end's library and starts the front end with the layouts
// of the add-on's dialogs. Without a display it prints "kelhost:
// <command>: no display to show the dialog on ..." to standard error and
// returns null; a front end that cannot be loaded (its library or entry
// point missing, Qt missing) the same way, with the loader's reason; a
// kelhost built without Qt says "...: this build has no front end to show
// the dialog on screen (it was built without Qt) ..." instead. When
// Qt itself fails to start (no usable platform plugin) or has no screen,
// Qt's words stand on standard error, then "kelhost: <command>: Qt cannot
// start ..." or "... Qt has no screen ...", and the process ends at once
// with kExitUsage, before the database is opened. A fatal message from Qt
// later, while the front end lives, ends the process at once too, with
// kelhost's words on what of the dialog's call stays (HostCallProgress),
// and kExitUsage whether or not the call had committed: the user could not
// play the dialog.
std::unique_ptr<ui::qt::FrontEnd> StartScreen(const std::string& command);

// Who plays the user of a command's dialogs: a person on screen when the
// command is given no --script, else the script FILE, read and checked
// whole before anything runs (script_file.h).
struct DialogPlayer {
  std::unique_ptr<ui::qt::FrontEnd> screen;                   // set on screen
  std::optional<std::vector<ui::test::ScriptAction>> script;  // set for a script
  std::string scriptFile;                                     // "" on screen

  bool OnScreen() const { return screen != nullptr; }
};

// Sets `player` up from the command's arguments. False, the problem said
// on standard error, when the dialogs cannot be shown on screen (no
// display, no front end) or the script cannot be used; the command then
// exits with kExitUsage.
bool ChooseDialogPlayer(const std::string& command, const Arguments& a, DialogPlayer& player);

}  // namespace kelhost
