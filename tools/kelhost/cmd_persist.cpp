// kelhost persist DB NAME VALUE
//
// Stores VALUE as text in the persistent variable NAME
// (HostScriptEngine.PersistVars), replacing its value (the host matches
// names without regard to letter case; a new variable keeps NAME as
// written, and the add-on looks its variables up by their exact name); for
// instance
//
//   kelhost persist demo.db kt_AlarmWochenKuendigung 8
//   kelhost persist demo.db g_DateFormat yyyy-MM-dd
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

int RunPersist(const std::vector<std::string>& args) {
  return StoreNamedText("persist", args, [](host::sqlite::StandIn& host, const std::string& name,
                                            const std::string& value) {
    host.SetPersistVar(name, rt::Variant(value));
  });
}

}  // namespace

KELHOST_COMMAND({"persist",
                 "DB NAME VALUE",
                 "store a persistent variable as text",
                 {{"DB", "the database file"},
                  {"NAME", "the variable's name, such as kt_AlarmWochenKuendigung or g_DateFormat"},
                  {"VALUE", "the text to store in it, such as 8 or yyyy-MM-dd"}},
                 RunPersist});

}  // namespace kelhost
