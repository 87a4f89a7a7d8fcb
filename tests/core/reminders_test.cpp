#include "core/mod_kt.h"
#include "core_fixture.h"
#include "platform/error.h"

namespace {

class CoreReminders : public coretest::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    host_->SetCurrentAddressOid(host_->InsertRow("Adressen", {}));
  }

  // Inserts a contract the way a caller does, through its own table object.
  std::string InsertContract() {
    auto t = gDB->Connection()->Table("kt_Vertraege");
    rt::Variant values;
    t->NewValues(0, &values);
    t->SetValues(values);
    t->Insert(256);
    return t->Oid();
  }
  std::vector<host::sqlite::Row> Alarms() { return host_->Rows("kt_VertragsAktivitaeten"); }
  std::string AlarmOidOf(size_t contract) {
    return rt::CStr(host_->Rows("kt_Vertraege").at(contract)["AlarmOID"]);
  }

  const rt::Date due_ = rt::DateSerial(2024, 5, 31);
  const double day_ = rt::DateSerial(2024, 4, 15).serial;
};

TEST_F(CoreReminders, NewAppointmentsGoToTheContractJustInserted) {
  InsertContract();
  const std::string contract = InsertContract();

  rt::Date d{day_};
  modKT::CreateCancellationAlarm("", d, due_, "Meier", 1);
  EXPECT_EQ(d.serial, day_ + 0.375);  // the caller's date now holds 09:00
  auto rows = Alarms();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["Typ"], rt::Variant("Termin"));
  EXPECT_EQ(rows[0]["Betreff"], rt::Variant("Kündigungsfrist läuft am  31.05.2024  aus"));
  EXPECT_EQ(rows[0]["Datum"].AsDate().serial, day_ + 0.375);
  EXPECT_EQ(rows[0]["Erledigt"], rt::Variant(false));
  EXPECT_EQ(rows[0]["Verantwortlich"], rt::Variant("Meier"));
  EXPECT_EQ(rows[0].masterOid, contract);
  EXPECT_EQ(AlarmOidOf(0), "");
  EXPECT_EQ(AlarmOidOf(1), rows[0].oid);

  // Each new appointment replaces the contract's AlarmOID.
  rt::Date d2{day_};
  modKT::CreateCancellationAlarm("", d2, due_, "Schulz", 2);
  rt::Date d3{day_ + 1};
  modKT::CreateOpenAlarm("", d3, "Schulz");
  rows = Alarms();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1]["Betreff"], rt::Variant("Vertrag läuft am  31.05.2024  aus"));
  EXPECT_EQ(rows[2]["Betreff"], rt::Variant("Vertragsabschluss ist noch nicht erfolgt?"));
  EXPECT_EQ(rows[2]["Datum"].AsDate().serial, day_ + 1.375);
  EXPECT_EQ(AlarmOidOf(1), rows[2].oid);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(CoreReminders, AStoredIdRewritesOnlyThatAppointment) {
  InsertContract();
  rt::Date d{day_};
  modKT::CreateCancellationAlarm("", d, due_, "Meier", 1);
  modKT::CreateOpenAlarm("", d, "Meier");
  const std::string first = Alarms()[0].oid, last = Alarms()[1].oid;

  rt::Date d2{day_ + 7};
  modKT::CreateCancellationAlarm(first, d2, due_, "Schulz", 2);
  auto rows = Alarms();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0]["Betreff"], rt::Variant("Vertrag läuft am  31.05.2024  aus"));
  EXPECT_EQ(rows[0]["Verantwortlich"], rt::Variant("Schulz"));
  EXPECT_EQ(rows[0]["Datum"].AsDate().serial, day_ + 7.375);
  EXPECT_EQ(AlarmOidOf(0), last);

  // An id that no longer exists, and an unknown kind, write nothing.
  rt::Date d3{day_};
  modKT::CreateOpenAlarm("999999", d3, "Meier");
  modKT::CreateCancellationAlarm("", d3, due_, "Meier", 3);
  EXPECT_EQ(d3.serial, day_);
  EXPECT_EQ(Alarms().size(), 2u);
  EXPECT_EQ(AlarmOidOf(0), last);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(CoreReminders, AFailureShowsTheOwnBoxAndKeepsWhatWasWritten) {
  InsertContract();
  const int32_t n = static_cast<int32_t>(0x80041234u);
  host_->FailNext("kt_Vertraege", "Update", n, "Datensatz gesperrt");
  rt::Date d{day_};
  modKT::CreateCancellationAlarm("", d, due_, "Meier", 1);
  EXPECT_EQ(BoxesFrom(0), (std::vector<coretest::Shown>{
                             {"Fehler &H80041234\r\n(Datensatz gesperrt)\r\nin modKT.CreateCancellationAlarm", 0,
                              std::nullopt}}));
  EXPECT_EQ(Alarms().size(), 1u);
  EXPECT_EQ(AlarmOidOf(0), "");

  host_->FailNext("kt_VertragsAktivitaeten", "Insert", n, "voll");
  modKT::CreateOpenAlarm("", d, "Meier");
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].prompt, "Fehler &H80041234\r\n(voll)\r\nin modKT.CreateOpenAlarm");
  EXPECT_EQ(Alarms().size(), 1u);
}

}  // namespace
