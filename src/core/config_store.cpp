#include "core/config_store.h"

#include <utility>

#include "platform/error.h"
#include "platform/object.h"

namespace config_store {

namespace {

// A host object the host handed out as null is "object variable not set".

class SettingsStore : public Store {
 public:
  explicit SettingsStore(std::shared_ptr<host::HostSettings> s) : s_(std::move(s)) {}

  bool Exists(const std::string& key) override { return s_->Exists(key); }
  rt::Variant Value(const std::string& key) override { return rt::Need(s_->Item(key))->Value(); }
  void Change(const std::string& key, const rt::Variant& value) override {
    rt::Need(s_->Item(key))->SetValue(value);
  }
  void Add(const std::string& key, const rt::Variant& value) override { s_->Add(key, value); }

 private:
  std::shared_ptr<host::HostSettings> s_;
};

class PersistVarStore : public Store {
 public:
  explicit PersistVarStore(std::shared_ptr<host::HostPersistVars> v) : v_(std::move(v)) {}

  bool Exists(const std::string& key) override { return v_->Exists(key); }
  rt::Variant Value(const std::string& key) override { return rt::Need(v_->Item(key))->Value(); }
  void Change(const std::string& key, const rt::Variant& value) override {
    auto var = rt::Need(v_->Item(key));
    if (!var->Locked()) var->SetValue(value);
  }
  // A new variable belongs to no table.
  void Add(const std::string& key, const rt::Variant& value) override { v_->Add(key, value, nullptr); }

 private:
  std::shared_ptr<host::HostPersistVars> v_;
};

}  // namespace

std::unique_ptr<Store> OfSettings(std::shared_ptr<host::HostSettings> settings) {
  rt::Need(settings);
  return std::make_unique<SettingsStore>(std::move(settings));
}

std::unique_ptr<Store> OfPersistVars(std::shared_ptr<host::HostPersistVars> vars) {
  rt::Need(vars);
  return std::make_unique<PersistVarStore>(std::move(vars));
}

}  // namespace config_store
