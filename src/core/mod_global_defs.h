// Definitions shared by the whole add-on.
#pragma once

#include <string>

namespace modGlobalDefs {

// "Version <major>.<minor>.0.<revision>", the numbers of this build in plain
// decimal digits, e.g. "Version 2.0.0.0". Built anew on every call.
std::string GetVersionString();

}  // namespace modGlobalDefs
