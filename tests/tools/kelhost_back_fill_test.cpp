// kelhost new-contract entering a contract whose past periods were already
// invoiced: the script ticks chkOldContract and selects the last invoiced
// period.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/sqlite/stand_in.h"
#include "kelhost_run.h"
#include "platform/format.h"
#include "platform/variant.h"

namespace kelhost_test {
namespace {

TEST(KelhostCliBackFill, TheSampleMaintenanceTypeFromItsSecondRenewalTerm) {
  TempDir dir;
  const std::string db = dir.File("host.db");
  const std::string script = dir.File("skript.txt");
  ASSERT_EQ(RunKelhost(dir, {"init", db, "--sample"}).status, 0);
  ASSERT_EQ(RunKelhost(dir, {"setting", db, "CreateAppointment4AllContracts", "true"}).status, 0);
  // Started 01.10.2024, entered on 08.12.2026; invoiced up to the yearly
  // period from 01.10.2025 (entry 4, after the four quarters of the first
  // term).
  WriteFile(script,
            "pick lvwBezeichnung Wartung jährlich\n"
            "date DTPVertragBeginn 01.10.2024\n"
            "tick chkOldContract\n"
            "select lstInvoices #4\n"
            "click cmdOK\n");
  const Result r = RunKelhost(dir, {"new-contract", db, "--today", "2026-12-08", "--script", script});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("pbOK true\nplVsCount 3\nVertragnummer 00000001\n", 0), 0u) << r.out;

  auto host = host::sqlite::StandIn::Open(db);
  const auto day = [](const host::sqlite::Row& row, const char* field) {
    return rt::FormatDate(row[field].AsDate(), "dd.MM.yyyy");
  };
  const auto contracts = host->Rows("kt_Vertraege");
  ASSERT_EQ(contracts.size(), 1u);
  EXPECT_EQ(day(contracts[0], "VertragEnde"), "30.09.2027");
  EXPECT_EQ(day(contracts[0], "KuendfristDatum"), "20.08.2027");
  EXPECT_EQ(day(contracts[0], "AktNaechsteRechnung"), "01.10.2026");
  EXPECT_EQ(contracts[0]["AktZahlungsperiodeStr"], rt::Variant("jährlich"));

  // The first term, the invoiced first renewal term, the current one.
  std::vector<std::string> states;
  for (const auto& s : host->Rows("kt_Vertragsstaende")) {
    EXPECT_EQ(s["AlteFakturierung"], rt::Variant(true));
    states.push_back(rt::CStr(s["LaufTyp"]) + " " + day(s, "LaufzeitStart") + "-" + day(s, "LaufzeitEnde") +
                     " " + rt::CStr(s["NaechsteRechnungStr"]));
  }
  EXPECT_EQ(states, (std::vector<std::string>{"1 01.10.2024-30.09.2025 99991231",
                                               "2 01.10.2025-30.09.2026 99991231",
                                               "2 01.10.2026-30.09.2027 20261001"}));
  EXPECT_EQ(host->Rows("kt_Vertragspositionen").size(), 3u);

  const auto reminders = host->Rows("kt_VertragsAktivitaeten");
  ASSERT_EQ(reminders.size(), 1u);
  EXPECT_EQ(reminders[0]["Betreff"], rt::Variant("Kündigungsfrist läuft am  20.08.2027  aus"));
  EXPECT_EQ(contracts[0]["AlarmOID"], rt::Variant(reminders[0].oid));
}

}  // namespace
}  // namespace kelhost_test
