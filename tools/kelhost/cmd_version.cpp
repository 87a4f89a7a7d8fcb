// kelhost version: loads the add-on, creates its entry class CKT through
// the add-on's class factory and prints CKT.DLLVersion and a newline. Needs
// no database.
#include <iostream>

#include "core/ckt.h"
#include "core/class_factory.h"
#include "host/sqlite/stand_in.h"
#include "kelhost/command.h"
#include "platform/error.h"

namespace kelhost {

namespace {

int RunVersion(const std::vector<std::string>& args) {
  if (!args.empty()) return UsageError("version", "takes no arguments");
  // CKT creates the host's error-text object when it is created.
  host::sqlite::RegisterErrorTexts();
  auto ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
  if (!ckt) rt::RaiseRuntime(rt::errc::CannotCreateObject);
  std::cout << ckt->DLLVersion() << "\n";
  return kExitOk;
}

}  // namespace

KELHOST_COMMAND({"version", "", "print the add-on's version", {}, RunVersion});

}  // namespace kelhost
