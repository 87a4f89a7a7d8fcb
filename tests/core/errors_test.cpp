// The error reporter and the own message box: texts, titles and styles
// byte for byte.
#include <memory>
#include <string>

#include "core/addon_error.h"
#include "core/globals.h"
#include "core_fixture.h"
#include "host/application.h"
#include "platform/error.h"
#include "platform/object.h"
#include "platform/ui/controls.h"
#include "platform/ui/simulated_user.h"

namespace {

class CoreErrors : public coretest::CoreTest {
 protected:
  // The stand-in host's own text for a number.
  static std::string HostText(int32_t number) {
    auto texts = std::dynamic_pointer_cast<host::HostErrorTexts>(rt::CreateObject(host::kErrorTextsClass));
    return texts->Text(number);
  }
};

TEST_F(CoreErrors, ReporterShowsNumberSourceAndHostText) {
  const rt::Error runtime(91, "kelPaktor2", "Objektvariable nicht festgelegt");
  const rt::Error hostError(static_cast<int32_t>(0x80040002u), "KMMD_Nummern", "Mandant fehlt");

  ReportError("CKT.NewContract", runtime);
  ReportError("kt_FEditDefinitions.cboWorkflow_Click()", hostError);

  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].prompt, "Fehler &H5B in kelPaktor2\r\n" + HostText(91));
  EXPECT_EQ(Boxes()[0].title, std::optional<std::string>("Fehler in CKT.NewContract"));
  EXPECT_EQ(Boxes()[0].style, 48);
  EXPECT_EQ(Boxes()[1].prompt,
            "Fehler &H80040002 in KMMD_Nummern\r\n" + HostText(static_cast<int32_t>(0x80040002u)));
  EXPECT_EQ(Boxes()[1].title, std::optional<std::string>("Fehler in kt_FEditDefinitions.cboWorkflow_Click()"));
}

TEST_F(CoreErrors, ReporterFallsBackToDescriptionWhenHostTextFails) {
  host_->FailAlways("ErrorTexts", "Text", static_cast<int32_t>(0x8004100Cu), "gestört");
  EXPECT_NO_THROW(ReportError("CKT.NewContract2", rt::Error(13, "kelPaktor2", "eigene Beschreibung")));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].prompt, "Fehler &HD in kelPaktor2\r\neigene Beschreibung");
  EXPECT_EQ(Boxes()[0].title, std::optional<std::string>("Fehler in CKT.NewContract2"));
  EXPECT_EQ(Boxes()[0].style, 48);
}

TEST_F(CoreErrors, ReporterMissingRaises91) {
  gAddonError.reset();
  EXPECT_EQ(coretest::ErrorOf([] { ReportError("modKT.ReadPersistVarSetting", rt::Error(5, "x", "y")); }), 91);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(CoreErrors, OwnBoxHasNoIconNoTitleAndKeepsEmptyBrackets) {
  ShowOwnErrorBox("modKT", ".CreateOpenAlarm", rt::Error(static_cast<int32_t>(0x80041096u), "KelDbServer", ""));
  ShowOwnErrorBox("kt_FNewContract", ".InitNew", rt::Error(6, "kelPaktor2", "Überlauf"));

  EXPECT_EQ(BoxesFrom(0), (std::vector<coretest::Shown>{
                             {"Fehler &H80041096\r\n()\r\nin modKT.CreateOpenAlarm", 0, std::nullopt},
                             {"Fehler &H6\r\n(Überlauf)\r\nin kt_FNewContract.InitNew", 0, std::nullopt}}));
}

// A dialog whose OK button fails without a trap of its own.
class frmFailing : public ui::Form {
 public:
  frmFailing() : Form("frmFailing") {
    cmdOk.OnClick = [] { rt::RaiseRuntime(rt::errc::TypeMismatch); };
  }
  ui::CommandButton cmdOk{*this, "cmdOk"};
};

TEST_F(CoreErrors, UserEventErrorsAreReportedUnderTheEventsNameWhileAReporterExists) {
  auto f = ui::NewForm<frmFailing>();
  ui::test::User user;
  EXPECT_TRUE(user.Click(f->cmdOk));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].title, std::optional<std::string>("Fehler in frmFailing.cmdOk_Click"));
  EXPECT_EQ(Boxes()[0].prompt, "Fehler &HD in kelPaktor2\r\n" + HostText(13));

  // Without a CKT object there is no reporter: the error is only recorded.
  gAddonError.reset();
  ui::ClearEventErrors();
  EXPECT_TRUE(user.Click(f->cmdOk));
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(ui::EventErrorCount(), 1);
}

}  // namespace
