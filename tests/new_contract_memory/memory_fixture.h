// Shared fixture of the tests of the save from a contract type adjusted in
// memory: the back-fill fixture (new-contract dialog, stand-in host
// in memory, scripted UI, today fixed) with the type adjusted the way a
// user does it: cmdDetails, the editor in new-contract mode, "Übernehmen".
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "contract_types/frm_fedit_definitions.h"
#include "core/globals.h"
#include "core/records.h"
#include "new_contract/back_fill_fixture.h"

namespace memtest {

using nctest::D;
using nctest::Values;

// The error text of 91, as the save's box shows it.
inline constexpr const char* kNoObject = "Objektvariable oder With-Blockvariable nicht festgelegt";

class MemoryTest : public nctest::BackFillTest {
 protected:
  using Edit = std::function<void(frmFEditDefinitions&)>;
  using Setup = std::function<void(frmNewContract&)>;

  // Opens the selected type in the editor from `f`, lets `edit` change it
  // and confirms it; no `edit`: confirmed unchanged. The dialog then holds
  // the adjusted type (gDefinition, gPositions).
  void Adjust(frmNewContract& f, const Edit& edit = {}) {
    ui_->OnModal<frmFEditDefinitions>([this, edit](frmFEditDefinitions& e) {
      if (edit) edit(e);
      EXPECT_TRUE(user_.Click(e.cmdSave));
      EXPECT_FALSE(e.IsShown()) << "the editor refused the type";
    });
    EXPECT_TRUE(user_.Click(f.cmdDetails));
    EXPECT_TRUE(NewContractPeer::bDefEdited(f));
  }

  // The editor renames the type.
  Edit Rename(const std::string& name) {
    return [this, name](frmFEditDefinitions& e) {
      user_.SelectAll(e.txtBezeichnung);
      user_.Paste(e.txtBezeichnung, name);
    };
  }

  // Selects the entry of `combo` whose text is `text` as the user does.
  void Choose(ui::ComboBox& combo, const std::string& text) {
    for (int32_t i = 0; i < combo.ListCount(); ++i)
      if (combo.List(i) == text) {
        EXPECT_TRUE(user_.Select(combo, i));
        return;
      }
    ADD_FAILURE() << "no entry " << text;
  }

  // Changes gDefinition as code outside the editor could, and lets the
  // dialog take the change over as after an edit.
  static void ChangeInMemory(frmNewContract& f, const std::function<void(kt_CDefinition&)>& change) {
    change(*gDefinition);
    NewContractPeer::InitAgain(f);
  }

  // gPositions set directly: one position per label, article A1 at
  // `price` with quantity 1, numbered in its description.
  static void PositionsWithLabels(const std::vector<std::string>& labels, double price = 10) {
    gPositions = std::make_shared<rt::Collection>();
    int n = 0;
    for (const std::string& label : labels) {
      auto p = std::make_shared<kt_CPosition>();
      p->Artikel = "Wartung Basis";
      p->ArtikelID = "A1";
      p->Beschreibung = "P" + std::to_string(++n);
      p->Anzahl = 1;
      p->NettoOhneRabatt = price;
      p->Nettopreis = price;
      p->Erloeskonto = 8400;
      p->Gruppierung = label;
      gPositions->Add(rt::Variant(p));
    }
  }

  struct Run {
    Outcome outcome;
    bool stayedOpen = false;
    std::string number;  // txtVertragnummer after the confirmation
  };
  // Shows the dialog through CKT: the start date, the type adjusted by
  // `edit`, then `setup`, then OK; a dialog left open is cancelled.
  Run SaveAdjusted(rt::Date start, const Edit& edit, const Setup& setup = {}) {
    Run r;
    r.outcome = ShowThroughCkt([&](frmNewContract& f) {
      user_.SetDate(f.DTPVertragBeginn, start);
      Adjust(f, edit);
      if (setup) setup(f);
      user_.Click(f.cmdOK);
      r.stayedOpen = f.IsShown();
      r.number = f.txtVertragnummer.Text();
      if (r.stayedOpen) user_.Click(f.cmdCancel);
    });
    return r;
  }
  // The same for a contract with already invoiced periods: after `setup`,
  // chkOldContract ticked and entry `k` selected (none when negative).
  Run BackFillAdjusted(rt::Date start, int32_t k, const Edit& edit, const Setup& setup = {}) {
    return SaveAdjusted(start, edit, [&](frmNewContract& f) {
      if (setup) setup(f);
      user_.Tick(f.chkOldContract);
      if (k >= 0) user_.Select(f.lstInvoices, k);
    });
  }
};

}  // namespace memtest
