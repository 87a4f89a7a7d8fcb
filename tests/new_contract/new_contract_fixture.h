// Shared fixture of the new-contract dialog tests: the core tests' set-up
// (stand-in host in memory, scripted UI, today fixed) with the sample
// data loaded and a CKT made through the library's class factory.
//
// Contract types and their positions are inserted directly (AddType,
// AddPosition), so a test can make any type. The defaults are the worked
// example's "Wartung jährlich": receivable, renewable, 12 months paid
// quarterly, renewed for 12 months paid yearly, in advance, notice 3
// "Monate", renewal notice 6 "Wochen", NettoSumme 60; its position is
// article A1 twice at 30,00.
//
// The dialog is either shown through CKT.NewContract with a script
// (ShowThroughCkt) or created and initialised directly and driven unshown
// (OpenDialog); user_ acts on it as a person would.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/ckt.h"
#include "core/core_fixture.h"
#include "core/globals.h"
#include "core/records.h"
#include "new_contract/frm_new_contract.h"
#include "platform/date.h"
#include "platform/object.h"
#include "platform/ui/simulated_user.h"
#include "platform/variant.h"

// Reads the dialog's private state for the tests.
class NewContractPeer {
 public:
  static int32_t lArt(const frmNewContract& f) { return f.lArt; }
  static const std::string& sTyp(const frmNewContract& f) { return f.sTyp; }
  static int32_t lRechnungWann(const frmNewContract& f) { return f.lRechnungWann; }
  static int32_t lDauer(const frmNewContract& f) { return f.lDauer; }
  static int32_t lVerlaengerungsdauer(const frmNewContract& f) { return f.lVerlaengerungsdauer; }
  static int32_t lZahlungsperiode(const frmNewContract& f) { return f.lZahlungsperiode; }
  static int32_t lVerlaengerungsZahlungsperiode(const frmNewContract& f) {
    return f.lVerlaengerungsZahlungsperiode;
  }
  static bool bInitialized(const frmNewContract& f) { return f.bInitialized; }
  static bool bDefEdited(const frmNewContract& f) { return f.bDefEdited; }
  static const std::string& sAdressOid(const frmNewContract& f) { return f.sAdressOid; }
  static int32_t lSelectedIndex(const frmNewContract& f) { return f.lSelectedIndex; }
  static double dblRabattProzent(const frmNewContract& f) { return f.dblRabattProzent; }
  static rt::Date dLastListedStart(const frmNewContract& f) { return f.dLastListedStart; }
  static rt::Date dListEnd(const frmNewContract& f) { return f.dListEnd; }
  static std::string CurrentTypeOid(const frmNewContract& f) { return f.oDefinitionen->Oid(); }
  static double Round2(double x) { return frmNewContract::Round2(x); }
  // ApplyDiscount as a save with `percent` sees it.
  static double ApplyDiscount(frmNewContract& f, double x, double percent) {
    f.save_.percent = percent;
    return f.ApplyDiscount(x);
  }
  static void InitAgain(frmNewContract& f) { f.InitAgain(); }
};

namespace nctest {

using coretest::At9;
using coretest::Counts;
using coretest::D;
using coretest::Hr;
using coretest::kStorage;
using coretest::Merge;
using coretest::Values;

// The values with which a type sets an address attribute.
inline Values Sets(const std::string& group, const std::string& attribute, const std::string& value) {
  return {{"SetztMerkmalGruppe", group}, {"SetztMerkmal", attribute}, {"SetztWert", value}};
}

inline Values TypeDefaults() {
  return {{"Status", "freigegeben"},
          {"Typ", "D"},
          {"Bezeichnung", "Wartung jährlich"},
          {"Art", int32_t{1}},
          {"ArtStr", "verlängerbar"},
          {"Dauer", int32_t{12}},
          {"Verlaengerungsdauer", int32_t{12}},
          {"Kuendigungsfrist", int32_t{3}},
          {"KuendigungsfristEinh", "Monate"},
          {"VerlKuendigungsfrist", int32_t{6}},
          {"VerlKuendigungsfristEinh", "Wochen"},
          {"Zahlungsperiode", int32_t{3}},
          {"VerlaengerungsZahlungsperiode", int32_t{12}},
          {"RechnungWann", int32_t{0}},
          {"NettoSumme", 60.0},
          {"WorkflowID", "WF1"}};
}

inline Values PositionDefaults() {
  return {{"Artikel", "Wartung Basis"},
          {"Nettopreis", 30.0},
          {"Artikelnummer", "1001"},
          {"Artikelart", "DL"},
          {"Einheit", "Jahr"},
          {"UStSatz", 19.0},
          {"Beschreibung", "Basiswartung"},
          {"Anzahl", 2.0},
          {"Erloeskonto", int32_t{8400}},
          {"ArtikelID", "A1"},
          {"PreisM1", 2.5},
          {"PreisM3", 7.5},
          {"PreisM6", 15.0},
          {"PreisM12", 30.0},
          {"PreisM24", 60.0},
          {"PreisM36", 90.0},
          {"PreisM48", 120.0},
          {"PreisM60", 150.0},
          {"Preis", 30.0},
          {"NettoOhneRabatt", 30.0},
          {"Row", "001"},
          {"Positionsnummer", "1"},
          {"Gruppierung", "Wartung"},
          {"Gruppierungsposition", int32_t{1}}};
}

class NewContractTest : public coretest::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    host_->LoadSampleData();
    ckt_ = std::dynamic_pointer_cast<CKT>(rt::CreateObject("kelPaktor2.CKT"));
    ASSERT_NE(ckt_, nullptr);
  }
  void TearDown() override {
    ckt_.reset();
    CoreTest::TearDown();
  }

  // A contract type with the defaults changed by `overrides`; its id.
  std::string AddType(const Values& overrides = {}) {
    return host_->InsertRow("kt_Vertragsdefinitionen", Merge(TypeDefaults(), overrides));
  }
  std::string AddPosition(const std::string& typeOid, const Values& overrides = {}) {
    return host_->InsertRow("kt_DefinitionsPositionen", Merge(PositionDefaults(), overrides), typeOid);
  }
  // The worked example's type with its one position.
  std::string AddWartung() {
    const std::string oid = AddType();
    AddPosition(oid);
    return oid;
  }

  // gDefinition and gPositions as the editor hands over a copy of the type
  // `oid` adjusted for one contract: here a receivable one-off type of six
  // months, paid monthly in arrears, without booking.
  static std::shared_ptr<kt_CDefinition> Adjusted(const std::string& oid) {
    auto d = std::make_shared<kt_CDefinition>();
    d->DefOid = oid;
    d->Typ = "D";
    d->Art = 2;
    d->RechnungWann = 1;
    d->Dauer = 6;
    d->Zahlungsperiode = 1;
    d->NoBooking = true;
    gDefinition = d;
    gPositions = std::make_shared<rt::Collection>();
    return d;
  }

  // A dialog created as CKT creates it and initialised; InitNew must
  // succeed.
  std::unique_ptr<frmNewContract> OpenDialog() {
    auto f = NewDialog();
    EXPECT_TRUE(f->InitNew());
    return f;
  }
  static std::unique_ptr<frmNewContract> NewDialog() {
    auto f = std::make_unique<frmNewContract>();
    f->Create();
    return f;
  }

  struct Outcome {
    bool ok = false;
    int32_t count = -1;
    bool showDef = false;
  };
  // CKT.NewContract with `script` playing the modal display.
  Outcome ShowThroughCkt(std::function<void(frmNewContract&)> script) {
    ui_->OnModal<frmNewContract>(std::move(script));
    Outcome o;
    ckt_->NewContract(app_, o.ok, o.count, o.showDef);
    return o;
  }
  // Confirms the shown dialog as it stands.
  Outcome ConfirmThroughCkt() {
    return ShowThroughCkt([this](frmNewContract& f) { user_.Click(f.cmdOK); });
  }

  // The entries of a list or combo box.
  template <class List>
  static std::vector<std::string> Entries(const List& list) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < list.ListCount(); ++i) out.push_back(list.List(i));
    return out;
  }

  // Removes every type and every record a save writes, the number range
  // included, for the next case of a table.
  void Clear() {
    for (const char* t : {"kt_Vertragsdefinitionen", "kt_Vertraege", "kt_VertragsAktivitaeten", "kt_Vertragsstaende",
                          "kt_Vertragspositionen", "Adressmerkmale", "KMMD_Nummern"})
      host_->DeleteRows(t);
  }
  // The number range's counter ("" before the first number was drawn).
  std::string Counter() {
    const auto rows = Rows("KMMD_Nummern");
    return rows.empty() ? "" : Str(rows[0], "Nummer");
  }
  // The subjects of the reminders written, in write order.
  std::vector<std::string> Subjects() {
    std::vector<std::string> out;
    for (const auto& r : Rows("kt_VertragsAktivitaeten")) out.push_back(Str(r, "Betreff"));
    return out;
  }

  std::shared_ptr<CKT> ckt_;
  ui::test::User user_;
};

}  // namespace nctest
