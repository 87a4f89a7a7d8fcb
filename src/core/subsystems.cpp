#include "core/subsystems.h"

#include <utility>

#include "platform/error.h"

namespace kp {
namespace {

ContractTypeEditorFactory& EditorFactory() {
  static ContractTypeEditorFactory f;
  return f;
}
NewContractDialogFactory& DialogFactory() {
  static NewContractDialogFactory f;
  return f;
}
CreateContractFromApiFn& ApiRunner() {
  static CreateContractFromApiFn f;
  return f;
}

}  // namespace

void RegisterContractTypeEditor(ContractTypeEditorFactory factory) { EditorFactory() = std::move(factory); }
void RegisterNewContractDialog(NewContractDialogFactory factory) { DialogFactory() = std::move(factory); }
void RegisterCreateContractFromApi(CreateContractFromApiFn run) { ApiRunner() = std::move(run); }

std::unique_ptr<ContractTypeEditor> CreateContractTypeEditor() {
  std::unique_ptr<ContractTypeEditor> editor;
  if (EditorFactory()) editor = EditorFactory()();
  if (!editor) rt::RaiseRuntime(rt::errc::CannotCreateObject);
  return editor;
}

std::unique_ptr<NewContractDialog> CreateNewContractDialog() {
  std::unique_ptr<NewContractDialog> dialog;
  if (DialogFactory()) dialog = DialogFactory()();
  if (!dialog) rt::RaiseRuntime(rt::errc::CannotCreateObject);
  return dialog;
}

void CreateContractFromAPI() {
  // A copy: the run may register anew without ending the running function.
  CreateContractFromApiFn run = ApiRunner();
  if (!run) rt::RaiseRuntime(rt::errc::CannotCreateObject);
  run();
}

}  // namespace kp
