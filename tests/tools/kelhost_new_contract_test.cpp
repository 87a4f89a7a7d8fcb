// kelhost new-contract, setting and persist: a contract created in the
// dialog played by a script, and the settings that steer it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debitor_fixture.h"
#include "host/sqlite/stand_in.h"
#include "kelhost_run.h"

namespace kelhost_test {
namespace {

class KelhostCliNewContract : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = dir_.File("host.db");
    script_ = dir_.File("skript.txt");
    // The sample database with its four contract types, as kelhost makes it.
    ASSERT_EQ(RunKelhost(dir_, {"init", db_, "--sample"}).status, 0);
  }

  Result NewContract(const std::string& script, const std::vector<std::string>& extra = {}) {
    WriteFile(script_, script);
    std::vector<std::string> args = {"new-contract", db_, "--today", "2027-01-10", "--script", script_};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunKelhost(dir_, args);
  }
  // The sample maintenance type from `start`, adjusted in the editor for
  // the contract: renamed, its position's quantity 3.
  static std::string AdjustSample(const std::string& start) {
    return "pick lvwBezeichnung Wartung jährlich\n"
           "date DTPVertragBeginn " + start + "\n"
           "click cmdDetails\n"
           "type txtBezeichnung Wartung Sonderfall\n"
           "pick lvwPositionen #1\n"
           "click cmdEditPos\n"
           "type txtAnzahl 3\n"
           "click cmdOk\n"
           "click cmdSave\n";
  }
  std::vector<host::sqlite::Row> Rows(const std::string& table) {
    return host::sqlite::StandIn::Open(db_)->Rows(table);
  }

  TempDir dir_;
  std::string db_, script_;
};

TEST_F(KelhostCliNewContract, AScriptCreatesTheContractAndTheRecordsArePrinted) {
  ASSERT_EQ(RunKelhost(dir_, {"setting", db_, "CreateAppointment4AllContracts", "true"}).status, 0);
  ASSERT_EQ(RunKelhost(dir_, {"persist", db_, "kt_AlarmWochenKuendigung", "8"}).status, 0);
  const Result r = NewContract(
      "# the worked example: 10 % discount, the number drawn\n"
      "pick lvwBezeichnung Wartung jährlich\n"
      "type txtRabatt 10\n"
      "click cmdOK\n",
      {"--user", "Schulz"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "pbOK true");
  EXPECT_EQ(lines[1], "plVsCount 1");
  EXPECT_EQ(lines[2], "Vertragnummer 00000001");
  for (const char* expected :
       {"\n  VertragBeginn = 15.01.2027\n", "\n  VertragEnde = 14.01.2028\n", "\n  AktValue = 54\n",
        "\n  KuendfristDatum = 15.10.2027\n", "\n  Verantwortlich = Schulz\n",
        "\n  Betreff = Kündigungsfrist läuft am  15.10.2027  aus\n", "\n  Datum = 20.08.2027 09:00\n",
        "\n  Nettopreis = 27\n", "\n  Rabattprozent = 10\n"})
    EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;
  EXPECT_NE(r.out.find("\n  Bezeichnung = Wartung jährlich\n"), std::string::npos);
  EXPECT_EQ(Rows("kt_Vertraege").size(), 1u);
  EXPECT_EQ(Rows("kt_Vertragspositionen").size(), 1u);
  // --user held for this run only.
  EXPECT_EQ(NewContract("click cmdOK\n").status, 0);
  EXPECT_EQ(rt::CStr(Rows("kt_Vertraege").back()["Verantwortlich"]), "Meier");
}

TEST_F(KelhostCliNewContract, ATypeAdjustedInTheEditorIsSavedFromMemory) {
  const std::string adjust = AdjustSample("01.02.2027");
  const Result r = NewContract(adjust + "type txtRabatt 10\nclick cmdOK\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("pbOK true\nplVsCount 1\nVertragnummer 00000001\n", 0), 0u) << r.out;
  // The adjusted name and quantity: three at 30,00 less 10 %.
  for (const char* expected : {"\n  Bezeichnung = Wartung Sonderfall\n", "\n  AktValue = 81\n", "\n  Anzahl = 3\n",
                               "\n  Nettopreis = 27\n", "\n  VertragEnde = 31.01.2028\n"})
    EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;
  // The stored type is as it was.
  for (const auto& row : Rows("kt_Vertragsdefinitionen")) EXPECT_NE(rt::CStr(row["Bezeichnung"]), "Wartung Sonderfall");

  const Result blank = NewContract(adjust + "untick ChkAutoNumber\nclick cmdOK\nclick cmdCancel\n");
  EXPECT_EQ(blank.status, 1) << blank.err;
  EXPECT_EQ(blank.out, "pbOK false\nplVsCount 0\n");
  EXPECT_NE(blank.err.find("[Kelmaris Paktor] Vergeben Sie bitte eine Vertragsnummer!"), std::string::npos)
      << blank.err;
  EXPECT_EQ(Rows("kt_Vertraege").size(), 1u);
}

TEST_F(KelhostCliNewContract, AnAdjustedTypeBackFillsARenewableContract) {
  // Started 01.10.2024, invoiced up to the first renewal year (entry 4):
  // that year is reached, the next one holds today.
  const Result r = NewContract(
      AdjustSample("01.10.2024") +
      "tick chkOldContract\n"
      "select lstInvoices #4\n"
      "click cmdOK\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("pbOK true\nplVsCount 3\nVertragnummer 00000001\n", 0), 0u) << r.out;
  // Three yearly prices of 100,00 for the renewal terms; the current term's
  // notice reminder although the setting is off.
  for (const char* expected :
       {"\n  Bezeichnung = Wartung Sonderfall\n", "\n  VertragEnde = 30.09.2027\n", "\n  AktValue = 300\n",
        "\n  AktNaechsteRechnung = 01.10.2026\n", "\n  KuendfristDatum = 20.08.2027\n", "\n  LaufTyp = 2\n",
        "\n  Betreff = Kündigungsfrist läuft am  20.08.2027  aus\n", "\n  Datum = 09.07.2027 09:00\n"})
    EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;
  EXPECT_EQ(Rows("kt_Vertragsstaende").size(), 3u);
}

TEST_F(KelhostCliNewContract, OutcomesAndExitStatuses) {
  struct Case {
    const char* what;
    const char* script;
    int status;
    const char* out;  // the start of standard output
    const char* err;  // a part of standard error
  };
  const Case cases[] = {
      {"cancelled", "click cmdCancel\n", 1, "pbOK false\nplVsCount 0\n", ""},
      {"a number refused, then cancelled", "untick ChkAutoNumber\nclick cmdOK\nclick cmdCancel\n", 1,
       "pbOK false\nplVsCount 0\n", "[Kelmaris Paktor] Vergeben Sie bitte eine Vertragsnummer!"},
      {"a control the dialog lacks", "click cmdNix\n", 2, "pbOK false\nplVsCount 0\n",
       "line 1: frmNewContract has no control cmdNix"},
      {"the script ends while the dialog is shown", "type txtMemo Notiz\n", 2, "pbOK false\n",
       "while frmNewContract is shown"},
      {"a line that is no action", "klick cmdOK\n", 2, "", "skript.txt, line 1: "},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    const Result r = NewContract(k.script);
    EXPECT_EQ(r.status, k.status) << r.err;
    EXPECT_EQ(r.out.rfind(k.out, 0), 0u) << r.out;
    EXPECT_NE(r.err.find(k.err), std::string::npos) << r.err;
  }
  EXPECT_TRUE(Rows("kt_Vertraege").empty());
}

TEST_F(KelhostCliNewContract, WhatWasWrittenBeforeAFailingLineStaysAndIsPrinted) {
  const Result r = NewContract("click cmdOK\nclick cmdOK\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out.rfind("pbOK true\nplVsCount 1\nVertragnummer 00000001\n", 0), 0u) << r.out;
  EXPECT_NE(r.err.find("line 2: this line and the ones after it are left"), std::string::npos) << r.err;
  EXPECT_EQ(Rows("kt_Vertraege").size(), 1u);
}

TEST_F(KelhostCliNewContract, WithoutAReleasedTypeTheMessageGoesToStandardError) {
  host::sqlite::StandIn::Open(db_)->DeleteRows("kt_Vertragsdefinitionen");
  const Result r = NewContract("");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "pbOK false\nplVsCount 0\n");
  EXPECT_NE(r.err.find("[Kelmaris Paktor] Es muss mindestens ein freigegebener Vertragstyp definiert sein."),
            std::string::npos)
      << r.err;
}

TEST_F(KelhostCliNewContract, UsageErrorsCallNothing) {
  WriteFile(script_, "click cmdOK\n");
  const std::vector<std::vector<std::string>> cases = {
      {"new-contract", db_},  // on screen, but there is no display
      {"new-contract", "--script", script_},
      {"new-contract", db_, "--script", script_, "--today", "2027-02-30"},
      {"new-contract", db_, "--script", script_, "--user", "Niemand"},
      {"new-contract", db_, "--script", script_, "--address", "A9999"},
      {"new-contract", dir_.File("fehlt.db"), "--script", script_},
      {"new-contract", db_, "--script", dir_.File("fehlt.txt")},
      {"new-contract", db_, "--script", script_, "--contract", script_},
  };
  for (const auto& args : cases) {
    const Result r = RunKelhost(dir_, args);
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_EQ(r.out, "") << args.back();
    EXPECT_NE(r.err.find("kelhost: new-contract: "), std::string::npos) << r.err;
  }
  EXPECT_TRUE(Rows("kt_Vertraege").empty());
}

TEST_F(KelhostCliNewContract, SettingAndPersistStoreText) {
  EXPECT_EQ(RunKelhost(dir_, {"setting", db_, "CreateAppointment4AllContracts", "true"}).status, 0);
  EXPECT_EQ(RunKelhost(dir_, {"persist", db_, "g_DateFormat", "yyyy-MM-dd"}).status, 0);
  EXPECT_EQ(RunKelhost(dir_, {"persist", db_, "g_DateFormat", "dd.MM.yy"}).status, 0);  // replaced
  auto host = host::sqlite::StandIn::Open(db_);
  EXPECT_EQ(host->DatabaseSetting("CreateAppointment4AllContracts"), rt::Variant("true"));
  auto var = host->Application()->Database()->ScriptEngine()->PersistVars()->Item("g_DateFormat");
  ASSERT_NE(var, nullptr);
  EXPECT_EQ(var->Value(), rt::Variant("dd.MM.yy"));

  for (const char* command : {"setting", "persist"}) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{command, db_, "Name"}, {command, db_, "", "x"},
          {command, dir_.File("fehlt.db"), "Name", "x"}}) {
      const Result r = RunKelhost(dir_, args);
      EXPECT_EQ(r.status, 2) << command;
      EXPECT_NE(r.err.find(std::string("kelhost: ") + command + ": "), std::string::npos) << r.err;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.File("fehlt.db")));
}

}  // namespace
}  // namespace kelhost_test
