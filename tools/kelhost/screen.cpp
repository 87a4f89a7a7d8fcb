#include "kelhost/screen.h"

#include <dlfcn.h>

#include <cstdlib>
#include <string>

#include "kelhost/command.h"
#include "kelhost/host_call.h"
#include "kelhost/layouts/dialog_layouts.h"
#include "kelhost/script_file.h"
#include "platform/ui/service.h"

namespace kelhost {

namespace {

constexpr const char* kNothingDone = "; give --script FILE to play it from a script; nothing was written";

// KP_UI_QT_LIBRARY names the front end's library; a build without Qt
// defines no such name and has nothing to load (StartScreen below).
#ifdef KP_UI_QT_LIBRARY

// Where the front end's library lies: beside the project's libraries that
// kelhost links, in the folder the runtime (kelplatform) was loaded from
// by the binary's run path, so next to the binary or in the build tree and
// never in the working folder. A bare name would be searched for by the
// run path of the object that calls dlopen, which under the sanitizers is
// their runtime, not kelhost.
std::string FrontEndLibrary() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ui::CurrentService), &info) == 0 || info.dli_fname == nullptr)
    return KP_UI_QT_LIBRARY;
  const std::string runtime = info.dli_fname;
  return runtime.substr(0, runtime.rfind('/') + 1) + KP_UI_QT_LIBRARY;
}

// The front end's entry point, its library loaded now. kelhost does not
// link the front end: Qt would then load in every process, which costs a
// command that shows nothing more than the command itself. The library
// stays loaded: Qt is not made to be unloaded. Null, the loader's reason in
// `problem`, when the library or its entry point is missing.
ui::qt::StartFrontEndEntry LoadFrontEnd(std::string& problem) {
  void* library = dlopen(FrontEndLibrary().c_str(), RTLD_NOW | RTLD_LOCAL);
  void* entry = library != nullptr ? dlsym(library, ui::qt::kStartFrontEndEntry) : nullptr;
  if (entry == nullptr) {
    const char* reason = dlerror();
    problem = reason != nullptr ? reason : KP_UI_QT_LIBRARY;
    if (library != nullptr) dlclose(library);
    return nullptr;
  }
  return reinterpret_cast<ui::qt::StartFrontEndEntry>(entry);
}

// The command whose front end runs, for QtFailed.
std::string screenCommand;

// Qt failed (and has said why, when it says anything); kelhost ends the
// command at once with its own words, before Qt would abort after a fatal
// message. When Qt cannot start or has no screen, no call has begun:
// nothing was written, as for a front end that cannot be loaded. A fatal
// message later may come during the dialog's call: ending the process
// leaves nothing of the call, whose transaction was never committed. Only
// after a committed call does what it wrote stay; the message says so. The
// exit status is 2 throughout: the user was not able to play the dialog.
void QtFailed(ui::qt::QtFailure failure) {
  const std::string command = screenCommand + ": ";
  switch (failure) {
    case ui::qt::QtFailure::CannotStart:
      PrintError(command + "Qt cannot start the front end that shows the dialog on screen" + kNothingDone);
      break;
    case ui::qt::QtFailure::NoScreen:
      PrintError(command + "Qt has no screen to show the dialog on" + kNothingDone);
      break;
    case ui::qt::QtFailure::Fatal:
      switch (HostCallProgress()) {
        case CallProgress::NoneYet:
          PrintError(command + "Qt failed before the dialog's call; nothing was written");
          break;
        case CallProgress::Running:
          PrintError(command + "Qt failed during the dialog's call; the call was not committed, nothing of it was "
                               "written");
          break;
        case CallProgress::Committed:
          PrintError(command + "Qt failed after the dialog's call; what the call wrote stays written");
          break;
      }
      break;
  }
  std::_Exit(kExitUsage);
}

#endif  // KP_UI_QT_LIBRARY

}  // namespace

std::unique_ptr<ui::qt::FrontEnd> StartScreen(const std::string& command) {
#ifndef KP_UI_QT_LIBRARY
  PrintError(command + ": this build has no front end to show the dialog on screen (it was built without Qt)" +
             kNothingDone);
  return nullptr;
#else
  std::string problem;
  const ui::qt::StartFrontEndEntry start = LoadFrontEnd(problem);
  if (start == nullptr) {
    PrintError(command + ": cannot load the front end that shows the dialog on screen (" + problem + ")" +
               kNothingDone);
    return nullptr;
  }
  const std::vector<ui::qt::NamedLayout> layouts = DialogLayouts();
  screenCommand = command;
  std::unique_ptr<ui::qt::FrontEnd> frontEnd(start(&layouts, &QtFailed));
  if (!frontEnd) {
    PrintError(command + ": no display to show the dialog on (DISPLAY or WAYLAND_DISPLAY)" + kNothingDone);
    return nullptr;
  }
  return frontEnd;
#endif
}

bool ChooseDialogPlayer(const std::string& command, const Arguments& a, DialogPlayer& player) {
  if (!a.Has("--script")) {
    player.screen = StartScreen(command);
    return player.screen != nullptr;
  }
  player.scriptFile = a.Value("--script");
  player.script = ReadScriptFile(command, player.scriptFile);
  return player.script.has_value();
}

}  // namespace kelhost
