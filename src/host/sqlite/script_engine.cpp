// HostScriptEngine: the host formulas the add-on evaluates, each on the
// shared current record of its table, and the persistent variables.
//
//   "Name()"            Adressen.Name of the current address
//   "Erloeskonto()"     Artikel.Erloeskonto of the current article
//   "USTSatzArtikel()"  Artikel.UStSatz of the current article
//
// Without a current record a formula gives Empty; an unknown formula raises.
#include "host/sqlite/errors.h"
#include "host/sqlite/objects.h"
#include "platform/text.h"

namespace host::sqlite {

namespace {

struct Formula {
  const char* text;
  const char* table;
  const char* field;
};

constexpr Formula kFormulas[] = {
    {"Name()", "Adressen", "Name"},
    {"Erloeskonto()", "Artikel", "Erloeskonto"},
    {"USTSatzArtikel()", "Artikel", "UStSatz"},
};

class EvalResultObject : public HostEvalResult {
 public:
  explicit EvalResultObject(rt::Variant value) : value_(std::move(value)) {}
  rt::Variant Value(int32_t index) override {
    if (index != 0) RaiseHost(hosterr::InvalidArgument, "Value(" + std::to_string(index) + ")");
    return value_;
  }

 private:
  rt::Variant value_;
};

class ScriptEngineObject : public HostScriptEngine {
 public:
  explicit ScriptEngineObject(CorePtr core) : core_(std::move(core)), persistVars_(NewPersistVars(core_)) {}
  std::shared_ptr<HostEvalResult> Evaluate(std::string_view formula, Flags) override {
    core_->faults.Check("ScriptEngine", "Evaluate");
    const std::string_view text = rt::Trimmed(formula);
    for (const Formula& f : kFormulas) {
      if (!rt::EqualsIgnoreCase(text, f.text)) continue;
      const int t = core_->TableIndex(f.table);
      const RecordPtr r = core_->views.Current(t);
      rt::Variant v = r ? r->values[core_->FieldIndex(t, f.field)] : rt::Variant();
      return std::make_shared<EvalResultObject>(std::move(v));
    }
    RaiseHost(hosterr::UnknownFormula, std::string(formula));
  }
  std::shared_ptr<HostPersistVars> PersistVars() override {
    core_->faults.Check("ScriptEngine", "PersistVars");
    return persistVars_;
  }

 private:
  CorePtr core_;
  std::shared_ptr<HostPersistVars> persistVars_;  // holds no state of its own
};

}  // namespace

std::shared_ptr<HostScriptEngine> NewScriptEngine(CorePtr core) {
  return std::make_shared<ScriptEngineObject>(std::move(core));
}

}  // namespace host::sqlite
