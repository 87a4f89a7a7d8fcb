// The host's object model above the tables: application, database,
// connection and tenant, users and settings, formulas and persistent
// variables, macros, error texts and document values.
//
// The add-on reaches all of it through the HostApplication passed to each
// entry call. A failing call raises rt::Error with the host's number.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/table.h"
#include "platform/object.h"
#include "platform/variant.h"

namespace host {

// --- Settings ------------------------------------------------------------------
class HostSetting {
 public:
  virtual ~HostSetting() = default;
  virtual rt::Variant Value() = 0;
  virtual void SetValue(const rt::Variant& value) = 0;
};

// A store of named settings; keys match without regard to letter case.
class HostSettings {
 public:
  virtual ~HostSettings() = default;
  virtual bool Exists(const std::string& key) = 0;
  virtual std::shared_ptr<HostSetting> Item(const std::string& key) = 0;  // raises when missing
  virtual void Add(const std::string& key, const rt::Variant& value) = 0;
};

// --- Users ---------------------------------------------------------------------
class HostUser {
 public:
  virtual ~HostUser() = default;
  virtual std::string Name() = 0;
  virtual std::shared_ptr<HostSettings> PrivateSettings() = 0;
  virtual std::shared_ptr<HostSettings> PublicSettings() = 0;
};

class HostUsers {
 public:
  virtual ~HostUsers() = default;
  virtual int32_t Count() = 0;
  virtual std::shared_ptr<HostUser> Item(int32_t index) = 0;  // 0 .. Count - 1
  virtual std::shared_ptr<HostUser> CurrentUser() = 0;
};

// --- Formulas and persistent variables ----------------------------------------
class HostEvalResult {
 public:
  virtual ~HostEvalResult() = default;
  virtual rt::Variant Value(int32_t index) = 0;
};

class HostPersistVar {
 public:
  virtual ~HostPersistVar() = default;
  virtual std::string Name() = 0;
  virtual rt::Variant Value() = 0;  // a scalar or an array
  virtual void SetValue(const rt::Variant& value) = 0;
  virtual bool Locked() = 0;
};

// The persistent variables, walked from the first to the last with Count and
// At, or looked up by name (case-insensitive).
class HostPersistVars {
 public:
  virtual ~HostPersistVars() = default;
  virtual int32_t Count() = 0;
  virtual std::shared_ptr<HostPersistVar> At(int32_t index) = 0;  // 0 .. Count - 1
  virtual std::shared_ptr<HostPersistVar> Item(const std::string& name) = 0;  // null when missing
  virtual bool Exists(const std::string& name) = 0;
  virtual void Add(const std::string& name, const rt::Variant& value,
                   const std::shared_ptr<DbTable>& table) = 0;
};

class HostScriptEngine {
 public:
  virtual ~HostScriptEngine() = default;
  // Evaluates a host formula ("Name()", "Erloeskonto()", "USTSatzArtikel()")
  // on the current record of its table.
  virtual std::shared_ptr<HostEvalResult> Evaluate(std::string_view formula, Flags flags) = 0;
  virtual std::shared_ptr<HostPersistVars> PersistVars() = 0;
};

// --- Connection and tenant ----------------------------------------------------
class HostMandant {
 public:
  virtual ~HostMandant() = default;
  virtual std::string Name() = 0;
  virtual std::string Text(int32_t index) = 0;
};

class DbConnection {
 public:
  virtual ~DbConnection() = default;
  // A new table object on the named table (case-insensitive); an unknown
  // name raises.
  virtual std::shared_ptr<DbTable> Table(const std::string& name) = 0;
  virtual std::shared_ptr<HostMandant> Mandant() = 0;
};

class HostDatabase {
 public:
  virtual ~HostDatabase() = default;
  virtual std::shared_ptr<DbConnection> Connection() = 0;
  virtual std::shared_ptr<HostUsers> Users() = 0;
  virtual std::shared_ptr<HostSettings> Settings() = 0;
  virtual std::shared_ptr<HostScriptEngine> ScriptEngine() = 0;
};

// --- Macros --------------------------------------------------------------------
// Reached by name: Projects("Project") -> ProjectItems("kt_Macros") ->
// Procedures("kt_CreateAttribute"). A missing level gives a null pointer.
class HostProcedure {
 public:
  virtual ~HostProcedure() = default;
  // Runs the macro with its arguments by reference; it may change them.
  virtual void Run(std::vector<rt::Variant>& args) = 0;
};

class HostMacroModule {
 public:
  virtual ~HostMacroModule() = default;
  virtual std::shared_ptr<HostProcedure> Procedures(const std::string& name) = 0;
};

class HostMacroProject {
 public:
  virtual ~HostMacroProject() = default;
  virtual std::shared_ptr<HostMacroModule> ProjectItems(const std::string& name) = 0;
};

class HostMacros {
 public:
  virtual ~HostMacros() = default;
  virtual std::shared_ptr<HostMacroProject> Projects(const std::string& name) = 0;
};

// --- Application -----------------------------------------------------------------
class HostApplication {
 public:
  virtual ~HostApplication() = default;
  virtual std::shared_ptr<HostDatabase> Database() = 0;
  virtual std::shared_ptr<HostMacros> Macros() = 0;

  // User-interface state of the host: opaque objects and a flag that
  // CTableProperties saves and restores around searches.
  virtual rt::ObjectPtr UiStateA() = 0;
  virtual void SetUiStateA(const rt::ObjectPtr& state) = 0;
  virtual rt::ObjectPtr UiStateB() = 0;
  virtual void SetUiStateB(const rt::ObjectPtr& state) = 0;
  virtual rt::ObjectPtr UiStateC() = 0;
  virtual void SetUiStateC(const rt::ObjectPtr& state) = 0;
  virtual int16_t UiFlag() = 0;
  virtual void SetUiFlag(int16_t value) = 0;
};

// --- Error texts and documents -------------------------------------------------
// The host's message text per error number. The host registers a creatable
// class under kErrorTextsClass in the runtime's class registry; the add-on
// creates it with rt::CreateObject and casts it to HostErrorTexts.
inline constexpr const char* kErrorTextsClass = "KelData31.HostErrorTexts";

class HostErrorTexts {
 public:
  virtual ~HostErrorTexts() = default;
  virtual std::string Text(int32_t number) = 0;
};

// The value of a document field: opaque, only copied from record to record.
class HostDocument : public rt::Object {};

}  // namespace host
