// kelhost edit-type: the editor driven by a script file, and the sample
// contract types that init --sample enters through it.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "host/sqlite/stand_in.h"
#include "kelhost_run.h"
#include "platform/variant.h"

namespace kelhost_test {
namespace {

class KelhostCliEditType : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = dir_.File("t.db");
    ASSERT_EQ(RunKelhost(dir_, {"init", db_, "--sample"}).status, 0);
  }
  std::string Script(const std::string& text, const std::string& name = "s.txt") {
    const std::string path = dir_.File(name);
    WriteFile(path, text);
    return path;
  }
  Result EditNew(const std::string& script, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"edit-type", db_, "--new", "--script", Script(script)};
    args.insert(args.end(), more.begin(), more.end());
    return RunKelhost(dir_, args);
  }
  std::vector<host::sqlite::Row> Rows(const std::string& table) {
    return host::sqlite::StandIn::Open(db_, host::sqlite::OpenMode::ReadOnly)->Rows(table);
  }

  TempDir dir_;
  std::string db_;
};

TEST_F(KelhostCliEditType, ANewTypeIsSavedAndPrintedWithItsPositions) {
  const Result r = EditNew(
      "# a one-off type with one position\n"
      "type txtBezeichnung Schulung\n"
      "untick chkVerlaengerbar\n"
      "paste txtDauer 3\n"
      "select cboArtikelGruppen Waren\n"
      "pick lvwArtikel Lizenz\n"
      "click cmdAddPos\n"
      "type txtAnzahl 4\n"
      "click cmdOk\n"
      "select cboPutGroup Vertrag\n"
      "select cboPutAttribute Vertragsbeginn\n"
      "click cmdSave\n",
      {"--today", "2025-01-31"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const auto types = Rows("kt_Vertragsdefinitionen");
  ASSERT_EQ(types.size(), 5u);
  const auto& t = types.back();
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "kt_Vertragsdefinitionen " + t.oid);
  for (const char* line : {"  Bezeichnung = Schulung\n", "  Art = 2\n", "  Dauer = 3\n", "  NettoSumme = 6,68\n",
                           "  SetztWert = 2025-01-31\n", "  Status = in Arbeit\n", "kt_DefinitionsPositionen ",
                           "  Artikel = Lizenz\n", "  Nettopreis = 1,67\n", "  Anzahl = 4\n", "  PreisM3 = 5\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
  EXPECT_EQ(Rows("kt_DefinitionsPositionen").back().masterOid, t.oid);
}

TEST_F(KelhostCliEditType, AStoredTypeIsOpenedByNameAndBoxesGoToStandardError) {
  // Kept as it was by a cancel, changed by a save.
  Result r = RunKelhost(dir_, {"edit-type", "--type", "Projekt einmalig", db_, "--script",
                               Script("select cboZahlungsperiode jährlich\nclick cmdCancel\n")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "[kelPaktor2] Die Zahlungsperiode passt nicht zur Vertragsdauer (6 Monate)\n"
            "kelhost: edit-type: the editor was closed without a save\n");
  EXPECT_NE(r.out.find("  Bezeichnung = Projekt einmalig\n"), std::string::npos);
  EXPECT_NE(r.out.find("  Zahlungsperiode = 1\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nkt_DefinitionsPositionen "), std::string::npos);

  r = RunKelhost(dir_, {"edit-type", db_, "--type", "Projekt einmalig", "--script",
                        Script("answer yes\nclick cmdDeletePos\nanswer no\nclick cmdSave\nanswer yes\nclick cmdSave\n")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err,
            "[kelPaktor2] Wollen Sie die markierte Position wirklich löschen?\n"
            "[Vertrag ohne Rechnungslegung?] Sie haben keine Vertragspositionen eingegeben!\n"
            "Haben Sie das gewollt?\n"
            "[Vertrag ohne Rechnungslegung?] Sie haben keine Vertragspositionen eingegeben!\n"
            "Haben Sie das gewollt?\n");
  EXPECT_NE(r.out.find("  NettoSumme = 0\n"), std::string::npos);
  EXPECT_EQ(r.out.find("kt_DefinitionsPositionen"), std::string::npos);
  EXPECT_EQ(Rows("kt_DefinitionsPositionen").size(), 3u);
}

TEST_F(KelhostCliEditType, UsageErrorsAndMalformedScriptsRunNothing) {
  const std::string ok = Script("click cmdSave\n", "ok.txt");
  WriteFile(dir_.File("notes.txt"), "no database\n");
  const std::string before = ReadFile(db_);
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"edit-type", db_, "--script", ok}, "give either --new or --type NAME"},
      {{"edit-type", db_, "--new", "--type", "Entwurf", "--script", ok}, "give either --new or --type NAME"},
      {{"edit-type", db_, "--new"},
       KELHOST_HAS_FRONT_END ? "edit-type: no display to show the dialog on" : "edit-type: this build has no front end"},
      {{"edit-type", db_, "--new", "--script"}, "--script needs a value"},
      {{"edit-type", db_, "--new", "--new", "--script", ok}, "--new is given twice"},
      {{"edit-type", db_, "--new", "--script", ok, "--address", "A1"}, "unknown option --address"},
      {{"edit-type", db_, "--new", "--script", ok, "--today", "2025-02-30"}, "is not a date YYYY-MM-DD"},
      {{"edit-type", db_, "--new", "--script", ok, "--user", "Niemand"}, "unknown user Niemand"},
      {{"edit-type", db_, "--type", "Gibt es nicht", "--script", ok}, "no contract type named \"Gibt es nicht\""},
      {{"edit-type", db_, "--new", "--script", dir_.File("missing.txt")}, "missing.txt: cannot be read"},
      {{"edit-type", dir_.File("notes.txt"), "--new", "--script", ok}, "notes.txt"},
      {{"edit-type", db_, "--new", "--script", Script("click cmdSave\n\n  # fine\ntick\n", "bad1.txt")},
       "bad1.txt, line 4: tick needs a control name"},
      {{"edit-type", db_, "--new", "--script", Script("type txtBezeichnung X\nwarte 5\n", "bad2.txt")},
       "bad2.txt, line 2: unknown verb \"warte\""},
      {{"edit-type", db_, "--new", "--script", Script("date DTPPutValue 30.02.2024\n", "bad3.txt")},
       "bad3.txt, line 1: \"30.02.2024\" is no date (d.M.yyyy, dd.MM.yyyy or empty)"},
  };
  for (const auto& c : cases) {
    const Result r = RunKelhost(dir_, c.args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << c.message;
  }
  EXPECT_EQ(ReadFile(db_), before);
}

TEST_F(KelhostCliEditType, AScriptTheUserCannotPlayEndsTheRunAndWhatWasSavedStays) {
  const struct {
    const char* script;
    int status;
    const char* error;
    size_t types;
  } cases[] = {
      {"type txtBezeichnung A\nclick cmdNichts\n", 2, "s.txt, line 2: frmFEditDefinitions has no control cmdNichts", 4},
      {"type txtBezeichnung A\ntype cboZahlungsperiode 3\n", 2,
       "s.txt, line 2: cboZahlungsperiode is a drop-down list; choose an entry with select", 4},
      {"choose optUnbefristet\ntype txtDauer 5\n", 2, "s.txt, line 2: txtDauer is disabled", 4},
      {"paste txtDauer2\nclick cmdSave\n", 2,
       "s.txt, line 2: txtDauer2 keeps the focus: its validation refuses to let it go", 4},
      {"select cboZahlungsperiode vierteljährlich\ntype txtDauer 24\n", 2,
       "s.txt, line 2: the focus left txtDauer while the text was entered", 4},
      {"pick lvwArtikel Lizenz\n", 2, "s.txt, line 1: lvwArtikel has no item \"Lizenz\"", 4},
      {"click cmdAddPos\nclick cmdOk\n", 2, "s.txt, the script ends (line 2) while frmFEditDefinitions is shown", 4},
      {"click cmdAddPos\n", 2, "s.txt, the script ends (line 1) while frmFEditDefPositions is shown", 4},
      {"type txtBezeichnung A\nanswer yes\nclick cmdSave\nclick cmdSave\n", 2,
       "s.txt, line 4: this line and the ones after it are left; the dialogs have closed", 5},
  };
  for (const auto& c : cases) {
    const Result r = EditNew(c.script);
    EXPECT_EQ(r.status, c.status) << c.script;
    EXPECT_NE(r.err.find("kelhost: edit-type: " + std::string(dir_.File(c.error))), std::string::npos)
        << c.script << r.err;
    EXPECT_EQ(Rows("kt_Vertragsdefinitionen").size(), c.types) << c.script;
  }
  // The saved type of the last run is printed.
  const Result r = EditNew("type txtBezeichnung B\nanswer yes\nclick cmdSave\ntick chkNoBooking\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("  Bezeichnung = B\n"), std::string::npos);
  // A question nobody answered takes its default, with a warning.
  const Result unanswered = EditNew("type txtBezeichnung C\nclick cmdSave\nclick cmdCancel\n");
  EXPECT_EQ(unanswered.status, 1);
  EXPECT_NE(unanswered.err.find("warning: line 2: no answer was given; the default button No is taken\n"),
            std::string::npos)
      << unanswered.err;
  EXPECT_EQ(unanswered.out, "");
}

TEST_F(KelhostCliEditType, AnEditorThatIsNotShownEndsWithStatusOne) {
  {
    auto host = host::sqlite::StandIn::Open(db_);
    host->InsertRow("kt_Vertragsdefinitionen", {{"Bezeichnung", "Kaputt"}, {"Typ", "X"}});
  }
  const Result r =
      RunKelhost(dir_, {"edit-type", db_, "--type", "Kaputt", "--script", Script("click cmdSave\n")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("the editor was not shown"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("  Typ = X\n"), std::string::npos);
}

TEST(KelhostCliSampleTypes, InitEntersTheFourTypesThroughTheEditor) {
  TempDir dir;
  const std::string db = dir.File("sample.db");
  const Result r = RunKelhost(dir, {"init", db, "--sample"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  auto host = host::sqlite::StandIn::Open(db, host::sqlite::OpenMode::ReadOnly);
  const auto types = host->Rows("kt_Vertragsdefinitionen");
  const auto positions = host->Rows("kt_DefinitionsPositionen");
  ASSERT_EQ(types.size(), 4u);
  ASSERT_EQ(positions.size(), 4u);
  const char* typeFields[] = {"Status", "NoBooking", "Typ", "Bezeichnung", "Art", "ArtStr", "Dauer",
                              "Verlaengerungsdauer", "Kuendigungsfrist", "KuendigungsfristEinh",
                              "VerlKuendigungsfrist", "VerlKuendigungsfristEinh", "Zahlungsperiode",
                              "VerlaengerungsZahlungsperiode", "RechnungWann", "WorkflowID", "ErfordertMerkmalGruppe",
                              "ErfordertMerkmal", "ErfordertWert", "SetztMerkmalGruppe", "SetztMerkmal", "SetztWert",
                              "NettoSumme"};
  const std::vector<std::vector<std::string>> expectedTypes = {
      {"freigegeben", "False", "D", "Wartung jährlich", "1", "verlängerbar", "12", "12", "3", "Monate", "6", "Wochen",
       "3", "12", "0", "", "", "", "", "", "", "", "60"},
      {"freigegeben", "False", "D", "Projekt einmalig", "2", "einmalig", "6", "12", "0", "Wochen", "0", "Wochen", "1",
       "1", "0", "", "", "", "", "", "", "", "16,67"},
      {"freigegeben", "False", "D", "Hosting unbefristet", "3", "unbefristet", "0", "0", "6", "Wochen", "6", "Wochen",
       "1", "1", "0", "", "", "", "", "", "", "", "4,17"},
      {"in Arbeit", "False", "K", "Entwurf", "1", "verlängerbar", "12", "12", "6", "Wochen", "6", "Wochen", "1", "1",
       "0", "", "", "", "", "", "", "", "0"},
  };
  for (size_t i = 0; i < types.size(); ++i) {
    std::vector<std::string> got;
    for (const char* f : typeFields) got.push_back(rt::CStr(types[i][f]));
    EXPECT_EQ(got, expectedTypes[i]) << i;
    EXPECT_EQ(positions[i].masterOid, types[i].oid) << i;
  }
  const char* positionFields[] = {"Artikel", "Nettopreis", "Artikelnummer", "Artikelart", "Einheit", "UStSatz",
                                  "Beschreibung", "Anzahl", "Erloeskonto", "ArtikelID", "PreisM1", "PreisM3",
                                  "PreisM6", "PreisM12", "PreisM24", "PreisM36", "PreisM48", "PreisM60", "Preis",
                                  "NettoOhneRabatt", "Row", "Positionsnummer", "Gruppierung", "Gruppierungsposition"};
  const std::vector<std::vector<std::string>> expectedPositions = {
      {"Wartung Basis", "30", "1001", "DL", "Jahr", "19", "Basiswartung", "2", "8400", "A1", "10", "30", "60", "100",
       "200", "300", "400", "500", "120", "30", "001", "1", "", "1"},
      {"Support", "16,67", "1003", "DL", "Monat", "19", "Supportpaket", "1", "8400", "A3", "16,67", "50", "100", "200",
       "400", "600", "800", "1000", "100", "16,67", "001", "1", "", "1"},
      {"Hotline", "4,17", "1002", "DL", "Monat", "19", "Telefonsupport", "1", "8400", "A2", "4,17", "12,5", "25", "50",
       "100", "150", "200", "250", "50", "4,17", "001", "1", "", "1"},
      {"Tragen Sie hier die Bezeichnung ein!", "0", "00000000", "Verbindlichkeit", "Stück", "0", "", "1", "0",
       "00000000", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "001", "", "", "0"},
  };
  for (size_t i = 0; i < positions.size(); ++i) {
    std::vector<std::string> got;
    for (const char* f : positionFields) got.push_back(rt::CStr(positions[i][f]));
    EXPECT_EQ(got, expectedPositions[i]) << i;
  }
}

}  // namespace
}  // namespace kelhost_test
