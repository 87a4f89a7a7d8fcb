// The entry class CKT with doubles for the editor, the new-contract dialog
// and the programmatic creation.
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/ckt.h"
#include "core/globals.h"
#include "core/records.h"
#include "core/subsystems.h"
#include "core_fixture.h"
#include "platform/error.h"
#include "platform/text.h"
#include "version.h"

namespace {

using coretest::ErrorOf;
using Log = std::vector<std::string>;

// What the doubles do and what was done to them.
struct Script {
  bool initResult = true;  // InitNew / InitEdit
  bool bOK = true;         // after a display
  int32_t lVsCount = 1;
  bool bShowDefAfterShow = false;
  std::function<void()> onInit, onShow;  // may throw
  Log log;
  int created = 0;
  int alive = 0;
};

// A double of the editor and of the new-contract dialog alike.
class FakeDialog : public kp::ContractTypeEditor, public kp::NewContractDialog {
 public:
  explicit FakeDialog(Script& s) : s_(s), id_(++s.created) { ++s_.alive; }
  ~FakeDialog() override { --s_.alive; }
  bool InitNew() override { return Init("InitNew#"); }
  bool InitEdit() override { return Init("InitEdit#"); }
  void ShowModal() override {
    s_.log.push_back("ShowModal#" + std::to_string(id_) + (bShowDef_ ? " showdef" : ""));
    if (s_.onShow) s_.onShow();
    bOK_ = s_.bOK;
    lVsCount_ = s_.lVsCount;
    bShowDef_ = s_.bShowDefAfterShow;
  }
  bool bOK() const override { return bOK_; }
  int32_t lVsCount() const override { return lVsCount_; }
  bool bShowDef() const override { return bShowDef_; }
  void SetbShowDef(bool v) override { bShowDef_ = v; }

 private:
  bool Init(const std::string& what) {
    s_.log.push_back(what + std::to_string(id_));
    if (s_.onInit) s_.onInit();
    return s_.initResult;
  }
  Script& s_;
  int id_;
  bool bOK_ = false;
  int32_t lVsCount_ = 0;
  bool bShowDef_ = false;
};

// Any object with named properties, as a caller may pass for oContract.
class LooseObject : public rt::Object {
 public:
  std::map<std::string, rt::Variant> props;
  rt::Variant Get(std::string_view name) const override {
    for (const auto& [k, v] : props)
      if (rt::EqualsIgnoreCase(k, name)) return v;
    rt::RaiseRuntime(rt::errc::NoSuchMember);
  }
};

// The three out parameters of the new-contract methods.
struct Out {
  bool pbOK;
  int32_t plVsCount;
  bool pbShowDef;
  friend bool operator==(const Out&, const Out&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Out& o) {
    return os << "{" << o.pbOK << ", " << o.plVsCount << ", " << o.pbShowDef << "}";
  }
};

using NewContractMethod = void (CKT::*)(std::shared_ptr<host::HostApplication>&, bool&, int32_t&, bool&);
constexpr NewContractMethod kNew = &CKT::NewContract;
constexpr NewContractMethod kNew2 = &CKT::NewContract2;

class CoreEntry : public coretest::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    kp::RegisterContractTypeEditor([this] { return std::make_unique<FakeDialog>(editor); });
    kp::RegisterNewContractDialog([this] { return std::make_unique<FakeDialog>(dialog); });
    kp::RegisterCreateContractFromApi([this] {
      ++apiRuns;
      if (apiRun) apiRun();
    });
    gApp.reset();
    gDB.reset();
  }
  void TearDown() override {
    kp::RegisterContractTypeEditor(nullptr);
    kp::RegisterNewContractDialog(nullptr);
    kp::RegisterCreateContractFromApi(nullptr);
    CoreTest::TearDown();
  }

  // Calls a new-contract method with the out parameters preset to `in` and
  // returns them as the call left them.
  Out Run(CKT& ckt, NewContractMethod method, Out in) {
    (ckt.*method)(app_, in.pbOK, in.plVsCount, in.pbShowDef);
    return in;
  }

  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const auto& box : Boxes()) titles.push_back(box.title.value_or("<none>"));
    return titles;
  }

  Script editor, dialog;
  int apiRuns = 0;
  std::function<void()> apiRun;
};

const std::string kVersion = "Version " + std::to_string(kp::kVersionMajor) + "." +
                             std::to_string(kp::kVersionMinor) + ".0." + std::to_string(kp::kVersionRevision);

TEST_F(CoreEntry, DLLVersionGivesTheTextAndLeavesStateAlone) {
  CKT ckt;
  EXPECT_EQ(ckt.DLLVersion(), kVersion);
  EXPECT_EQ(gVersion, "");
  EXPECT_EQ(gApp, nullptr);
}

TEST_F(CoreEntry, NewContractShowsTheDialogCopiesItsValuesAndReleasesIt) {
  CKT ckt;
  dialog.lVsCount = 3;
  EXPECT_EQ(Run(ckt, kNew, {false, -1, true}), (Out{true, 3, false}));
  EXPECT_EQ(dialog.log, (Log{"InitNew#1", "ShowModal#1"}));
  EXPECT_EQ(dialog.alive, 0);
  EXPECT_EQ(gApp, app_);
  EXPECT_NE(gDB, nullptr);
  EXPECT_EQ(gVersion, kVersion);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(CoreEntry, AfterAFailedInitTheCallersShowDefDecidesWhetherTheDialogIsHeld) {
  CKT ckt;
  dialog.initResult = false;
  EXPECT_EQ(Run(ckt, kNew, {true, 7, false}), (Out{false, 0, false}));
  EXPECT_EQ(dialog.alive, 0);

  // A caller passing true gets the unshown dialog held: NewContract2 then
  // does nothing at all, and NewContract shows the held dialog again
  // without initialising it and without refreshing the process state.
  EXPECT_EQ(Run(ckt, kNew, {true, 7, true}), (Out{false, 0, true}));
  EXPECT_EQ(dialog.alive, 1);
  gApp.reset();
  gVersion = "alt";
  EXPECT_EQ(Run(ckt, kNew2, {true, 7, true}), (Out{true, 7, true}));
  dialog.bShowDefAfterShow = true;
  EXPECT_EQ(Run(ckt, kNew, {false, 7, false}), (Out{true, 1, true}));
  EXPECT_EQ(dialog.alive, 1);

  // The held dialog's flag is cleared before it is shown again.
  dialog.bShowDefAfterShow = false;
  dialog.lVsCount = 2;
  EXPECT_EQ(Run(ckt, kNew, {false, 0, true}), (Out{true, 2, false}));
  EXPECT_EQ(dialog.log, (Log{"InitNew#1", "InitNew#2", "ShowModal#2", "ShowModal#2"}));
  EXPECT_EQ(dialog.alive, 0);
  EXPECT_EQ(gApp, nullptr);
  EXPECT_EQ(gVersion, "alt");
}

TEST_F(CoreEntry, ATrappedErrorIsReportedOnceAndLeavesTheStoredOutParameters) {
  CKT ckt;
  dialog.onInit = [] { rt::Raise(static_cast<int32_t>(0x80040E14u), "KelDbServer", "Tabelle fehlt"); };
  EXPECT_EQ(Run(ckt, kNew, {true, 5, false}), (Out{false, 0, false}));
  ASSERT_EQ(Titles(), (Log{"Fehler in CKT.NewContract"}));
  EXPECT_EQ(Boxes()[0].style, 48);
  EXPECT_EQ(Boxes()[0].prompt.rfind("Fehler &H80040E14 in KelDbServer\r\n", 0), 0u);
  // The failed dialog is not kept: the next call starts a new one.
  EXPECT_EQ(dialog.alive, 0);
  dialog.onInit = nullptr;
  EXPECT_EQ(Run(ckt, kNew2, {false, 0, false}), (Out{true, 1, false}));
  EXPECT_EQ(dialog.created, 2);

  // Errors that are not run-time errors are trapped as well, and so is a
  // part of the add-on that is not there (429).
  dialog.onShow = [] { throw std::runtime_error("kaputt"); };
  Run(ckt, kNew2, {false, 0, false});
  kp::RegisterNewContractDialog(nullptr);
  kp::RegisterContractTypeEditor(nullptr);
  EXPECT_EQ(Run(ckt, kNew2, {true, 1, false}), (Out{false, 0, false}));
  bool pbNew = true;
  ckt.EditContractDefinition(app_, pbNew);
  EXPECT_EQ(Titles(), (Log{"Fehler in CKT.NewContract", "Fehler in CKT.NewContract2", "Fehler in CKT.NewContract2",
                           "Fehler in CKT.EditContractDefinition"}));
  EXPECT_EQ(Boxes()[2].prompt.rfind("Fehler &H1AD in kelPaktor2\r\n", 0), 0u);
}

TEST_F(CoreEntry, AnErrorBeforeTheTrapReachesTheCaller) {
  CKT ckt;
  std::shared_ptr<host::HostApplication> none;
  bool pbOK = true, pbShowDef = false, pbNew = true;
  int32_t plVsCount = 1;
  EXPECT_EQ(ErrorOf([&] { ckt.NewContract(none, pbOK, plVsCount, pbShowDef); }), 91);
  EXPECT_EQ(ErrorOf([&] { ckt.EditContractDefinition(none, pbNew); }), 91);
  EXPECT_EQ(ErrorOf([&] { ckt.NewContractDebitor(none, std::make_shared<kt_CContractD>(), nullptr); }), 91);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(pbOK);
  EXPECT_EQ(dialog.created + editor.created + apiRuns, 0);
}

TEST_F(CoreEntry, EditContractDefinitionReadsTheAppointmentSetting) {
  CKT ckt;
  const std::string key = "CreateAppointment4AllContracts";
  bool pbNew = false;

  ckt.EditContractDefinition(app_, pbNew);
  EXPECT_FALSE(gCreateAppointment4AllContracts);
  EXPECT_EQ(host_->DatabaseSetting(key).value_or(rt::Variant()), rt::Variant("false"));

  const std::pair<const char*, bool> cases[] = {{"TRUE", true}, {"0", false}, {"2", true}, {"False", false}};
  for (const auto& [text, expected] : cases) {
    gCreateAppointment4AllContracts = !expected;
    host_->SetDatabaseSetting(key, rt::Variant(text));
    ckt.EditContractDefinition(app_, pbNew);
    EXPECT_EQ(gCreateAppointment4AllContracts, expected) << text;
  }

  // A text that is no Boolean fails before the trap: no box, no editor.
  const int editorsBefore = editor.created;
  host_->SetDatabaseSetting(key, rt::Variant("ja"));
  EXPECT_EQ(ErrorOf([&] { ckt.EditContractDefinition(app_, pbNew); }), 13);
  EXPECT_EQ(editor.created, editorsBefore);
  EXPECT_TRUE(Boxes().empty());

  // The flag then stays for later calls, also of another CKT object.
  host_->SetDatabaseSetting(key, rt::Variant("true"));
  ckt.EditContractDefinition(app_, pbNew);
  CKT other;
  other.NewContractDebitor(app_, std::make_shared<kt_CContractD>(), nullptr);
  EXPECT_TRUE(gCreateAppointment4AllContracts);
}

TEST_F(CoreEntry, EditContractDefinitionShowsOnlyAReadyEditor) {
  CKT ckt;
  bool pbNew = true;
  ckt.EditContractDefinition(app_, pbNew);
  EXPECT_EQ(editor.log, (Log{"InitNew#1", "ShowModal#1"}));
  EXPECT_TRUE(pbNew);

  editor.log.clear();
  editor.initResult = false;
  pbNew = false;
  ckt.EditContractDefinition(app_, pbNew);
  EXPECT_EQ(editor.log, (Log{"InitEdit#2"}));
  EXPECT_FALSE(pbNew);
  EXPECT_EQ(editor.alive, 0);
  EXPECT_EQ(gVersion, kVersion);
}

TEST_F(CoreEntry, TheReporterLivesWhileAnyCKTLives) {
  auto first = std::make_unique<CKT>();
  auto second = std::make_unique<CKT>();
  first.reset();
  ASSERT_NE(gAddonError, nullptr);

  dialog.onInit = [] { rt::RaiseRuntime(rt::errc::DivByZero); };
  EXPECT_NO_THROW(Run(*second, kNew, {false, 0, false}));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].title, std::optional<std::string>("Fehler in CKT.NewContract"));
  EXPECT_EQ(Boxes()[0].prompt.rfind("Fehler &HB in kelPaktor2\r\n", 0), 0u) << Boxes()[0].prompt;

  second.reset();
  EXPECT_EQ(gAddonError, nullptr);
}

TEST_F(CoreEntry, NewContractDebitorCopiesByNameAndRunsTheCreation) {
  CKT ckt;
  auto contract = std::make_shared<LooseObject>();
  contract->props = {{"lVertragArt", "1"},         {"VertragBeginn", "01.04.2024"},
                     {"VertragGeschlossenAm", rt::Variant(rt::kNoDate)},
                     {"Bezeichnung", "Wartung"},    {"Dauer", int32_t{12}},
                     {"Zahlungsperiode", 3.0},      {"Verlaengerungsdauer", "12"},
                     {"VerlaengerungsZahlungsperiode", int16_t{12}},
                     {"dblRabatt", "2,5"},          {"KuendFristInWochen", int32_t{6}},
                     {"Memo", ""},                  {"RabattNurErsteLaufzeit", int32_t{-1}},
                     {"SetztMerkmalGruppe", "G"},   {"SetztMerkmal", "M"},
                     {"SetztWert", "2024-04-01"},   {"Auftragsnummer", int32_t{4711}}};
  auto articles = std::make_shared<rt::Collection>();
  articles->Add(rt::Variant(std::make_shared<kt_CArticle>()));

  std::shared_ptr<kt_CContractD> seen;
  apiRun = [&] { seen = gContractD; };
  ckt.NewContractDebitor(app_, contract, articles);

  EXPECT_EQ(apiRuns, 1);
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(seen->lVertragArt, 1);
  EXPECT_EQ(seen->VertragBeginn, rt::DateSerial(2024, 4, 1));
  EXPECT_EQ(seen->Zahlungsperiode, 3);
  EXPECT_EQ(seen->Verlaengerungsdauer, 12);
  EXPECT_EQ(seen->dblRabatt, 2.5);
  EXPECT_TRUE(seen->RabattNurErsteLaufzeit);
  EXPECT_EQ(seen->SetztWert, "2024-04-01");
  EXPECT_EQ(seen->Auftragsnummer, "4711");
  EXPECT_EQ(gColArt, articles);  // the caller's collection itself
  EXPECT_EQ(gApp, app_);
  EXPECT_EQ(gVersion, kVersion);

  // One property missing: reported, the creation does not run.
  contract->props.erase("Auftragsnummer");
  ckt.NewContractDebitor(app_, contract, articles);
  EXPECT_EQ(apiRuns, 1);
  ASSERT_EQ(Titles(), (Log{"Fehler in CKT.NewContractDebitor"}));
  EXPECT_EQ(Boxes()[0].prompt.rfind("Fehler &H1B6 in ", 0), 0u);
}

TEST_F(CoreEntry, NewContractDebitorPassesCreationErrorsUnchanged) {
  CKT ckt;
  apiRun = [] { rt::Raise(static_cast<int32_t>(0x80045001u), "modAPI", "Vertragsart muss 1 oder 2 sein!"); };
  auto contract = std::make_shared<kt_CContractD>();
  contract->lVertragArt = 3;
  EXPECT_EQ(coretest::ErrorText([&] { ckt.NewContractDebitor(app_, contract, std::make_shared<rt::Collection>()); }),
            "Fehler &H80045001 in modAPI: Vertragsart muss 1 oder 2 sein!");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(gContractD->lVertragArt, 3);
}

TEST_F(CoreEntry, CopyDefAndPosToClass) {
  CKT ckt;
  auto def = std::make_shared<kt_CDefinition>();
  def->Typ = "D";
  def->Art = 2;
  def->NettoSumme = 99.5;
  def->FirmenProvision = 1;
  def->DefOid = "17";
  ckt.CopyDefToClass(def);
  ASSERT_NE(gDefinition, nullptr);
  EXPECT_NE(gDefinition, def);
  EXPECT_EQ(gDefinition->Typ, "D");
  EXPECT_EQ(gDefinition->Art, 2);
  EXPECT_EQ(gDefinition->NettoSumme, 99.5);
  EXPECT_EQ(gDefinition->DefOid, "17");
  EXPECT_EQ(gDefinition->FirmenProvision, 0);

  // A source without the properties is reported, not raised.
  ckt.CopyDefToClass(std::make_shared<kt_CArticle>());
  EXPECT_EQ(Titles(), (Log{"Fehler in CKT.CopyDefToClass"}));

  auto positions = std::make_shared<rt::Collection>();
  for (const char* group : {"A", "B"}) {
    auto p = std::make_shared<kt_CPosition>();
    p->Artikel = std::string("Art") + group;
    p->PreisM12 = 120;
    p->Gruppierung = group;
    positions->Add(rt::Variant(p));
  }
  ckt.CopyPosToClass(positions);
  ASSERT_EQ(gPositions->Count(), 2);
  auto second = rt::CastObject<kt_CPosition>(gPositions->Item(2));
  EXPECT_EQ(second->Artikel, "ArtB");
  EXPECT_EQ(second->PreisM12, 120);
  EXPECT_EQ(second->Gruppierung, "");
  EXPECT_EQ(ErrorOf([&] { ckt.CopyPosToClass(nullptr); }), 91);
}

}  // namespace
