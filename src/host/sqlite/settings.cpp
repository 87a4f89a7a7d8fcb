// HostSettings and HostSetting: named settings of one store (database,
// a user's private or public settings, a table's settings). Keys match
// without regard to letter case; Add on a present key replaces its value.
#include "host/sqlite/errors.h"
#include "host/sqlite/objects.h"

namespace host::sqlite {

namespace {

constexpr const char* kObject = "Settings";

class SettingObject : public HostSetting {
 public:
  SettingObject(CorePtr core, std::string store, std::string key)
      : core_(std::move(core)), store_(std::move(store)), key_(std::move(key)) {}
  rt::Variant Value() override {
    core_->faults.Check("Setting", "Value");
    auto v = core_->own.Setting(store_, key_);
    if (!v) RaiseHost(hosterr::UnknownSetting, key_);
    return *v;
  }
  void SetValue(const rt::Variant& value) override {
    core_->faults.Check("Setting", "SetValue");
    core_->own.SetSetting(store_, key_, value);
  }

 private:
  CorePtr core_;
  std::string store_;
  std::string key_;
};

class SettingsObject : public HostSettings {
 public:
  SettingsObject(CorePtr core, std::string store) : core_(std::move(core)), store_(std::move(store)) {}
  bool Exists(const std::string& key) override {
    core_->faults.Check(kObject, "Exists");
    return core_->own.Setting(store_, key).has_value();
  }
  std::shared_ptr<HostSetting> Item(const std::string& key) override {
    core_->faults.Check(kObject, "Item");
    if (!core_->own.Setting(store_, key)) RaiseHost(hosterr::UnknownSetting, key);
    return std::make_shared<SettingObject>(core_, store_, key);
  }
  void Add(const std::string& key, const rt::Variant& value) override {
    core_->faults.Check(kObject, "Add");
    core_->own.SetSetting(store_, key, value);
  }

 private:
  CorePtr core_;
  std::string store_;
};

}  // namespace

std::shared_ptr<HostSettings> NewSettings(CorePtr core, std::string store) {
  return std::make_shared<SettingsObject>(std::move(core), std::move(store));
}

}  // namespace host::sqlite
