// kelhost setting DB NAME VALUE
//
// Stores VALUE as text under NAME among the database's settings
// (HostDatabase.Settings), replacing what is stored under that name (the
// host matches names without regard to letter case), as the host's own
// settings dialog does; for instance
//
//   kelhost setting demo.db CreateAppointment4AllContracts true
//
// Exit status 0 when stored; 1 when the database stayed locked by another
// process or was moved away while it was written; 2 for wrong arguments, a file that is not a kelhost database or
// one whose record counter is damaged (nothing stored).
#include <string>
#include <vector>

#include "kelhost/command.h"
#include "kelhost/database.h"
#include "platform/variant.h"

namespace kelhost {

namespace {

int RunSetting(const std::vector<std::string>& args) {
  return StoreNamedText("setting", args, [](host::sqlite::StandIn& host, const std::string& name,
                                            const std::string& value) {
    host.SetDatabaseSetting(name, rt::Variant(value));
  });
}

}  // namespace

KELHOST_COMMAND({"setting",
                 "DB NAME VALUE",
                 "store a database setting as text",
                 {{"DB", "the database file"},
                  {"NAME", "the setting's name (letter case ignored), such as CreateAppointment4AllContracts"},
                  {"VALUE", "the text to store under it, such as true"}},
                 RunSetting});

}  // namespace kelhost
