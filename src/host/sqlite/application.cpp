// HostApplication, HostDatabase, DbConnection and HostMandant: the entry to
// the host's object model, and the application's user-interface state.
#include <vector>

#include "host/sqlite/objects.h"

namespace host::sqlite {

namespace {

// The current tenant of the session; its display text is its name.
class MandantObject : public HostMandant {
 public:
  explicit MandantObject(CorePtr core) : core_(std::move(core)) {}
  std::string Name() override {
    core_->faults.Check("Mandant", "Name");
    return core_->TenantName();
  }
  std::string Text(int32_t) override {
    core_->faults.Check("Mandant", "Text");
    return core_->TenantName();
  }

 private:
  CorePtr core_;
};

// Keeps one table object per table: table objects hold no state of their
// own, so every open of a table may hand out the same one.
class ConnectionObject : public DbConnection {
 public:
  explicit ConnectionObject(CorePtr core) : core_(std::move(core)), tables_(core_->schema.tables().size()) {}
  std::shared_ptr<DbTable> Table(const std::string& name) override {
    core_->faults.Check(name, "Table");
    std::shared_ptr<DbTable>& table = tables_[static_cast<size_t>(core_->TableIndex(name))];
    if (!table) table = NewTable(core_, core_->TableIndex(name));
    return table;
  }
  std::shared_ptr<HostMandant> Mandant() override {
    core_->faults.Check("Connection", "Mandant");
    return std::make_shared<MandantObject>(core_);
  }

 private:
  CorePtr core_;
  std::vector<std::shared_ptr<DbTable>> tables_;  // by table position, once opened
};

// The database's objects hold no state of their own: one of each serves
// every call.
class DatabaseObject : public HostDatabase {
 public:
  explicit DatabaseObject(CorePtr core)
      : core_(std::move(core)),
        connection_(std::make_shared<ConnectionObject>(core_)),
        users_(NewUsers(core_)),
        settings_(NewSettings(core_, kDatabaseSettings)),
        scriptEngine_(NewScriptEngine(core_)) {}
  std::shared_ptr<DbConnection> Connection() override {
    core_->faults.Check("Database", "Connection");
    return connection_;
  }
  std::shared_ptr<HostUsers> Users() override {
    core_->faults.Check("Database", "Users");
    return users_;
  }
  std::shared_ptr<HostSettings> Settings() override {
    core_->faults.Check("Database", "Settings");
    return settings_;
  }
  std::shared_ptr<HostScriptEngine> ScriptEngine() override {
    core_->faults.Check("Database", "ScriptEngine");
    return scriptEngine_;
  }

 private:
  CorePtr core_;
  std::shared_ptr<DbConnection> connection_;
  std::shared_ptr<HostUsers> users_;
  std::shared_ptr<HostSettings> settings_;
  std::shared_ptr<HostScriptEngine> scriptEngine_;
};

class ApplicationObject : public HostApplication {
 public:
  explicit ApplicationObject(CorePtr core) : core_(std::move(core)), db_(NewDatabase(core_)) {}
  // One database object for the application's life.
  std::shared_ptr<HostDatabase> Database() override {
    Check("Database");
    return db_;
  }
  std::shared_ptr<HostMacros> Macros() override {
    Check("Macros");
    return NewMacros(core_);
  }
  rt::ObjectPtr UiStateA() override {
    Check("UiStateA");
    return core_->uiStateA;
  }
  void SetUiStateA(const rt::ObjectPtr& state) override {
    Check("SetUiStateA");
    core_->uiStateA = state;
  }
  rt::ObjectPtr UiStateB() override {
    Check("UiStateB");
    return core_->uiStateB;
  }
  void SetUiStateB(const rt::ObjectPtr& state) override {
    Check("SetUiStateB");
    core_->uiStateB = state;
  }
  rt::ObjectPtr UiStateC() override {
    Check("UiStateC");
    return core_->uiStateC;
  }
  void SetUiStateC(const rt::ObjectPtr& state) override {
    Check("SetUiStateC");
    core_->uiStateC = state;
  }
  int16_t UiFlag() override {
    Check("UiFlag");
    return core_->uiFlag;
  }
  void SetUiFlag(int16_t value) override {
    Check("SetUiFlag");
    core_->uiFlag = value;
  }

 private:
  void Check(const char* member) { core_->faults.Check("Application", member); }
  CorePtr core_;
  std::shared_ptr<HostDatabase> db_;
};

}  // namespace

std::shared_ptr<HostDatabase> NewDatabase(CorePtr core) {
  return std::make_shared<DatabaseObject>(std::move(core));
}

std::shared_ptr<HostApplication> NewApplication(CorePtr core) {
  return std::make_shared<ApplicationObject>(std::move(core));
}

}  // namespace host::sqlite
