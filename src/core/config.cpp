#include "core/config.h"

#include <functional>
#include <string_view>

#include "core/config_store.h"
#include "core/globals.h"
#include "platform/error.h"
#include "platform/object.h"
#include "platform/text.h"

namespace {

// Keys are stored under their first 30 characters.
constexpr int32_t kKeyLength = 30;

// Runs one operation; its errors go to the caller with the source
// "CConfig" & procedure, number and description kept.
template <class F>
auto Reraising(std::string_view procedure, F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (...) {
    rt::Reraise(rt::CurrentError(), "CConfig" + std::string(procedure));
  }
}

using WriteBack = std::function<void(const std::string& key, const std::string& value)>;

// The read rule on a store that answers: the stored value as text, else the
// default, stored through `writeBack` when it is not empty.
std::string Read(config_store::Store& store, const std::string& key, const std::string& defaultValue,
                 const WriteBack& writeBack) {
  if (store.Exists(key)) return rt::CStr(store.Value(key));
  if (!defaultValue.empty()) writeBack(key, defaultValue);
  return defaultValue;
}

// The read rule once errors are ignored: a store that cannot be reached or
// asked counts as not holding the key (the write-back is still tried and its
// failure ignored); a value that cannot be read gives "".
std::string ReadTolerant(const std::function<std::unique_ptr<config_store::Store>()>& reach,
                         const std::string& key, const std::string& defaultValue,
                         const WriteBack& writeBack) {
  rt::ErrorState ignore;
  std::unique_ptr<config_store::Store> store;
  bool exists = false;
  ignore.Step([&] {
    store = reach();
    exists = store->Exists(key);
  });
  if (exists) {
    std::string result;
    ignore.Step([&] { result = rt::CStr(store->Value(key)); });
    return result;
  }
  if (!defaultValue.empty()) ignore.Step([&] { writeBack(key, defaultValue); });
  return defaultValue;
}

// The write rule: an existing key is changed only when the text differs
// other than in letter case; a missing key is added.
void Write(config_store::Store& store, const std::string& key, const rt::Variant& value) {
  if (store.Exists(key)) {
    if (!rt::EqualsIgnoreCase(rt::CStr(store.Value(key)), rt::CStr(value))) store.Change(key, value);
  } else {
    store.Add(key, value);
  }
}

std::shared_ptr<host::HostUser> CurrentUser(const std::shared_ptr<host::HostDatabase>& db) {
  return rt::Need(rt::Need(db)->Users())->CurrentUser();
}

}  // namespace

CConfig::CConfig() : db_(gDB) {}

bool CConfig::CBoolean(const rt::Variant& value) const {
  std::string text = rt::CStr(value);
  if (rt::Val(std::string_view(text)) == -1) return true;
  std::string lower = rt::LCase(text);
  return lower == "true" || lower == "t" || lower == "wahr" || lower == "w";
}

// --- user private ------------------------------------------------------------------
std::string CConfig::ReadPrivateSetting(const std::string& key, const std::string& defaultValue) {
  std::shared_ptr<host::HostUser> user;
  std::string k;
  Reraising(".ReadPrivateSetting", [&] {
    user = rt::Need(CurrentUser(db_));
    k = rt::Left(key, kKeyLength);
  });
  return ReadTolerant([&] { return config_store::OfSettings(user->PrivateSettings()); }, k,
                      defaultValue,
                      [this](const std::string& wk, const std::string& wv) { WritePrivateSetting(wk, wv); });
}

void CConfig::WritePrivateSetting(const std::string& key, const std::string& value) {
  Reraising(".WritePrivateSetting", [&] {
    auto store = config_store::OfSettings(rt::Need(CurrentUser(db_))->PrivateSettings());
    Write(*store, rt::Left(key, kKeyLength), value);
  });
}

// --- user public -------------------------------------------------------------------
std::string CConfig::ReadPublicSetting(const std::string& key, const std::string& defaultValue) {
  return Reraising(".ReadPublicSetting", [&] {
    std::string k = rt::Left(key, kKeyLength);
    auto store = config_store::OfSettings(rt::Need(CurrentUser(db_))->PublicSettings());
    return Read(*store, k, defaultValue,
                [this](const std::string& wk, const std::string& wv) { WritePublicSetting(wk, wv); });
  });
}

void CConfig::WritePublicSetting(const std::string& key, const std::string& value) {
  Reraising(".WritePublicSetting", [&] {
    auto store = config_store::OfSettings(rt::Need(CurrentUser(db_))->PublicSettings());
    Write(*store, rt::Left(key, kKeyLength), value);
  });
}

// --- database ----------------------------------------------------------------------
std::string CConfig::ReadDatabaseSetting(const std::string& key, const std::string& defaultValue) {
  return Reraising(".ReadDatabaseSetting", [&] {
    std::string k = rt::Left(key, kKeyLength);
    auto store = config_store::OfSettings(rt::Need(db_)->Settings());
    return Read(*store, k, defaultValue,
                [this](const std::string& wk, const std::string& wv) { WriteDatabaseSetting(wk, wv); });
  });
}

void CConfig::WriteDatabaseSetting(const std::string& key, const std::string& value) {
  Reraising(".WriteDatabaseSetting", [&] {
    auto store = config_store::OfSettings(rt::Need(db_)->Settings());
    Write(*store, rt::Left(key, kKeyLength), value);
  });
}

// --- persistent variables ------------------------------------------------------------
std::string CConfig::ReadPersistVarSetting(const std::string& key, const std::string& defaultValue) {
  return Reraising(".ReadPersistVarSetting", [&] {
    std::string k = rt::Left(key, kKeyLength);
    auto store = config_store::OfPersistVars(rt::Need(rt::Need(db_)->ScriptEngine())->PersistVars());
    return Read(*store, k, defaultValue, [this](const std::string& wk, const std::string& wv) {
      WritePersistVarSetting(wk, rt::Variant(wv));
    });
  });
}

void CConfig::WritePersistVarSetting(const std::string& key, const rt::Variant& value) {
  Reraising(".WritePersistVarSetting", [&] {
    auto store = config_store::OfPersistVars(rt::Need(rt::Need(db_)->ScriptEngine())->PersistVars());
    Write(*store, rt::Left(key, kKeyLength), value);
  });
}

// --- table ---------------------------------------------------------------------------
std::string CConfig::ReadTableSetting(const std::shared_ptr<host::DbTable>& table, const std::string& key,
                                      const std::string& defaultValue) {
  const std::string k = Reraising(".ReadTableSetting", [&] { return rt::Left(key, kKeyLength); });
  // Without a database the store cannot be reached: a failure after the
  // cut, so the default comes back (and is not stored).
  return ReadTolerant(
      [&] {
        rt::Need(db_);
        return config_store::OfSettings(rt::Need(table)->Settings());
      },
      k, defaultValue,
      [&](const std::string& wk, const std::string& wv) { WriteTableSetting(table, wk, wv); });
}

void CConfig::WriteTableSetting(const std::shared_ptr<host::DbTable>& table, const std::string& key,
                                const std::string& value) {
  // Without a database there is nothing to write to, and nothing is said.
  if (!db_) return;
  Reraising(".WriteTableSetting", [&] {
    auto store = config_store::OfSettings(rt::Need(table)->Settings());
    Write(*store, rt::Left(key, kKeyLength), value);
  });
}

// --- combined read -----------------------------------------------------------------
std::string CConfig::ReadSetting(const std::string& key, const std::string& defaultValue) const {
  auto db = rt::Need(gDB);
  auto mine = rt::Need(rt::Need(rt::Need(db->Users())->CurrentUser())->PrivateSettings());
  if (mine->Exists(key)) return rt::CStr(rt::Need(mine->Item(key))->Value());
  auto shared = rt::Need(db->Settings());
  if (shared->Exists(key)) return rt::CStr(rt::Need(shared->Item(key))->Value());
  return defaultValue;
}
