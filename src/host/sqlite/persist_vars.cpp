// HostPersistVars and HostPersistVar: the host's persistent variables,
// scalars or arrays, walked in the order they were added and looked up by
// name without regard to letter case (a missing name gives null).
#include "host/sqlite/errors.h"
#include "host/sqlite/objects.h"

namespace host::sqlite {

namespace {

class PersistVarObject : public HostPersistVar {
 public:
  PersistVarObject(CorePtr core, std::string name) : core_(std::move(core)), name_(std::move(name)) {}
  std::string Name() override {
    core_->faults.Check("PersistVar", "Name");
    return name_;
  }
  // A variable removed meanwhile reads as Empty.
  rt::Variant Value() override {
    core_->faults.Check("PersistVar", "Value");
    auto v = core_->own.FindPersistVar(name_);
    return v ? v->value : rt::Variant();
  }
  void SetValue(const rt::Variant& value) override {
    core_->faults.Check("PersistVar", "SetValue");
    core_->own.SetPersistVar(name_, value, std::nullopt);
  }
  bool Locked() override {
    core_->faults.Check("PersistVar", "Locked");
    auto v = core_->own.FindPersistVar(name_);
    return v && v->locked;
  }

 private:
  CorePtr core_;
  std::string name_;  // as stored
};

class PersistVarsObject : public HostPersistVars {
 public:
  explicit PersistVarsObject(CorePtr core) : core_(std::move(core)) {}
  int32_t Count() override {
    core_->faults.Check("PersistVars", "Count");
    return core_->own.PersistVarCount();
  }
  std::shared_ptr<HostPersistVar> At(int32_t index) override {
    core_->faults.Check("PersistVars", "At");
    auto name = core_->own.PersistVarNameAt(index);
    if (!name) RaiseHost(hosterr::InvalidArgument, "PersistVars.At(" + std::to_string(index) + ")");
    return std::make_shared<PersistVarObject>(core_, *name);
  }
  std::shared_ptr<HostPersistVar> Item(const std::string& name) override {
    core_->faults.Check("PersistVars", "Item");
    auto v = core_->own.FindPersistVar(name);
    if (!v) return nullptr;
    return std::make_shared<PersistVarObject>(core_, v->name);
  }
  bool Exists(const std::string& name) override {
    core_->faults.Check("PersistVars", "Exists");
    return core_->own.FindPersistVar(name).has_value();
  }
  void Add(const std::string& name, const rt::Variant& value, const std::shared_ptr<DbTable>&) override {
    core_->faults.Check("PersistVars", "Add");
    core_->own.SetPersistVar(name, value, std::nullopt);
  }

 private:
  CorePtr core_;
};

}  // namespace

std::shared_ptr<HostPersistVars> NewPersistVars(CorePtr core) {
  return std::make_shared<PersistVarsObject>(std::move(core));
}

}  // namespace host::sqlite
