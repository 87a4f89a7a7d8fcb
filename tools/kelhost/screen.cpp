#include "kelhost/screen.h"

#include <dlfcn.h>

#include <cstdlib>
#include <string>

#include "kelhost/command.h"
#include "kelhost/layouts/dialog_layouts.h"
#include "kelhost/script_file.h"
#include "platform/ui/service.h"

namespace kelhost {

namespace {

constexpr const char* kNothingDone = "; give --script FILE to play it from a script; nothing was written";

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

// The command whose front end is starting, for QtCannotStart.
std::string startingCommand;

// Qt failed while it started (it has said why, when it says anything): in
// itself, or it has no screen. As for a front end that cannot be loaded,
// the command ends with exit 2. No call has begun, so nothing was written.
// Ended at once: after a fatal message Qt would abort.
void QtCannotStart(ui::qt::QtFailure failure) {
  PrintError(startingCommand + ": " +
             (failure == ui::qt::QtFailure::NoScreen
                  ? "Qt has no screen to show the dialog on"
                  : "Qt cannot start the front end that shows the dialog on screen") +
             kNothingDone);
  std::_Exit(kExitUsage);
}

}  // namespace

std::unique_ptr<ui::qt::FrontEnd> StartScreen(const std::string& command) {
  std::string problem;
  const ui::qt::StartFrontEndEntry start = LoadFrontEnd(problem);
  if (start == nullptr) {
    PrintError(command + ": cannot load the front end that shows the dialog on screen (" + problem + ")" +
               kNothingDone);
    return nullptr;
  }
  const std::vector<ui::qt::NamedLayout> layouts = DialogLayouts();
  startingCommand = command;
  std::unique_ptr<ui::qt::FrontEnd> frontEnd(start(&layouts, &QtCannotStart));
  if (!frontEnd) {
    PrintError(command + ": no display to show the dialog on (DISPLAY or WAYLAND_DISPLAY)" + kNothingDone);
    return nullptr;
  }
  return frontEnd;
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
