// CConfig: the add-on's access to the settings the host keeps.
//
// Five stores, each with a read and a write operation of the same rules:
//   user private    HostUser::PrivateSettings of the current user
//   user public     HostUser::PublicSettings of the current user
//   database        HostDatabase::Settings
//   persistent var  HostScriptEngine::PersistVars
//   table           DbTable::Settings of the table passed
//
// Keys are cut to their first 30 characters. A read of a missing key with a
// non-empty default stores the default in the same store and returns it; an
// empty default is returned without storing anything. A write changes a
// stored value only when the text differs other than in letter case, and
// leaves a locked persistent variable unchanged without complaint.
//
// Every read and write operation re-raises its errors with its own source
// ("CConfig.ReadDatabaseSetting", ...), number and description unchanged;
// a failing write-back inside a read surfaces with the read's source.
// ReadPrivateSetting and ReadTableSetting raise only what fails before the
// store is looked at; after that a failing lookup counts as a missing key
// and a failing value read gives "".
//
// A CConfig takes the process-wide gDB when it is created and is meant to
// live for one step. Created while gDB is null, every read and write
// operation raises 91 (with its own source), except the table operations:
// ReadTableSetting gives the default (or "") and WriteTableSetting does
// nothing, as for any failure after the key is cut.
//
// CBoolean is this class's own text-to-Boolean rule, not the standard
// conversion (rt::CBool): "1" is false here.
#pragma once

#include <memory>
#include <string>

#include "host/application.h"
#include "platform/variant.h"

class CConfig {
 public:
  CConfig();

  // True when Val of the value's text is exactly -1, or the text in lower
  // case is "true", "t", "wahr" or "w"; false otherwise ("1" and "" too).
  // No trap: a value without text (Null, an object) raises to the caller.
  bool CBoolean(const rt::Variant& value) const;

  std::string ReadPrivateSetting(const std::string& key, const std::string& defaultValue);
  void WritePrivateSetting(const std::string& key, const std::string& value);
  std::string ReadPublicSetting(const std::string& key, const std::string& defaultValue);
  void WritePublicSetting(const std::string& key, const std::string& value);
  std::string ReadDatabaseSetting(const std::string& key, const std::string& defaultValue);
  void WriteDatabaseSetting(const std::string& key, const std::string& value);
  std::string ReadPersistVarSetting(const std::string& key, const std::string& defaultValue);
  void WritePersistVarSetting(const std::string& key, const rt::Variant& value);
  std::string ReadTableSetting(const std::shared_ptr<host::DbTable>& table, const std::string& key,
                               const std::string& defaultValue);
  void WriteTableSetting(const std::shared_ptr<host::DbTable>& table, const std::string& key,
                         const std::string& value);

  // The current user's private setting, else the database setting, else the
  // default. The key is used as given (not cut), nothing is ever written,
  // and errors go to the caller unchanged. Works on the process-wide
  // database of the moment, not on the one taken at creation.
  std::string ReadSetting(const std::string& key, const std::string& defaultValue) const;

 private:
  std::shared_ptr<host::HostDatabase> db_;
};
