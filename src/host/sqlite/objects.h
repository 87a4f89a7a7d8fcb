// Factories of the host objects the add-on sees, each a handle on a Core.
// Every member first consults the fault switch under its object's name
// (see stand_in.h for the names).
#pragma once

#include <memory>
#include <string>

#include "host/application.h"
#include "host/sqlite/core.h"

namespace host::sqlite {

using CorePtr = std::shared_ptr<Core>;

// A table object, with its fields and field objects inside it.
std::shared_ptr<DbTable> NewTable(CorePtr core, int table);
// The indexes of the table at position t.
std::shared_ptr<DbIndexes> NewIndexes(CorePtr core, int t);
// A settings store by name (kDatabaseSettings, PrivateSettingsOf(...), ...).
std::shared_ptr<HostSettings> NewSettings(CorePtr core, std::string store);
std::shared_ptr<HostUsers> NewUsers(CorePtr core);
std::shared_ptr<HostScriptEngine> NewScriptEngine(CorePtr core);
std::shared_ptr<HostPersistVars> NewPersistVars(CorePtr core);
std::shared_ptr<HostMacros> NewMacros(CorePtr core);
std::shared_ptr<HostDatabase> NewDatabase(CorePtr core);
std::shared_ptr<HostApplication> NewApplication(CorePtr core);

}  // namespace host::sqlite
