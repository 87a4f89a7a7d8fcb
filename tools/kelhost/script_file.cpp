#include "kelhost/script_file.h"

#include "kelhost/command.h"
#include "kelhost/input_files.h"

namespace kelhost {

std::optional<std::vector<ui::test::ScriptAction>> ReadScriptFile(const std::string& command,
                                                                  const std::string& path) {
  try {
    std::string text;
    for (const std::string& line : ReadTextLines(path)) text += line + "\n";
    try {
      return ui::test::ParseScript(text);
    } catch (const ui::test::ScriptSyntaxError& e) {
      throw InputError(path, e.line(), e.reason());
    }
  } catch (const InputError& e) {
    PrintError(command + ": " + e.what());
    return std::nullopt;
  }
}

}  // namespace kelhost
