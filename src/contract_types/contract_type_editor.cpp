// The contract-type editor as the entry class runs it: CKT.
// EditContractDefinition makes a new frmFEditDefinitions through the
// factory registered here when the library is loaded.
#include <memory>

#include "contract_types/frm_fedit_definitions.h"
#include "core/subsystems.h"

namespace {

class ContractTypeEditor : public kp::ContractTypeEditor {
 public:
  bool InitNew() override { return form_->InitNew(); }
  bool InitEdit() override { return form_->InitEdit(); }
  void ShowModal() override { form_->ShowModal(); }

 private:
  std::shared_ptr<frmFEditDefinitions> form_ = ui::NewForm<frmFEditDefinitions>();
};

struct Registrar {
  Registrar() {
    kp::RegisterContractTypeEditor([] { return std::make_unique<ContractTypeEditor>(); });
  }
  ~Registrar() { kp::RegisterContractTypeEditor({}); }
};
const Registrar registrar;

}  // namespace
