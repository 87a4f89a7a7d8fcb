// Host calls: one write transaction per call, the records it wrote, and
// several connections on one file.
#include <functional>
#include <stdexcept>

#include "host_fixture.h"

namespace host_test {
namespace {

using host::sqlite::CallResult;
using host::sqlite::StandIn;

// The table and a field of each record a call wrote.
Strings Written(const CallResult& result, const std::string& field) {
  Strings out;
  for (const auto& w : result.Written()) {
    std::string value;
    for (const auto& [name, v] : w.row.fields)
      if (name == field) value = rt::CStr(v);
    out.push_back(w.table + ":" + value);
  }
  return out;
}

class HostCall : public HostTest {};

TEST_F(HostCall, ListsEachRecordOnceWhereFirstWrittenWithItsFinalValues) {
  host->InsertRow("kt_Vertraege", {{"Bezeichnung", "vorher"}}, host->Rows("Adressen")[0].oid);
  auto addresses = Table("Adressen");
  auto contracts = Table("kt_Vertraege");
  auto reminders = Table("kt_VertragsAktivitaeten");
  const CallResult result = host->RunCall([&] {
    Put(addresses, "Name", "Muster AG");  // an update of a record that was there
    addresses->Update(256);
    InsertNew(contracts, {{"Bezeichnung", "neu"}});
    InsertNew(reminders, {{"Betreff", "Termin"}});
    Put(contracts, "Bezeichnung", "geändert");  // listed where it was inserted
    contracts->Update(256);
    InsertNew(reminders, {{"Betreff", "gelöscht"}});
    reminders->Delete(256);  // gone at the end: not listed
    host->InsertRow("Adressmerkmale", {{"Merkmal", "Status"}}, host->Rows("Adressen")[0].oid);
  });
  EXPECT_FALSE(result.error);
  const std::string contractOid = contracts->Oid();
  auto check = [&] {
    const std::vector<host::sqlite::WrittenRecord> written = result.Written();
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(Written(result, "Name")[0], "Adressen:Muster AG");
    EXPECT_EQ(Written(result, "Bezeichnung")[1], "kt_Vertraege:geändert");
    EXPECT_EQ(Written(result, "Betreff")[2], "kt_VertragsAktivitaeten:Termin");
    EXPECT_EQ(Written(result, "Merkmal")[3], "Adressmerkmale:Status");
    EXPECT_EQ(written[1].row.oid, contractOid);
    EXPECT_EQ(written[1].row.masterOid, addresses->Oid());
  };
  check();
  // The listing shows the records as the call left them, also when asked
  // for after later calls changed them.
  EXPECT_FALSE(host->RunCall([&] {
                     Put(addresses, "Name", "später");
                     addresses->Update(256);
                     contracts->Delete(256);
                   }).error);
  check();

  // A call that writes nothing lists nothing.
  EXPECT_TRUE(host->RunCall([&] { Walk(contracts, "Bezeichnung"); }).Written().empty());

  // A long call: each record once where first written, however often
  // written again.
  contracts->MoveFirst(256);
  const CallResult many = host->RunCall([&] {
    for (int i = 0; i < 40; ++i) InsertNew(reminders, {{"Betreff", std::to_string(i)}});
    for (int round = 0; round < 2; ++round) {
      for (reminders->MoveFirst(256); !reminders->Eof(); reminders->Move(1, 256)) {
        Put(reminders, "Betreff", Text(reminders, "Betreff") + "+");
        reminders->Update(256);
      }
    }
  });
  EXPECT_FALSE(many.error);
  ASSERT_EQ(many.Written().size(), 40u);
  EXPECT_EQ(Written(many, "Betreff")[0], "kt_VertragsAktivitaeten:0++");
  EXPECT_EQ(Written(many, "Betreff")[39], "kt_VertragsAktivitaeten:39++");
}

TEST_F(HostCall, RaisesNothingOfTheCallAndCannotNest) {
  auto contracts = Table("kt_Vertraege");
  bool nestedRan = false;
  const CallResult result = host->RunCall([&] {
    InsertNew(contracts, {{"Bezeichnung", "vor dem Fehler"}});
    EXPECT_EQ(ErrorOf([&] { host->RunCall([&] { nestedRan = true; }); }), hosterr::InvalidArgument);
    rt::Raise(rt::kObjectError + 0x5001, "modAPI", "kaputt");
  });
  EXPECT_FALSE(nestedRan);
  ASSERT_TRUE(result.error);
  EXPECT_EQ(ErrorOf([&] { std::rethrow_exception(result.error); }), rt::kObjectError + 0x5001);
  // What the call wrote before its error stays written.
  ASSERT_EQ(result.Written().size(), 1u);
  EXPECT_EQ(Column("kt_Vertraege", "Bezeichnung"), Strings{"vor dem Fehler"});
  // Any exception is handed back.
  EXPECT_TRUE(host->RunCall([] { throw std::runtime_error("x"); }).error);
}

// Two stand-ins on one file, as two processes would have.
class HostCallFile : public ::testing::Test {
 protected:
  void SetUp() override {
    StandIn::Create(file_.path(), true);
    a_ = StandIn::Open(file_.path());
    b_ = StandIn::Open(file_.path());
    b_->SetBusyWait(50);
  }
  TempDatabase file_{"host_call"};
  std::shared_ptr<StandIn> a_, b_;
};

TEST_F(HostCallFile, OthersSeeAllOfACallOrNoneAndWaitForItBoundedly) {
  auto contracts = a_->Application()->Database()->Connection()->Table("kt_Vertraege");
  bool bRan = false;
  const CallResult result = a_->RunCall([&] {
    contracts->SetValues(contracts->NewValues(0));
    contracts->Fields()->Item("Bezeichnung")->SetValue("A");
    contracts->Insert(256);
    // Another connection sees nothing yet, and its writes give up after
    // its busy wait without running.
    EXPECT_TRUE(b_->Rows("kt_Vertraege").empty());
    EXPECT_EQ(ErrorOf([&] { b_->RunCall([&] { bRan = true; }); }), hosterr::Busy);
    EXPECT_EQ(ErrorOf([&] { b_->SetDatabaseSetting("k", "v"); }), hosterr::Busy);
  });
  EXPECT_FALSE(result.error);
  EXPECT_FALSE(bRan);
  EXPECT_EQ(b_->Rows("kt_Vertraege").size(), 1u);
  EXPECT_FALSE(a_->DatabaseSetting("k"));
  // Once the call is over the other one writes.
  EXPECT_FALSE(b_->RunCall([&] { b_->SetDatabaseSetting("k", "v"); }).error);
  EXPECT_TRUE(a_->DatabaseSetting("k"));
}

TEST_F(HostCallFile, ACallReadsAgainWhatAnotherConnectionChangedMeanwhile) {
  auto mine = a_->Application()->Database()->Connection()->Table("Adressen");
  EXPECT_EQ(rt::CStr(mine->Fields()->Item("Name")->Value()), "Muster GmbH");
  auto theirs = b_->Application()->Database()->Connection()->Table("Adressen");
  b_->RunCall([&] {
    theirs->Fields()->Item("Name")->SetValue("Muster AG");
    theirs->Update(256);
  });
  // An update in the next call keeps the other connection's change.
  const CallResult result = a_->RunCall([&] {
    mine->Fields()->Item("ID")->SetValue("A1000X");
    mine->Update(256);
  });
  ASSERT_EQ(result.Written().size(), 1u);
  EXPECT_EQ(result.Written()[0].row["Name"], rt::Variant("Muster AG"));
  EXPECT_EQ(b_->Rows("Adressen")[0]["Name"], rt::Variant("Muster AG"));
  EXPECT_EQ(b_->Rows("Adressen")[0]["ID"], rt::Variant("A1000X"));
}

}  // namespace
}  // namespace host_test
