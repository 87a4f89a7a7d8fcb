// Shared fixture of the tests of a contract entered with already invoiced
// periods: the new-contract fixture, the worked examples' types, and a run
// of the dialog that ticks chkOldContract, selects the last invoiced period
// and confirms.
#pragma once

#include <functional>
#include <string>

#include "new_contract_fixture.h"

namespace nctest {

class BackFillTest : public NewContractTest {
 protected:
  // The worked examples' renewable type: a year paid quarterly, renewed by
  // years paid quarterly, three months' notice in both, in advance;
  // NettoSumme 100 and one position, four times 25,00, priced 20,00 a
  // quarter and 90,00 a year in renewal terms. It sets the attribute
  // "Vertrag" / "Wartungsvertrag" = "ja".
  std::string AddQuarterly(const Values& overrides = {}, const Values& position = {}) {
    const std::string oid = AddType(Merge({{"VerlaengerungsZahlungsperiode", int32_t{3}},
                                           {"VerlKuendigungsfrist", int32_t{3}},
                                           {"VerlKuendigungsfristEinh", "Monate"},
                                           {"NettoSumme", 100.0},
                                           {"SetztMerkmalGruppe", "Vertrag"},
                                           {"SetztMerkmal", "Wartungsvertrag"},
                                           {"SetztWert", "ja"}},
                                          overrides));
    AddPosition(oid, Merge({{"Anzahl", 4.0},
                            {"Nettopreis", 25.0},
                            {"NettoOhneRabatt", 25.0},
                            {"PreisM3", 20.0},
                            {"PreisM12", 90.0}},
                           position));
    return oid;
  }

  struct Run {
    Outcome outcome;
    bool stayedOpen = false;
    std::string discountShown;  // txtRabatt after the confirmation
  };
  // Shows the dialog through CKT: the start date, then `setup`, then ticks
  // chkOldContract, selects entry `k` (none when negative) and confirms;
  // a dialog left open is cancelled.
  Run BackFill(rt::Date start, int32_t k, const std::function<void(frmNewContract&)>& setup = {}) {
    Run r;
    r.outcome = ShowThroughCkt([&](frmNewContract& f) {
      user_.SetDate(f.DTPVertragBeginn, start);
      if (setup) setup(f);
      user_.Tick(f.chkOldContract);
      if (k >= 0) user_.Select(f.lstInvoices, k);
      user_.Click(f.cmdOK);
      r.stayedOpen = f.IsShown();
      r.discountShown = f.txtRabatt.Text();
      if (r.stayedOpen) user_.Click(f.cmdCancel);
    });
    return r;
  }

  // Enters a discount of `percent` as the user types it.
  void Discount(frmNewContract& f, const std::string& percent) {
    user_.SelectAll(f.txtRabatt);
    user_.Type(f.txtRabatt, percent);
  }
};

}  // namespace nctest
