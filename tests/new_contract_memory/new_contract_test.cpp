// A new contract saved from a type adjusted in memory: every record of each
// kind field by field, and the positions numbered by group.
#include <string>
#include <vector>

#include "memory_fixture.h"
#include "platform/format.h"

namespace {

using memtest::D;
using memtest::Values;
using nctest::At9;
using rt::Variant;

class MemoryNewContract : public memtest::MemoryTest {
 protected:
  // Renamed; a renewable type's first notice changed to 6 "Wochen".
  Edit Adjustment() {
    return [this](frmFEditDefinitions& e) {
      Rename("Wartung Sonder")(e);
      if (e.cboKuendEinh.Enabled() && e.chkVerlaengerbar.Value() == ui::CheckBox::Checked) {
        Choose(e.cboKuendFrist, "6");
        Choose(e.cboKuendEinh, "Wochen");
      }
    };
  }
};

TEST_F(MemoryNewContract, EachKindFieldByField) {
  struct Case {
    const char* what;
    Values type;
    rt::Date start;
    bool concluded;
    Values contract;  // what differs by kind
    Values state;
    std::vector<std::string> reminders;
    std::vector<rt::Date> reminderDays;
    rt::Date validTo;
  };
  const Case cases[] = {
      {"renewable: notice 6 Wochen, in advance",
       {},
       D(2024, 1, 1),
       false,
       {{"VertragEnde", Variant(D(2024, 12, 31))},
        {"GeschlossenAm", Variant(rt::kNoDate)},
        {"Art", int32_t{1}},
        {"ArtStr", "verlängerbar"},
        {"Dauer", int32_t{12}},
        {"Verlaengerungsdauer", int32_t{12}},
        {"Zahlungsperiode", int32_t{3}},
        {"VerlaengerungsZahlungsperiode", int32_t{12}},
        {"AktZahlungsperiode", int32_t{3}},
        {"AktZahlungsperiodeStr", "vierteljährlich"},
        {"AktNaechsteRechnung", Variant(D(2024, 1, 1))},
        {"AktNaechsteRechnungStr", "20240101"},
        {"Kuendigungsfrist", int32_t{6}},
        {"KuendigungsfristEinh", "Wochen"},
        {"KuendfristDatum", Variant(D(2024, 11, 20))},
        {"VerlaengerungsWorkflowID", "WF1"},
        {"RabattNurErsteLaufzeit", true}},
       {{"LaufzeitEnde", Variant(D(2024, 12, 31))},
        {"LaufzeitEndeStr", "20241231"},
        {"Zahlungsperiode", int32_t{3}},
        {"ZahlungsperiodeStr", "vierteljährlich"},
        {"RechnungWann", int32_t{0}},
        {"NaechsteRechnung", Variant(D(2024, 1, 1))},
        {"NaechsteRechnungStr", "20240101"}},
       {"Kündigungsfrist läuft am  20.11.2024  aus", "Vertragsabschluss ist noch nicht erfolgt?"},
       {At9(2024, 10, 9), At9(2024, 3, 12)},
       D(2024, 12, 31)},
      {"one-off, in arrears",
       {{"Art", int32_t{2}}, {"ArtStr", "einmalig"}, {"RechnungWann", int32_t{1}}, {"WorkflowID", ""}},
       D(2024, 2, 15),
       false,
       {{"VertragEnde", Variant(D(2025, 2, 14))},
        {"GeschlossenAm", Variant(rt::kNoDate)},
        {"Art", int32_t{2}},
        {"ArtStr", "einmalig"},
        {"AktNaechsteRechnung", Variant(D(2024, 5, 15))},
        {"AktNaechsteRechnungStr", "20240515"},
        {"KuendfristDatum", Variant(rt::kNoDate)},
        {"VerlaengerungsWorkflowID", ""},
        {"RabattNurErsteLaufzeit", false}},
       {{"LaufzeitEnde", Variant(D(2025, 2, 14))},
        {"LaufzeitEndeStr", "20250214"},
        {"RechnungWann", int32_t{1}},
        {"NaechsteRechnung", Variant(D(2024, 5, 15))},
        {"NaechsteRechnungStr", "20240515"}},
       {"Vertrag läuft am  14.02.2025  aus", "Vertragsabschluss ist noch nicht erfolgt?"},
       {At9(2025, 1, 17), At9(2024, 3, 12)},
       D(2025, 2, 14)},
      {"open-ended, concluded",
       {{"Art", int32_t{3}},
        {"ArtStr", "unbefristet"},
        {"Dauer", int32_t{0}},
        {"Verlaengerungsdauer", int32_t{0}},
        {"Zahlungsperiode", int32_t{1}},
        {"WorkflowID", ""}},
       D(2024, 4, 1),
       true,
       {{"VertragEnde", Variant(rt::kNoDate)},
        {"GeschlossenAm", Variant(D(2024, 4, 1))},
        {"Art", int32_t{3}},
        {"Dauer", int32_t{0}},
        {"AktZahlungsperiodeStr", "monatlich"},
        {"AktNaechsteRechnung", Variant(D(2024, 4, 1))},
        {"KuendfristDatum", Variant(rt::kNoDate)}},
       {{"LaufzeitEnde", Variant(rt::kNoDate)},
        {"LaufzeitEndeStr", "18991230"},
        {"Zahlungsperiode", int32_t{1}},
        {"ZahlungsperiodeStr", "monatlich"},
        {"NaechsteRechnungStr", "20240401"}},
       {},
       {},
       rt::kNoDate},
  };
  host_->SetDatabaseSetting("CreateAppointment4AllContracts", "true");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clear();
    const std::string type = AddType(nctest::Merge(
        {{"SetztMerkmalGruppe", "Vertrag"},
         {"SetztMerkmal", "Wartungsvertrag"},
         {"SetztWert", "ja"},
         {"KuendigungsfristBezug", "Vertragsende"}},
        c.type));
    AddPosition(type);
    const Run run = SaveAdjusted(c.start, Adjustment(), [&](frmNewContract& f) {
      Discount(f, "10");
      user_.Type(f.txtMemo, "Notiz");
      if (!c.concluded) user_.SetDate(f.DTPGeschlossenAm, std::nullopt);
      // Enabled for renewable types only; ticked from code for the others.
      f.chkRabattNurErsteLaufzeit.SetValue(ui::CheckBox::Checked);
    });
    ASSERT_TRUE(run.outcome.ok);
    EXPECT_FALSE(run.stayedOpen);
    EXPECT_EQ(run.outcome.count, 1);

    const auto v = Only("kt_Vertraege");
    ExpectFields(v,
                 nctest::Merge({{"Typ", "D"},
                                {"VertragBeginn", Variant(c.start)},
                                {"Memo", "Notiz"},
                                {"Bezeichnung", "Wartung Sonder"},  // the adjusted name
                                // The notice periods as the editor handed them over.
                                {"Kuendigungsfrist", gDefinition->Kuendigungsfrist},
                                {"KuendigungsfristEinh", gDefinition->KuendigungsfristEinh},
                                {"KuendigungsfristBezug", "Vertragsende"},
                                {"VerlKuendigungsfrist", gDefinition->VerlKuendigungsfrist},
                                {"VerlKuendigungsfristEinh", gDefinition->VerlKuendigungsfristEinh},
                                {"AktValue", 54.0},
                                {"Verantwortlich", "Meier"},
                                {"ErfordertMerkmalGruppe", ""},
                                {"ErfordertMerkmal", ""},
                                {"ErfordertWert", ""},
                                {"SetztMerkmalGruppe", "Vertrag"},
                                {"SetztMerkmal", "Wartungsvertrag"},
                                {"SetztWert", "ja"},
                                {"VertragsDefinitionID", Str(Only("kt_Vertragsdefinitionen"), "ID")},
                                {"NoBooking", false},
                                {"Vertragnummer", "00000001"},
                                {"Auftragsnummer", ""}},
                               c.contract),
                 "contract");

    const auto s = Only("kt_Vertragsstaende");
    EXPECT_EQ(s.masterOid, v.oid);
    ExpectFields(s,
                 nctest::Merge({{"AlteFakturierung", false},
                                {"LaufTyp", ""},
                                {"LaufzeitStart", Variant(c.start)},
                                {"LaufzeitStartStr", rt::FormatDate(c.start, "yyyyMMdd")},
                                {"Value", 54.0},
                                {"Rabattprozent", 10.0}},
                               c.state),
                 "state");

    const auto p = Only("kt_Vertragspositionen");
    EXPECT_EQ(p.masterOid, s.oid);
    // The type's position as stored, at the contract's discount.
    ExpectFields(p,
                 nctest::Merge(nctest::PositionDefaults(),
                               {{"Nettopreis", 27.0}, {"Rabattprozent", 10.0}, {"Auftragsnummer", ""}}),
                 "position");

    const auto a = Rows("kt_VertragsAktivitaeten");
    std::vector<std::string> subjects;
    std::vector<rt::Date> days;
    for (const auto& r : a) {
      EXPECT_EQ(r.masterOid, v.oid);
      ExpectFields(r, {{"Typ", "Termin"}, {"Erledigt", false}, {"Verantwortlich", "Meier"}}, "reminder");
      subjects.push_back(Str(r, "Betreff"));
      days.push_back(DateOf(r, "Datum"));
    }
    EXPECT_EQ(subjects, c.reminders);
    EXPECT_EQ(days, c.reminderDays);
    // The reminder created last names itself in the contract.
    EXPECT_EQ(Str(v, "AlarmOID"), a.empty() ? "" : a.back().oid);

    ExpectFields(Only("Adressmerkmale"),
                 {{"Gruppe", "Vertrag"},
                  {"Merkmal", "Wartungsvertrag"},
                  {"Wert", "ja"},
                  {"GültigVom", Variant(c.start)},
                  {"GültigBis", Variant(c.validTo)},
                  {"Beschreibung", "00000001 / Wartung Sonder"}},
                 "attribute");
  }
  EXPECT_TRUE(Boxes().empty());
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

}  // namespace
