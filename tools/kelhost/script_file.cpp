#include "kelhost/script_file.h"

#include "kelhost/input_files.h"

namespace kelhost {

std::vector<ui::test::ScriptAction> ReadScriptFile(const std::string& path) {
  const std::string text = ReadInputText(path);
  try {
    return ui::test::ParseScript(text);
  } catch (const ui::test::ScriptSyntaxError& e) {
    throw InputError(path, e.line(), e.reason());
  }
}

}  // namespace kelhost
