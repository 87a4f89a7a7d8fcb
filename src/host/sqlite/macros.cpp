// The macro chain HostMacros -> project -> module -> procedure over the
// registry of callbacks that tests (and later commands) register. A missing
// project, module or procedure gives null.
#include <algorithm>

#include "host/sqlite/objects.h"
#include "platform/text.h"

namespace host::sqlite {

namespace {

// True when a registered macro's key starts with `prefix`.
bool AnyUnder(const Core& core, const std::vector<std::string>& prefix) {
  for (const auto& [key, fn] : core.macros)
    if (key.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), key.begin())) return true;
  return false;
}

class ProcedureObject : public HostProcedure {
 public:
  ProcedureObject(CorePtr core, MacroFn fn) : core_(std::move(core)), fn_(std::move(fn)) {}
  void Run(std::vector<rt::Variant>& args) override {
    core_->faults.Check("Macros", "Run");
    fn_(args);
  }

 private:
  CorePtr core_;
  MacroFn fn_;
};

class ModuleObject : public HostMacroModule {
 public:
  ModuleObject(CorePtr core, std::vector<std::string> key) : core_(std::move(core)), key_(std::move(key)) {}
  std::shared_ptr<HostProcedure> Procedures(const std::string& name) override {
    core_->faults.Check("Macros", "Procedures");
    std::vector<std::string> key = key_;
    key.push_back(rt::UCase(name));
    auto it = core_->macros.find(key);
    if (it == core_->macros.end()) return nullptr;
    return std::make_shared<ProcedureObject>(core_, it->second);
  }

 private:
  CorePtr core_;
  std::vector<std::string> key_;
};

class ProjectObject : public HostMacroProject {
 public:
  ProjectObject(CorePtr core, std::string project) : core_(std::move(core)), project_(std::move(project)) {}
  std::shared_ptr<HostMacroModule> ProjectItems(const std::string& name) override {
    core_->faults.Check("Macros", "ProjectItems");
    std::vector<std::string> key{project_, rt::UCase(name)};
    if (!AnyUnder(*core_, key)) return nullptr;
    return std::make_shared<ModuleObject>(core_, std::move(key));
  }

 private:
  CorePtr core_;
  std::string project_;
};

class MacrosObject : public HostMacros {
 public:
  explicit MacrosObject(CorePtr core) : core_(std::move(core)) {}
  std::shared_ptr<HostMacroProject> Projects(const std::string& name) override {
    core_->faults.Check("Macros", "Projects");
    std::string project = rt::UCase(name);
    if (!AnyUnder(*core_, {project})) return nullptr;
    return std::make_shared<ProjectObject>(core_, std::move(project));
  }

 private:
  CorePtr core_;
};

}  // namespace

std::shared_ptr<HostMacros> NewMacros(CorePtr core) {
  return std::make_shared<MacrosObject>(std::move(core));
}

}  // namespace host::sqlite
