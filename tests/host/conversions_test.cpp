// Values put into fields: conversion to the field type, sizes, and the
// SQLite storage of each type.
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "host/sqlite/errors.h"
#include "host_fixture.h"

namespace host_test {
namespace {

using HostConversions = HostTest;
namespace hosterr = host::sqlite::hosterr;

class HostConversionsOnPositions : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    InsertNew(Table("kt_Vertragsdefinitionen"), {{"Bezeichnung", "T"}});
    t = Table("kt_DefinitionsPositionen");
    InsertNew(t, {{"Artikel", "x"}});
  }
  rt::Variant PutGet(const std::string& field, const rt::Variant& v) {
    Put(t, field, v);
    t->Update(256);
    return Get(t, field);
  }
  std::shared_ptr<host::DbTable> t;
};

TEST_F(HostConversionsOnPositions, TextIntoNumbersIsReadInTheGermanLocale) {
  EXPECT_EQ(PutGet("Nettopreis", "10,50"), rt::Variant(10.5));
  EXPECT_EQ(PutGet("Nettopreis", " 21,00 "), rt::Variant(21.0));
  EXPECT_EQ(PutGet("Nettopreis", ""), rt::Variant(0.0));
  EXPECT_EQ(PutGet("Erloeskonto", "8400"), rt::Variant(int32_t{8400}));
  EXPECT_EQ(PutGet("Gruppierungsposition", int16_t{2}), rt::Variant(int32_t{2}));
  EXPECT_EQ(PutGet("Anzahl", true), rt::Variant(-1.0));
  for (const char* bad : {"abc", "1.5", "10,5 €"}) {
    EXPECT_EQ(ErrorOf([&] { Put(t, "Nettopreis", bad); }), hosterr::NotConvertible) << bad;
  }
  EXPECT_EQ(ErrorOf([&] { Put(t, "Erloeskonto", "99999999999"); }), hosterr::NotConvertible);
  EXPECT_EQ(ErrorOf([&] { Put(t, "Nettopreis", rt::Variant(rt::Array{})); }), hosterr::NotConvertible);
  // A refused put leaves the field as it was.
  t->Update(256);
  EXPECT_EQ(Get(t, "Nettopreis"), rt::Variant(0.0));
}

TEST_F(HostConversionsOnPositions, NumbersIntoTextAreTheirPlainDecimalText) {
  EXPECT_EQ(PutGet("Row", 7.25), rt::Variant("7,25"));
  EXPECT_EQ(PutGet("Positionsnummer", int32_t{12}), rt::Variant("12"));
  EXPECT_EQ(PutGet("Row", "001"), rt::Variant("001"));
  EXPECT_EQ(PutGet("Row", rt::Variant()), rt::Variant(""));
  EXPECT_EQ(PutGet("Row", rt::Variant::Null()), rt::Variant(""));
}

TEST_F(HostConversionsOnPositions, TextLongerThanTheFieldIsRefused) {
  EXPECT_EQ(Get(t, "Row").AsString(), "");
  EXPECT_EQ(ErrorOf([&] { Put(t, "Row", "12345678901"); }), hosterr::TextTooLong);
  EXPECT_EQ(PutGet("Row", "1234567890"), rt::Variant("1234567890"));
  // Sizes count characters, and a narrower size can be declared.
  host->SetFieldSize("kt_DefinitionsPositionen", "Einheit", 5);
  EXPECT_EQ(t->Fields()->Item("Einheit")->Size(), 5);
  EXPECT_EQ(PutGet("Einheit", "Stück"), rt::Variant("Stück"));
  EXPECT_EQ(ErrorOf([&] { Put(t, "Einheit", "Stücke"); }), hosterr::TextTooLong);
  EXPECT_GE(t->Fields()->Item("Beschreibung")->Size(), 10000);
}

TEST_F(HostConversions, DatesBooleansAndDocuments) {
  auto contracts = Table("kt_Vertraege");
  InsertNew(contracts, {{"VertragBeginn", rt::DateSerial(2026, 1, 15)},
                        {"VertragEnde", int16_t{0}},
                        {"GeschlossenAm", "01.02.2026"},
                        {"AktNaechsteRechnung", rt::kMaxDate},
                        {"KuendfristDatum", 46000.375},
                        {"NoBooking", int32_t{1}},
                        {"RabattNurErsteLaufzeit", "False"}});
  const auto row = host->Rows("kt_Vertraege").at(0);
  EXPECT_EQ(row["VertragBeginn"], rt::Variant(rt::DateSerial(2026, 1, 15)));
  EXPECT_EQ(row["VertragEnde"], rt::Variant(rt::kNoDate));
  EXPECT_EQ(row["GeschlossenAm"], rt::Variant(rt::DateSerial(2026, 2, 1)));
  EXPECT_EQ(row["AktNaechsteRechnung"], rt::Variant(rt::kMaxDate));
  EXPECT_EQ(row["KuendfristDatum"], rt::Variant(rt::Date{46000.375}));
  EXPECT_EQ(row["NoBooking"], rt::Variant(true));
  EXPECT_EQ(row["RabattNurErsteLaufzeit"], rt::Variant(false));
  EXPECT_EQ(ErrorOf([&] { Put(contracts, "VertragBeginn", "morgen"); }), hosterr::NotConvertible);
  EXPECT_EQ(ErrorOf([&] { Put(contracts, "VertragBeginn", 3000000.0); }), hosterr::NotConvertible);
  EXPECT_EQ(ErrorOf([&] { Put(contracts, "NoBooking", "vielleicht"); }), hosterr::NotConvertible);

  // A document is copied from the type to a state as it is.
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
  const std::string path =
      (std::filesystem::temp_directory_path() / ("host_storage_" + std::to_string(::getpid()) + ".db"))
          .string();
  {
    auto host = host::sqlite::StandIn::Create(path, true);
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
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
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
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
}

}  // namespace
}  // namespace host_test
