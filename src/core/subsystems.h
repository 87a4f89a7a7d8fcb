// The three parts of the add-on that the entry class CKT hands work to: the
// contract-type editor, the new-contract dialog and the programmatic
// creation. They are built on top of the core, so the core only knows them
// through these interfaces; each part registers its factory here when the
// library is loaded (tests register doubles).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace kp {

// The contract-type editor (frmFEditDefinitions).
class ContractTypeEditor {
 public:
  virtual ~ContractTypeEditor() = default;
  // Prepares the editor for a new contract type; true when it may be shown.
  virtual bool InitNew() = 0;
  // Prepares the editor for the host's current contract-type record; true
  // when it may be shown.
  virtual bool InitEdit() = 0;
  // Shows the editor modally; returns when it has been hidden or closed.
  virtual void ShowModal() = 0;
};

// The new-contract dialog (frmNewContract).
class NewContractDialog {
 public:
  virtual ~NewContractDialog() = default;
  // Takes the host's current address and lists the released contract
  // types; true when the dialog may be shown.
  virtual bool InitNew() = 0;
  // Shows the dialog modally; returns when it has been hidden or closed.
  virtual void ShowModal() = 0;
  // True when a contract was saved.
  virtual bool bOK() const = 0;
  // The number of contract states the save wrote.
  virtual int32_t lVsCount() const = 0;
  // The show-definition flag.
  virtual bool bShowDef() const = 0;
  virtual void SetbShowDef(bool value) = 0;
};

using ContractTypeEditorFactory = std::function<std::unique_ptr<ContractTypeEditor>()>;
using NewContractDialogFactory = std::function<std::unique_ptr<NewContractDialog>()>;
using CreateContractFromApiFn = std::function<void()>;

// Registration; an empty function removes the registration.
void RegisterContractTypeEditor(ContractTypeEditorFactory factory);
void RegisterNewContractDialog(NewContractDialogFactory factory);
void RegisterCreateContractFromApi(CreateContractFromApiFn run);

// A new editor or dialog. Raises 429 (cannot create object) when no part is
// registered or its factory gives nothing.
std::unique_ptr<ContractTypeEditor> CreateContractTypeEditor();
std::unique_ptr<NewContractDialog> CreateNewContractDialog();

// Runs modAPI.CreateContractFromAPI; its errors go to the caller. Raises 429
// when no programmatic creation is registered.
void CreateContractFromAPI();

}  // namespace kp
