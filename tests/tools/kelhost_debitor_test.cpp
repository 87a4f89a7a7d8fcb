// kelhost debitor: exit statuses, error and message-box output, the
// listing of the records written, and the per-run options.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "debitor_fixture.h"

namespace kelhost_test {
namespace {

class KelhostCliDebitor : public DebitorTest {
 protected:
  // The add-on's error for article IDs it did not find, then kelhost's
  // line naming `ids`.
  std::string ArticlesMissing(const std::string& ids) const {
    return "Fehler &H80045001 in modAPI\n"
           "Es wurden nicht alle Artikel gefunden.\n"
           "Überprüfen Sie die ArtikelIDs!\n"
           "kelhost: debitor: the articles file " + articles_ + " names articles that " + db_ + " lacks: " + ids +
           "\n";
  }
};

TEST_F(KelhostCliDebitor, ListsTheRecordsWrittenInWriteOrder) {
  Result r = Debitor({"--address", "A1001"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "Vertragnummer 00000001");

  // The record heads, in order, with increasing ids.
  std::vector<std::string> tables;
  std::vector<long long> ids;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].rfind("  ", 0) == 0) continue;
    const size_t blank = lines[i].find(' ');
    ASSERT_NE(blank, std::string::npos) << lines[i];
    tables.push_back(lines[i].substr(0, blank));
    ids.push_back(std::atoll(lines[i].c_str() + blank + 1));
  }
  const std::vector<std::string> expected = {"KMMD_Nummern",          "kt_Vertraege",
                                             "kt_VertragsAktivitaeten", "kt_VertragsAktivitaeten",
                                             "kt_Vertragsstaende",     "kt_Vertragspositionen",
                                             "Adressmerkmale"};
  EXPECT_EQ(tables, expected);
  for (size_t i = 1; i < ids.size(); ++i) EXPECT_LT(ids[i - 1], ids[i]);

  // Each record lists every field of its table, formatted as show does,
  // with the values as they stand after the run (AlarmOID and AktValue are
  // set after the insert).
  const std::vector<host::sqlite::Row> contract = Rows("kt_Vertraege");
  ASSERT_EQ(contract.size(), 1u);
  const std::vector<host::sqlite::Row> reminders = Rows("kt_VertragsAktivitaeten");
  ASSERT_EQ(reminders.size(), 2u);
  const std::string contractBlock = "\nkt_Vertraege " + contract[0].oid + "\n  Typ = D\n  VertragBeginn = 01.01.2024\n";
  EXPECT_NE(r.out.find(contractBlock), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n  AlarmOID = " + reminders[1].oid + "\n"), std::string::npos);
  EXPECT_NE(r.out.find("\n  AktValue = 180\n"), std::string::npos);
  EXPECT_NE(r.out.find("\n  Datum = 12.03.2024 09:00\n"), std::string::npos);  // today + 2
  EXPECT_NE(r.out.find("\n  Anzahl = 1,5\n"), std::string::npos);
  EXPECT_NE(r.out.find("\n  GültigBis = 31.12.2024\n"), std::string::npos);
  size_t fieldLines = 0;
  for (const std::string& line : lines) fieldLines += line.rfind("  ", 0) == 0 ? 1 : 0;
  size_t fields = 0;
  for (const char* t : {"KMMD_Nummern", "kt_Vertraege", "kt_VertragsAktivitaeten", "kt_Vertragsstaende",
                        "kt_Vertragspositionen", "Adressmerkmale"}) {
    const size_t count = t == std::string("kt_VertragsAktivitaeten") ? 2 : 1;
    fields += count * host::sqlite::StandIn::Open(db_)->FieldNames(t).size();
  }
  EXPECT_EQ(fieldLines, fields);

  // A second run lists only its own records: the number range it updated
  // (once, with its new value), then what it inserted.
  const std::string rangeOid = Rows("KMMD_Nummern")[0].oid;
  r = Debitor();
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("Vertragnummer 00000002\nKMMD_Nummern " + rangeOid + "\n", 0), 0u) << r.out;
  EXPECT_EQ(r.out.find("KMMD_Nummern", 1), r.out.find("KMMD_Nummern"));
  EXPECT_NE(r.out.find("\n  Nummer = 00000002\nkt_Vertraege "), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\nkt_Vertraege " + contract[0].oid + "\n"), std::string::npos);
}

TEST_F(KelhostCliDebitor, AddonErrorsGoToStandardErrorWithStatus1) {
  // A numbered error of the add-on: nothing written, nothing listed.
  WriteFile(articles_, "sArtikelID;dblAnzahl;lPreisDauer\nA1;1;12\nA99;1;12\n");
  Result r = Debitor();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, ArticlesMissing("\"A99\""));
  EXPECT_TRUE(Rows("kt_Vertraege").empty());

  // A database without a current address.
  WriteFile(articles_, kValidArticles);
  host::sqlite::StandIn::Open(db_)->SetCurrentAddress("");
  r = Debitor();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Fehler &H8004500A in modAPI\nKeine Adresse ausgewählt!\n");
  EXPECT_TRUE(Rows("kt_Vertraege").empty());

  // An error after the contract was written: what stays written is listed.
  WriteFile(contract_, ContractWith("SetztWert", "SetztWert = " + std::string(300, 'x')));
  r = Debitor({"--address", "A1000"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.rfind("Vertragnummer 00000001\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\nkt_Vertragspositionen "), std::string::npos);
  EXPECT_EQ(r.out.find("Adressmerkmale"), std::string::npos);
  EXPECT_EQ(r.err.rfind("Fehler &H80041007 in modAPI.CreateAttribute\n", 0), 0u) << r.err;
  EXPECT_EQ(Rows("kt_Vertraege").size(), 1u);
}

TEST_F(KelhostCliDebitor, NamesTheArticleIdsTheDatabaseLacksAsTheAddonMatchesThem) {
  // The add-on finds an ID whatever its letter case, but with every blank
  // it has; each ID is named once, in the order of the lines, in quotes and
  // escaped as show escapes texts.
  WriteFile(articles_,
            "sArtikelID;dblAnzahl;lPreisDauer\n"
            "a1;1;12\n"
            "Z9;1;12\n"
            " A2;1;12\n"
            "A3 ;1;12\n"
            "z9;1;12\n"
            "Z9;2;1\n"
            "x\ty;1;1\n"
            ";1;1\n"
            "a\\b;1;1\n");
  Result r = Debitor();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, ArticlesMissing("\"Z9\", \" A2\", \"A3 \", \"z9\", \"x\\ty\", \"\", \"a\\\\b\""));
  EXPECT_TRUE(Rows("kt_Vertraege").empty());

  // An article added to the database is found: the IDs left are named.
  host::sqlite::StandIn::Open(db_)->InsertRow("Artikel", {{"Id", " A2"}}, Rows("Artikelgruppen")[0].oid);
  WriteFile(articles_, "sArtikelID;dblAnzahl;lPreisDauer\n A2;1;12\nA3 ;1;12\n");
  r = Debitor();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ArticlesMissing("\"A3 \""));

  // Another error of the article lines names no article.
  WriteFile(articles_, "sArtikelID;dblAnzahl;lPreisDauer\nA1;0;12\n");
  r = Debitor();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "Fehler &H80045002 in modAPI\n"
            "Die Anzahl für Artikel muss > 0 sein.\n"
            "Überprüfen Sie die Artikelanzahl!\n");
}

TEST_F(KelhostCliDebitor, LeavesTheAppointmentSettingAlone) {
  // A renewable contract, concluded: a notice reminder is its only possible
  // reminder.
  WriteFile(contract_, ContractWithValues({{"lVertragArt", "1"},
                                           {"VertragGeschlossenAm", "15.12.2023"},
                                           {"Verlaengerungsdauer", "12"},
                                           {"VerlaengerungsZahlungsperiode", "12"}}));
  Result r = Debitor();
  ASSERT_EQ(r.status, 0) << r.err;
  // The setting is neither read nor stored with its default.
  EXPECT_FALSE(host::sqlite::StandIn::Open(db_)->DatabaseSetting("CreateAppointment4AllContracts"));

  // The database asks for notice reminders on every contract, but a process
  // whose only call is NewContractDebitor keeps the flag false.
  host::sqlite::StandIn::Open(db_)->SetDatabaseSetting("CreateAppointment4AllContracts", "true");
  r = Debitor();
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Rows("kt_Vertraege").size(), 2u);
  EXPECT_TRUE(Rows("kt_VertragsAktivitaeten").empty());
}

TEST_F(KelhostCliDebitor, MessageBoxesGoToStandardErrorAndNoContractIsStatus1) {
  // A contract file without Memo: copying the contract fails inside the
  // add-on, which shows the error in a box and writes nothing.
  WriteFile(contract_, ContractWith("Memo", ""));
  Result r = Debitor();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  const std::vector<std::string> err = Lines(r.err);
  ASSERT_GE(err.size(), 3u) << r.err;
  EXPECT_EQ(err[0].rfind("[Fehler in CKT.NewContractDebitor] Fehler &H1B6 in ", 0), 0u) << r.err;
  EXPECT_EQ(err[err.size() - 2], "kelhost: no contract was written");
  // After the add-on's message, the properties the file lacks.
  EXPECT_EQ(err.back(), "kelhost: debitor: the contract file " + contract_ + " lacks Memo");
  std::string withoutTwo;
  for (const std::string& line : Lines(ContractWith("Memo", "")))
    if (line.rfind("Auftragsnummer", 0) != 0) withoutTwo += line + "\n";
  WriteFile(contract_, withoutTwo);
  r = Debitor();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Lines(r.err).back(), "kelhost: debitor: the contract file " + contract_ + " lacks Memo, Auftragsnummer");
  EXPECT_TRUE(Rows("kt_Vertraege").empty());
}

TEST_F(KelhostCliDebitor, UsageErrorsAreStatus2AndWriteNothing) {
  const std::string before = ReadFile(db_);
  const std::string& c = contract_;
  const std::string& a = articles_;
  const std::vector<std::vector<std::string>> cases = {
      {"debitor"},
      {"debitor", db_, "--articles", a},
      {"debitor", db_, "--contract", c},
      {"debitor", db_, "--contract", c, "--articles"},
      {"debitor", db_, "--contract", c, "--articles", a, "--bogus", "x"},
      {"debitor", db_, "--contract", c, "--contract", c, "--articles", a},
      {"debitor", db_, db_, "--contract", c, "--articles", a},
      {"debitor", db_, "--contract", c, "--articles", a, "--today", "2024-02-30"},
      {"debitor", db_, "--contract", c, "--articles", a, "--today", "10.03.2024"},
      {"debitor", db_, "--contract", c, "--articles", a, "--today", "2024-3-10"},
      {"debitor", db_, "--contract", c, "--articles", a, "--user", "Niemand"},
      {"debitor", db_, "--contract", c, "--articles", a, "--user", "meier"},  // names are exact
      {"debitor", db_, "--contract", c, "--articles", a, "--address", "A9999"},
      {"debitor", db_, "--contract", c, "--articles", a, "--address", ""},
      {"debitor", dir_.File("fehlt.db"), "--contract", c, "--articles", a},
      {"debitor", dir_.path(), "--contract", c, "--articles", a},
  };
  for (const std::vector<std::string>& args : cases) {
    Result r = RunKelhost(dir_, args);
    EXPECT_EQ(r.status, 2) << args.back() << ": " << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("kelhost: debitor: "), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(db_), before);
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.File("fehlt.db")));
}

TEST_F(KelhostCliDebitor, OptionsStandAnywhereAndHoldForThisRunOnly) {
  const std::vector<host::sqlite::Row> addresses = Rows("Adressen");
  Result r = RunKelhost(dir_, {"debitor", "--user", "Schulz", "--address", "A1002", "--today", "2024-03-10",
                               "--articles", articles_, db_, "--contract", contract_});
  ASSERT_EQ(r.status, 0) << r.err;
  // A run without options: the database's own current address and user.
  r = RunKelhost(dir_, {"debitor", db_, "--contract", contract_, "--articles", articles_});
  ASSERT_EQ(r.status, 0) << r.err;

  const std::vector<host::sqlite::Row> contracts = Rows("kt_Vertraege");
  ASSERT_EQ(contracts.size(), 2u);
  EXPECT_EQ(contracts[0].masterOid, addresses[2].oid);  // A1002
  EXPECT_EQ(contracts[0]["Verantwortlich"], rt::Variant("Schulz"));
  EXPECT_EQ(contracts[1].masterOid, addresses[0].oid);  // A1000, the sample's current one
  EXPECT_EQ(contracts[1]["Verantwortlich"], rt::Variant("Meier"));
  // --today fixed the open reminder of the first run at today + 2.
  EXPECT_EQ(rt::CStr(Rows("kt_VertragsAktivitaeten")[1]["Datum"]), "12.03.2024 09:00:00");
}

}  // namespace
}  // namespace kelhost_test
