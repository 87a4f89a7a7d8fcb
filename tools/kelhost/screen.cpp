#include "kelhost/screen.h"

#include "kelhost/command.h"
#include "kelhost/layouts/dialog_layouts.h"
#include "kelhost/script_file.h"

namespace kelhost {

std::unique_ptr<ui::qt::FrontEnd> StartScreen(const std::string& command) {
  std::unique_ptr<ui::qt::FrontEnd> frontEnd = ui::qt::StartFrontEnd();
  if (!frontEnd) {
    PrintError(command +
               ": no display to show the dialog on (DISPLAY or WAYLAND_DISPLAY); give --script FILE to play "
               "it from a script; nothing was written");
    return nullptr;
  }
  RegisterDialogLayouts();
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
