#include "kelhost/script_file.h"

#include "kelhost/input_files.h"

namespace kelhost {

std::vector<ui::test::ScriptAction> ReadScriptFile(const std::string& path) {
  std::string text;
  for (const std::string& line : ReadTextLines(path)) text += line + "\n";
  try {
    return ui::test::ParseScript(text);
  } catch (const ui::test::ScriptSyntaxError& e) {
    throw InputError(path, e.line(), e.reason());
  }
}

}  // namespace kelhost
