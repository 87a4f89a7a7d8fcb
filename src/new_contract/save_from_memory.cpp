// The save from a contract type adjusted in memory for one contract: the
// type's values from gDefinition, its positions from gPositions, and only
// the stored record's ID and Dokument. Everything else is the save from a
// stored type (confirmation.cpp and the files it calls), run on these values.
#include <memory>
#include <string>
#include <vector>

#include "core/addon_error.h"
#include "core/contract_writing.h"
#include "core/globals.h"
#include "core/records.h"
#include "core/tables.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/error.h"
#include "platform/format.h"
#include "platform/number.h"
#include "platform/object.h"

bool frmNewContract::SaveFromMemory() {
  try {
    OpenSaveTables();
    TakeSaveValues();
    if (!ContractNumberGiven()) return false;
    TakeMemoryType();
    return SaveContract();
  } catch (...) {
    ShowOwnErrorBox(new_contract::kErrSource, ".SaveFromMemory", rt::CurrentError());
    return false;
  }
}

void frmNewContract::TakeMemoryType() {
  // Released from outside while the dialog still holds the adjustment: 91,
  // before anything is written.
  const kt_CDefinition& d = *rt::Need(gDefinition);
  save_.fromMemory = true;
  save_.datesBeforeWrites = true;
  TypeValues& t = save_.type;
  t.Bezeichnung = d.Bezeichnung;
  t.Art = d.Art;
  t.ArtStr = d.ArtStr;
  t.Kuendigungsfrist = d.Kuendigungsfrist;
  t.KuendigungsfristEinh = d.KuendigungsfristEinh;
  t.KuendigungsfristBezug = d.KuendigungsfristBezug;
  t.VerlKuendigungsfrist = d.VerlKuendigungsfrist;
  t.VerlKuendigungsfristEinh = d.VerlKuendigungsfristEinh;
  t.NettoSumme = d.NettoSumme;
  t.ErfordertMerkmalGruppe = d.ErfordertMerkmalGruppe;
  t.ErfordertMerkmal = d.ErfordertMerkmal;
  t.ErfordertWert = d.ErfordertWert;
  // The contract still refers to the stored type and takes its document.
  t.ID = new_contract::Text(oDefinitionen, "ID");
  t.Dokument = kp::FieldValue(oDefinitionen, "Dokument");
  save_.group = d.SetztMerkmalGruppe;
  save_.attribute = d.SetztMerkmal;
  save_.value = d.SetztWert;
  save_.describedAs = d.Bezeichnung;
  save_.workflowId = d.VerlaengerungsWorkflowID;
}

std::vector<kp::ContractPosition> frmNewContract::MemoryTypePositions() {
  std::vector<kp::ContractPosition> lines;
  const std::shared_ptr<rt::Collection> positions = gPositions;
  if (!positions) return lines;  // no collection: no positions
  // A type holds at most 32 767 positions: the place is a 16-bit count.
  rt::For16(1, positions->Count(), [&](int16_t i) {
    const std::shared_ptr<kt_CPosition> source = rt::CastObject<kt_CPosition>(positions->Item(i));
    const kt_CPosition& s = *source;
    kp::ContractPosition& p = lines.emplace_back();
    kp::CopyArticleAndPrices(s, p);
    p.Row = rt::FormatNumber(i, "000");
    p.Gruppierung = s.Gruppierung;
  });
  return lines;
}
