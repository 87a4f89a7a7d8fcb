#include "core/mod_global_defs.h"

#include "version.h"

namespace modGlobalDefs {

std::string GetVersionString() {
  return "Version " + std::to_string(kp::kVersionMajor) + "." + std::to_string(kp::kVersionMinor) +
         ".0." + std::to_string(kp::kVersionRevision);
}

}  // namespace modGlobalDefs
