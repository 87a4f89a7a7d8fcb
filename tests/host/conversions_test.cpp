// Values put into fields: conversion to the field type, sizes, and the
// SQLite storage of each type.
#include <sqlite3.h>

#include <cmath>

#include "host_fixture.h"

namespace host_test {
namespace {

// A value for trace messages; "?" where it has no text.
std::string Show(const rt::Variant& v) {
  try {
    return rt::CStr(v);
  } catch (const rt::Error&) {
    return "?";
  }
}

// A contract type with one position, and a contract under the current address.
class HostConversions : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    InsertNew(Table("kt_Vertragsdefinitionen"), {{"Bezeichnung", "T"}});
    InsertNew(Table("kt_DefinitionsPositionen"), {{"Artikel", "x"}});
    InsertNew(Table("kt_Vertraege"), {{"Typ", "D"}});
  }
  // The value as the view reads it and as the file holds it after Update.
  std::pair<rt::Variant, rt::Variant> PutUpdateRead(const std::string& table, const std::string& field,
                                                    const rt::Variant& v) {
    auto t = Table(table);
    Put(t, field, v);
    t->Update(256);
    return {Get(t, field), host->Rows(table).at(0)[field]};
  }
};

TEST_F(HostConversions, PutsConvertToTheFieldType) {
  const std::string kPos = "kt_DefinitionsPositionen", kContract = "kt_Vertraege";
  struct Case {
    const std::string& table;
    const char* field;
    rt::Variant in, stored;
  };
  const Case cases[] = {
      // Text into numbers in the German locale; empty text is 0.
      {kPos, "Nettopreis", "10,50", 10.5},
      {kPos, "Nettopreis", " 21,00 ", 21.0},
      {kPos, "Nettopreis", "", 0.0},
      {kPos, "Erloeskonto", "8400", int32_t{8400}},
      {kPos, "Gruppierungsposition", int16_t{2}, int32_t{2}},
      {kPos, "Anzahl", true, -1.0},
      // Numbers into text are their plain decimal text; texts stay texts.
      {kPos, "Row", 7.25, "7,25"},
      {kPos, "Positionsnummer", int32_t{12}, "12"},
      {kPos, "Row", "001", "001"},
      {kPos, "Row", rt::Variant(), ""},
      {kPos, "Row", rt::Variant::Null(), ""},
      // Dates: a date, a 16-bit 0, text, the last day, a serial with a time.
      {kContract, "VertragBeginn", rt::DateSerial(2026, 1, 15), rt::DateSerial(2026, 1, 15)},
      {kContract, "VertragEnde", int16_t{0}, rt::kNoDate},
      {kContract, "GeschlossenAm", "01.02.2026", rt::DateSerial(2026, 2, 1)},
      {kContract, "AktNaechsteRechnung", rt::kMaxDate, rt::kMaxDate},
      {kContract, "KuendfristDatum", 46000.375, rt::Date{46000.375}},
      // Booleans from numbers and text.
      {kContract, "NoBooking", int32_t{1}, true},
      {kContract, "RabattNurErsteLaufzeit", "False", false},
      {kContract, "RabattNurErsteLaufzeit", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " <- " + Show(c.in));
    const auto [read, stored] = PutUpdateRead(c.table, c.field, c.in);
    EXPECT_EQ(read, c.stored);
    EXPECT_EQ(stored, c.stored);
  }
}

TEST_F(HostConversions, ValuesThatDoNotFitAreRefusedAndLeaveTheField) {
  const std::string kPos = "kt_DefinitionsPositionen", kContract = "kt_Vertraege";
  struct Case {
    const std::string& table;
    const char* field;
    rt::Variant in;
    int32_t error;
  };
  const Case cases[] = {
      {kPos, "Nettopreis", "abc", hosterr::NotConvertible},
      {kPos, "Nettopreis", "1.5", hosterr::NotConvertible},
      {kPos, "Nettopreis", "10,5 €", hosterr::NotConvertible},
      {kPos, "Nettopreis", rt::Variant(rt::Array{}), hosterr::NotConvertible},
      {kPos, "Nettopreis", std::nan(""), hosterr::NotConvertible},
      {kPos, "Nettopreis", -HUGE_VAL, hosterr::NotConvertible},
      {kPos, "Erloeskonto", "99999999999", hosterr::NotConvertible},
      {kPos, "Row", "12345678901", hosterr::TextTooLong},
      {kContract, "VertragBeginn", "morgen", hosterr::NotConvertible},
      {kContract, "VertragBeginn", 3000000.0, hosterr::NotConvertible},
      {kContract, "VertragBeginn", true, hosterr::NotConvertible},
      {kContract, "VertragBeginn", rt::Date{3000000.0}, hosterr::NotConvertible},
      {kContract, "VertragBeginn", rt::Date{std::nan("")}, hosterr::NotConvertible},
      {kContract, "GeschlossenAm", false, hosterr::NotConvertible},
      {kContract, "NoBooking", "vielleicht", hosterr::NotConvertible},
      {kContract, "NoBooking", std::nan(""), hosterr::NotConvertible},
      {kContract, "NoBooking", HUGE_VAL, hosterr::NotConvertible},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " <- " + Show(c.in));
    auto t = Table(c.table);
    const rt::Variant before = Get(t, c.field);
    EXPECT_EQ(ErrorOf([&] { Put(t, c.field, c.in); }), c.error);
    t->Update(256);
    EXPECT_EQ(host->Rows(c.table).at(0)[c.field], before);
  }
}

TEST_F(HostConversions, SizesCountCharactersAndCanBeNarrowed) {
  auto t = Table("kt_DefinitionsPositionen");
  EXPECT_EQ(PutUpdateRead("kt_DefinitionsPositionen", "Row", "1234567890").second, rt::Variant("1234567890"));
  host->SetFieldSize("kt_DefinitionsPositionen", "Einheit", 5);
  EXPECT_EQ(t->Fields()->Item("Einheit")->Size(), 5);
  EXPECT_EQ(PutUpdateRead("kt_DefinitionsPositionen", "Einheit", "Stück").second, rt::Variant("Stück"));
  EXPECT_EQ(ErrorOf([&] { Put(t, "Einheit", "Stücke"); }), hosterr::TextTooLong);
  EXPECT_GE(t->Fields()->Item("Beschreibung")->Size(), 10000);
}

TEST_F(HostConversions, DocumentsAreCopiedAsTheyAre) {
  auto types = Table("kt_Vertragsdefinitionen");
  InsertNew(types, {{"Bezeichnung", "mit Dokument"}, {"Dokument", host::sqlite::NewDocument("Vertrag.pdf")}});
  InsertNew(Table("kt_Vertragsstaende"), {{"Dokument", Get(types, "Dokument")}});
  EXPECT_EQ(host::sqlite::DocumentContent(host->Rows("kt_Vertragsstaende").at(0)["Dokument"]), "Vertrag.pdf");
  EXPECT_EQ(ErrorOf([&] { Put(types, "Dokument", std::make_shared<rt::Collection>()); }),
            hosterr::NotConvertible);
  Put(types, "Dokument", rt::Variant(rt::ObjectPtr()));
  types->Update(256);
  EXPECT_TRUE(Get(types, "Dokument").IsNothing());
}

// What the sqlite3 shell sees: texts stay texts, dates are serials, date 0 is
// 0.0, Booleans 0/1, every identifier usable however SQL spells it.
TEST(HostStorage, ColumnsHoldTheirTypesInTheFile) {
  TempDatabase file("host_storage");
  {
    auto host = host::sqlite::StandIn::Create(file.path(), true);
    host->InsertRow("kt_Vertraege",
                    {{"Vertragnummer", "00000001"},
                     {"VertragBeginn", rt::DateSerial(2026, 1, 1)},
                     {"NoBooking", true},
                     {"AktValue", 1.5},
                     {"Dauer", int32_t{12}}},
                    host->Rows("Adressen")[0].oid);
    host->InsertRow("kt_Vertragsdefinitionen", {{"Bezeichnung", "T"}});
    host->InsertRow("kt_DefinitionsPositionen", {{"Row", "001"}},
                    host->Rows("kt_Vertragsdefinitionen")[0].oid);
  }
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.path().c_str(), &db), SQLITE_OK);
  auto one = [&](const char* sql) {
    sqlite3_stmt* s = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &s, nullptr), SQLITE_OK) << sql;
    std::string out;
    if (s && sqlite3_step(s) == SQLITE_ROW) {
      for (int i = 0; i < sqlite3_column_count(s); ++i) {
        if (i) out += "|";
        const unsigned char* p = sqlite3_column_text(s, i);
        out += p ? reinterpret_cast<const char*>(p) : "NULL";
      }
    }
    sqlite3_finalize(s);
    return out;
  };
  EXPECT_EQ(one("SELECT typeof(Vertragnummer), Vertragnummer, typeof(VertragBeginn), VertragBeginn,"
                " typeof(VertragEnde), VertragEnde, typeof(NoBooking), NoBooking, typeof(Dauer),"
                " typeof(AktValue), typeof(Memo) FROM kt_Vertraege"),
            "text|00000001|real|46023.0|real|0.0|integer|1|integer|real|text");
  EXPECT_EQ(one("SELECT \"Row\", typeof(\"Row\") FROM kt_DefinitionsPositionen"), "001|text");
  EXPECT_EQ(one("SELECT count(*) FROM \"Artikel\" WHERE \"UStSatz\" = 19 AND \"Erloeskonto\" = 8400"), "9");
  EXPECT_EQ(one("PRAGMA journal_mode"), "wal");
  sqlite3_close(db);
}

}  // namespace
}  // namespace host_test
