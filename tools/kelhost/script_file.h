// The script file of the kelhost commands that play a dialog: the script
// language of the dialog layer (platform/ui/script.h) in a UTF-8 input file
// (the rules of input_files.h).
#pragma once

#include <string>
#include <vector>

#include "platform/ui/script.h"

namespace kelhost {

// Reads and parses the script; a file that cannot be read or a line that
// is not an action raises InputError (with the line).
std::vector<ui::test::ScriptAction> ReadScriptFile(const std::string& path);

}  // namespace kelhost
