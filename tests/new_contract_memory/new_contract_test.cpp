// A new contract saved from a type adjusted in memory: every record field by
// field, and the positions numbered by group.
#include <string>
#include <vector>

#include "memory_fixture.h"

namespace {

using memtest::D;
using nctest::At9;

class MemoryNewContract : public memtest::MemoryTest {
 protected:
  // Renamed, the first notice changed to 6 "Wochen".
  Edit Adjustment() {
    return [this](frmFEditDefinitions& e) {
      Rename("Wartung Sonder")(e);
      Choose(e.cboKuendFrist, "6");
      Choose(e.cboKuendEinh, "Wochen");
    };
  }
};

// A renewable type renamed and its first notice changed in memory; the other
// kinds write what the stored type's save writes (the differential tests).
TEST_F(MemoryNewContract, EveryRecordFieldByField) {
  host_->SetDatabaseSetting("CreateAppointment4AllContracts", "true");
  const std::string type = AddType(nctest::Merge(nctest::Sets("Vertrag", "Wartungsvertrag", "ja"),
                                                 {{"KuendigungsfristBezug", "Vertragsende"}}));
  AddPosition(type);
  const Run run = SaveAdjusted(D(2024, 1, 1), Adjustment(), [&](frmNewContract& f) {
    Discount(f, "10");
    user_.Type(f.txtMemo, "Notiz");
    user_.SetDate(f.DTPGeschlossenAm, std::nullopt);
    user_.Tick(f.chkRabattNurErsteLaufzeit);
  });
  ASSERT_TRUE(run.outcome.ok);
  EXPECT_FALSE(run.stayedOpen);
  EXPECT_EQ(run.outcome.count, 1);
  EXPECT_TRUE(Boxes().empty());

  const auto v = Only("kt_Vertraege");
  ExpectFields(v,
               {{"Typ", "D"}, {"VertragBeginn", D(2024, 1, 1)}, {"VertragEnde", D(2024, 12, 31)},
                {"GeschlossenAm", rt::kNoDate}, {"Memo", "Notiz"},
                {"Bezeichnung", "Wartung Sonder"},  // the adjusted name
                {"Art", int32_t{1}}, {"ArtStr", "verlängerbar"}, {"Dauer", int32_t{12}},
                {"Verlaengerungsdauer", int32_t{12}}, {"Zahlungsperiode", int32_t{3}},
                {"VerlaengerungsZahlungsperiode", int32_t{12}}, {"AktZahlungsperiode", int32_t{3}},
                {"AktZahlungsperiodeStr", "vierteljährlich"}, {"AktNaechsteRechnung", D(2024, 1, 1)},
                {"AktNaechsteRechnungStr", "20240101"},
                // The notice as the editor handed it over.
                {"Kuendigungsfrist", int32_t{6}}, {"KuendigungsfristEinh", "Wochen"},
                {"KuendigungsfristBezug", "Vertragsende"}, {"VerlKuendigungsfrist", int32_t{6}},
                {"VerlKuendigungsfristEinh", "Wochen"}, {"KuendfristDatum", D(2024, 11, 20)}, {"AktValue", 54.0},
                {"Verantwortlich", "Meier"}, {"ErfordertMerkmalGruppe", ""}, {"ErfordertMerkmal", ""},
                {"ErfordertWert", ""}, {"SetztMerkmalGruppe", "Vertrag"}, {"SetztMerkmal", "Wartungsvertrag"},
                {"SetztWert", "ja"}, {"VertragsDefinitionID", Only("kt_Vertragsdefinitionen")["ID"]},
                {"NoBooking", false}, {"Vertragnummer", "00000001"}, {"VerlaengerungsWorkflowID", "WF1"},
                {"RabattNurErsteLaufzeit", true}, {"Auftragsnummer", ""}},
               "contract");

  const auto s = Only("kt_Vertragsstaende");
  EXPECT_EQ(s.masterOid, v.oid);
  ExpectFields(s,
               {{"AlteFakturierung", false}, {"LaufTyp", ""}, {"LaufzeitStart", D(2024, 1, 1)},
                {"LaufzeitStartStr", "20240101"}, {"LaufzeitEnde", D(2024, 12, 31)}, {"LaufzeitEndeStr", "20241231"},
                {"Zahlungsperiode", int32_t{3}}, {"ZahlungsperiodeStr", "vierteljährlich"},
                {"RechnungWann", int32_t{0}}, {"NaechsteRechnung", D(2024, 1, 1)},
                {"NaechsteRechnungStr", "20240101"}, {"Value", 54.0}, {"Rabattprozent", 10.0}},
               "state");

  const auto p = Only("kt_Vertragspositionen");
  EXPECT_EQ(p.masterOid, s.oid);
  // The type's position as stored, at the contract's discount.
  ExpectFields(p,
               nctest::Merge(nctest::PositionDefaults(),
                             {{"Nettopreis", 27.0}, {"Rabattprozent", 10.0}, {"Auftragsnummer", ""}}),
               "position");

  const auto a = Rows("kt_VertragsAktivitaeten");
  std::vector<rt::Date> days;
  for (const auto& r : a) {
    EXPECT_EQ(r.masterOid, v.oid);
    ExpectFields(r, {{"Typ", "Termin"}, {"Erledigt", false}, {"Verantwortlich", "Meier"}}, "reminder");
    days.push_back(DateOf(r, "Datum"));
  }
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"Kündigungsfrist läuft am  20.11.2024  aus",
                                                  "Vertragsabschluss ist noch nicht erfolgt?"}));
  EXPECT_EQ(days, (std::vector<rt::Date>{At9(2024, 10, 9), At9(2024, 3, 12)}));
  // The reminder created last names itself in the contract.
  EXPECT_EQ(Str(v, "AlarmOID"), a.back().oid);

  ExpectFields(Only("Adressmerkmale"),
               {{"Gruppe", "Vertrag"}, {"Merkmal", "Wartungsvertrag"}, {"Wert", "ja"}, {"GültigVom", D(2024, 1, 1)},
                {"GültigBis", D(2024, 12, 31)}, {"Beschreibung", "00000001 / Wartung Sonder"}},
               "attribute");
  // The stored type stays as it was.
  EXPECT_EQ(Str(Only("kt_Vertragsdefinitionen"), "Bezeichnung"), "Wartung jährlich");
}

TEST_F(MemoryNewContract, PositionsAreNumberedByGroupInFirstSeenOrder) {
  struct Expected {
    const char* row;
    const char* number;
    const char* label;
    int32_t rank;
  };
  struct Case {
    const char* what;
    std::vector<std::string> labels;
    std::vector<Expected> inserted;
  };
  const Case cases[] = {
      {"B, A, B, empty, A",
       {"B", "A", "B", "", "A"},
       {{"001", "1", "B", 1}, {"003", "2", "B", 1}, {"002", "3", "A", 2}, {"005", "4", "A", 2}, {"004", "5", "", 3}}},
      {"one label everywhere: collection order", {"X", "X", "X"}, {{"001", "1", "X", 1}, {"002", "2", "X", 1}, {"003", "3", "X", 1}}},
      {"letter case counts", {"a", "A", "a"}, {{"001", "1", "a", 1}, {"003", "2", "a", 1}, {"002", "3", "A", 2}}},
      {"no positions", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clear();
    AddWartung();
    const Run run = SaveAdjusted(D(2024, 4, 1), {}, [&](frmNewContract&) { PositionsWithLabels(c.labels); });
    ASSERT_TRUE(run.outcome.ok);
    const auto rows = Rows("kt_Vertragspositionen");
    ASSERT_EQ(rows.size(), c.inserted.size());
    for (size_t i = 0; i < rows.size(); ++i) {
      const Expected& e = c.inserted[i];
      // The description tells the place in gPositions: "P<k>" for Row k.
      EXPECT_EQ(Str(rows[i], "Beschreibung"), "P" + std::to_string(std::stoi(e.row)));
      ExpectFields(rows[i],
                   {{"Row", e.row}, {"Positionsnummer", e.number}, {"Gruppierung", e.label},
                    {"Gruppierungsposition", e.rank}},
                   "position " + std::to_string(i + 1));
    }
  }
  // No collection at all: the state, no position, and the attribute step.
  Clear();
  AddWartung();
  EXPECT_TRUE(SaveAdjusted(D(2024, 4, 1), {}, [](frmNewContract&) { gPositions.reset(); }).outcome.ok);
  EXPECT_EQ(Rows("kt_Vertragsstaende").size(), 1u);
  EXPECT_TRUE(Rows("kt_Vertragspositionen").empty());
}

TEST_F(MemoryNewContract, AThousandthPositionIsRow1000AndAnUnknownArticleKeepsItsOwnAccount) {
  AddWartung();
  const Run run = SaveAdjusted(D(2024, 4, 1), {}, [](frmNewContract&) {
    PositionsWithLabels(std::vector<std::string>(1000, ""));
    auto last = rt::CastObject<kt_CPosition>(gPositions->Item(1000));
    last->ArtikelID = "A404";
    last->Erloeskonto = 4711;
  });
  ASSERT_TRUE(run.outcome.ok);
  const auto rows = Rows("kt_Vertragspositionen");
  ASSERT_EQ(rows.size(), 1000u);
  ExpectFields(rows[999], {{"Row", "1000"}, {"Positionsnummer", "1000"}, {"Erloeskonto", int32_t{4711}}}, "last");
  ExpectFields(rows[998], {{"Row", "999"}, {"Erloeskonto", int32_t{8400}}}, "999th");
}

// The copy shown again rounds each line total to cents, half to even: 0,5
// x 10,25 is 5,12, not 5,13, and so is the contract's value.
TEST_F(MemoryNewContract, AReopenedTypeRoundsEachLineTotalToCents) {
  AddPosition(AddType(), {{"Anzahl", 0.5}, {"Nettopreis", 10.25}});
  const Run run = SaveAdjusted(D(2024, 1, 1), {}, [&](frmNewContract& f) {
    Adjust(f, [](frmFEditDefinitions& e) { EXPECT_EQ(e.lvwPositionen.Item(1).SubItems(4), "5,12"); });
  });
  ASSERT_TRUE(run.outcome.ok);
  ExpectFields(Only("kt_Vertragsstaende"), {{"Value", 5.12}}, "state");
  ExpectFields(Only("kt_Vertraege"), {{"AktValue", 5.12}}, "contract");
}

}  // namespace
