#include "kelhost/edit_type_call.h"

#include <memory>

#include "core/ckt.h"
#include "core/class_factory.h"
#include "kelhost/host_call.h"
#include "platform/object.h"
#include "platform/ui/script_player.h"

namespace kelhost {

namespace {

constexpr const char* kTypeTable = "kt_Vertragsdefinitionen";
constexpr const char* kPositionTable = "kt_DefinitionsPositionen";

}  // namespace

EditTypeRun RunEditType(host::sqlite::StandIn& host, const std::string& typeOid,
                        std::vector<ui::test::ScriptAction> script, std::ostream& boxes) {
  EditTypeRun run;
  auto ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
  if (!ckt) rt::RaiseRuntime(rt::errc::CannotCreateObject);
  std::shared_ptr<host::HostApplication> app = host.Application();
  const ScriptedCall scripted = RunScriptedCall(host, std::move(script), boxes, [&] {
    bool pbNew = typeOid.empty();
    ckt->EditContractDefinition(app, pbNew);
  });
  const HostCall& call = scripted.call;
  ckt.reset();
  run.failure = scripted.failure;
  run.ran = call.ran;
  run.raised = call.raised;
  const auto& displays = scripted.player->Displays();
  run.shown = !displays.empty();
  if (run.shown && displays.front().closedBy) {
    const ui::test::ScriptAction& closing = *displays.front().closedBy;
    run.saved = closing.verb == ui::test::Verb::Click && rt::NameEquals(closing.control, "cmdSave");
  }
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

void PrintContractType(std::ostream& out, host::sqlite::StandIn& host, const std::string& typeOid) {
  std::vector<host::sqlite::WrittenRecord> records;
  for (host::sqlite::Row& row : host.Rows(kTypeTable))
    if (row.oid == typeOid) records.push_back({kTypeTable, std::move(row)});
  for (host::sqlite::Row& row : host.Rows(kPositionTable))
    if (row.masterOid == typeOid) records.push_back({kPositionTable, std::move(row)});
  PrintRecords(out, records);
}

}  // namespace kelhost
