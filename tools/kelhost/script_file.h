// The script file of the kelhost commands that play a dialog: the script
// language of the dialog layer (platform/ui/script.h) in a UTF-8 input file
// (the rules of input_files.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/script.h"

namespace kelhost {

// Reads and parses the script FILE of `command`, all of it before anything
// runs. A file that cannot be read or a line that is not an action is
// printed as "kelhost: <command>: <file>[, line N]: <problem>" and gives
// nullopt; the command then exits with kExitUsage.
std::optional<std::vector<ui::test::ScriptAction>> ReadScriptFile(const std::string& command,
                                                                  const std::string& path);

}  // namespace kelhost
