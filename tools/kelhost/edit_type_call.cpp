#include "kelhost/edit_type_call.h"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "contract_types/frm_fedit_definitions.h"
#include "core/ckt.h"
#include "core/class_factory.h"
#include "kelhost/host_call.h"
#include "platform/object.h"
#include "platform/ui/script_player.h"
#include "platform/ui/service.h"

namespace kelhost {

namespace {

constexpr const char* kTypeTable = "kt_Vertragsdefinitionen";
constexpr const char* kPositionTable = "kt_DefinitionsPositionen";

// Runs the editor as one host call under `runner`, which installs the
// user's service for the call and runs it; records what the call tells of
// the run.
EditTypeRun RunEditor(host::sqlite::StandIn& host, const std::string& typeOid,
                      const std::function<HostCall(const std::function<void()>&)>& runner) {
  EditTypeRun run;
  auto ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
  if (!ckt) rt::RaiseRuntime(rt::errc::CannotCreateObject);
  std::shared_ptr<host::HostApplication> app = host.Application();
  const HostCall call = runner([&] {
    bool pbNew = typeOid.empty();
    ckt->EditContractDefinition(app, pbNew);
  });
  ckt.reset();
  run.refused = call.refused;
  run.raised = call.raised;
  run.typeOid = typeOid;
  if (typeOid.empty()) {
    for (const host::sqlite::WrittenRecord& w : call.written) {
      if (w.table == kTypeTable) {
        run.typeOid = w.row.oid;
        break;
      }
    }
  }
  return run;
}

// The front end's service, installed when the screen started, noting
// whether it showed a form and whether the first, the editor, ended saved.
class EditorScreen : public ui::Service {
 public:
  explicit EditorScreen(std::shared_ptr<ui::Service> screen) : screen_(std::move(screen)) {}
  ui::MsgResult MessageBox(std::string_view prompt, int style, std::optional<std::string_view> title) override {
    return screen_->MessageBox(prompt, style, title);
  }
  void ShowModal(ui::Form& form) override {
    const bool first = !shown;
    shown = true;
    screen_->ShowModal(form);
    if (!first) return;
    const auto* editor = dynamic_cast<const frmFEditDefinitions*>(&form);
    saved = editor != nullptr && editor->m_bSaved();
  }
  void DoEvents() override { screen_->DoEvents(); }
  bool shown = false;
  bool saved = false;

 private:
  std::shared_ptr<ui::Service> screen_;
};

}  // namespace

EditTypeRun RunEditType(host::sqlite::StandIn& host, const std::string& typeOid,
                        std::vector<ui::test::ScriptAction> script, std::ostream& boxes) {
  std::optional<ScriptedCall> scripted;
  EditTypeRun run = RunEditor(host, typeOid, [&](const std::function<void()>& call) {
    scripted = RunScriptedCall(host, std::move(script), boxes, call);
    return scripted->call;
  });
  run.failure = scripted->failure;
  const auto& displays = scripted->player->Displays();
  run.shown = !displays.empty();
  if (run.shown && displays.front().closedBy) {
    const ui::test::ScriptAction& closing = *displays.front().closedBy;
    run.saved = closing.verb == ui::test::Verb::Click && rt::NameEquals(closing.control, "cmdSave");
  }
  return run;
}

EditTypeRun RunEditTypeOnScreen(host::sqlite::StandIn& host, const std::string& typeOid) {
  auto screen = std::make_shared<EditorScreen>(ui::CurrentService());
  EditTypeRun run = RunEditor(host, typeOid, [&](const std::function<void()>& call) {
    return RunHostCallWith(host, screen, call);
  });
  run.shown = screen->shown;
  run.saved = screen->saved;
  return run;
}

void PrintContractType(std::ostream& out, host::sqlite::StandIn& host, const std::string& typeOid) {
  std::vector<host::sqlite::WrittenRecord> records;
  for (host::sqlite::Row& row : host.Rows(kTypeTable))
    if (row.oid == typeOid) records.push_back({kTypeTable, std::move(row)});
  for (host::sqlite::Row& row : host.Rows(kPositionTable))
    if (row.masterOid == typeOid) records.push_back({kPositionTable, std::move(row)});
  PrintRecords(out, records);
}

}  // namespace kelhost
