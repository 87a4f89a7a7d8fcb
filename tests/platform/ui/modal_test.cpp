// Modal display through the scripted service.
#include <gtest/gtest.h>

#include "platform/runtime_expect.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

// A second dialog, shown from the first one's button.
class DetailForm : public ui::Form {
 public:
  DetailForm() : Form("frmDetail") {
    cmdOk.OnClick = [this] {
      bOK = true;
      Hide();
    };
  }
  bool bOK = false;
  ui::TextBox txtArtikel{*this, "txtArtikel"};
  ui::CommandButton cmdOk{*this, "cmdOk"};

 protected:
  void Form_Load() override { SetCaption("Vertragsposition"); }
};

class UiModal : public UiTest {};

TEST_F(UiModal, ShowModalLoadsActivatesAndPlaysTheScript) {
  auto f = ui::NewForm<TestForm>();
  service->OnModal<TestForm>([&](TestForm& form) {
    EXPECT_TRUE(form.IsShown());
    EXPECT_RT_ERROR(form.ShowModal(), 400);  // already shown
    EXPECT_EQ(form.loaded, 1);
    EXPECT_EQ(form.activated, 1);
    EXPECT_EQ(form.ActiveControl(), &form.txtDauer);  // first control that takes the focus
    EXPECT_TRUE(user.Type(form.txtRabatt, "7"));
    EXPECT_TRUE(user.Click(form.cmdOK));
  });
  f->ShowModal();
  EXPECT_FALSE(f->IsShown());
  EXPECT_EQ(f->txtRabatt.Text(), "7");  // the script ran
  ASSERT_EQ(service->ModalLog().size(), 1u);
  EXPECT_EQ(service->ModalLog()[0].form, "frmTest");
  EXPECT_EQ(service->ModalLog()[0].caption, "Testdialog");
}

TEST_F(UiModal, AHiddenFormKeepsItsStateAndCanBeShownAgain) {
  auto f = ui::NewForm<TestForm>();
  service->OnModal<TestForm>([&](TestForm& form) {
    user.Tick(form.chkFlag);
    user.Click(form.cmdCancel);
  });
  service->OnModal<TestForm>([&](TestForm& form) {
    EXPECT_EQ(form.chkFlag.Value(), 1);
    EXPECT_TRUE(form.cmdCancel.HasFocus());  // the focus is where it was left
    user.Click(form.cmdOK);
  });
  f->ShowModal();
  f->ShowModal();
  EXPECT_EQ(f->loaded, 1);
  EXPECT_EQ(f->activated, 2);
  EXPECT_EQ(f->log.back(), "cmdOK_Click");
  EXPECT_EQ(service->PendingScripts(), 0u);
}

TEST_F(UiModal, NestedModalFormsRunTheirOwnScripts) {
  auto f = ui::NewForm<TestForm>();
  std::shared_ptr<DetailForm> detail;
  f->cmdOK.OnClick = [&] {
    detail = ui::NewForm<DetailForm>();
    detail->txtArtikel.SetText("Wartung");  // first use loads it
    detail->ShowModal();
    if (detail->bOK) f->Hide();
  };
  service->OnModal<TestForm>([&](TestForm& form) { user.Click(form.cmdOK); });
  service->OnModal<DetailForm>([&](DetailForm& d) {
    EXPECT_EQ(d.txtArtikel.Text(), "Wartung");
    user.Click(d.cmdOk);
  });
  f->ShowModal();
  ASSERT_EQ(service->ModalLog().size(), 2u);
  EXPECT_EQ(service->ModalLog()[1].form, "frmDetail");
  EXPECT_EQ(service->ModalLog()[1].caption, "Vertragsposition");
  EXPECT_TRUE(detail->bOK);
  EXPECT_FALSE(f->IsShown());
}

TEST_F(UiModal, BrokenScriptsFail) {
  auto f = ui::NewForm<TestForm>();
  EXPECT_THROW(f->ShowModal(), ui::ScriptFailure);  // no script queued
  EXPECT_FALSE(f->IsShown());

  service->OnModal<TestForm>([](TestForm&) {});  // leaves the form shown
  EXPECT_THROW(f->ShowModal(), ui::ScriptFailure);
  EXPECT_FALSE(f->IsShown());
  EXPECT_EQ(service->Failures().size(), 2u);

  // Scripts go to their own form class only.
  service->OnModal<DetailForm>([](DetailForm& d) { d.Hide(); });
  EXPECT_THROW(f->ShowModal(), ui::ScriptFailure);
  EXPECT_EQ(service->PendingScripts(), 1u);
}

TEST_F(UiModal, ErrorInFormActivateIsReportedAndTheFormStillShows) {
  class FailingActivate : public DetailForm {
   protected:
    void Form_Activate() override { rt::RaiseRuntime(rt::errc::DivByZero); }
  };
  auto f = ui::NewForm<FailingActivate>();
  service->OnModal<FailingActivate>([&](FailingActivate& d) { user.Click(d.cmdOk); });
  f->ShowModal();
  EXPECT_TRUE(f->bOK);
  ASSERT_TRUE(ui::LastEventError().has_value());
  EXPECT_EQ(ui::LastEventError()->number(), 11);
}

// A front end that is replaced while it shows a form: it must stay alive
// until its display has ended.
class ReplacedService : public ui::Service {
 public:
  ui::MsgResult MessageBox(std::string_view, int, std::optional<std::string_view>) override {
    return ui::MsgResult::Ok;
  }
  void ShowModal(ui::Form& form) override {
    ui::SetService(nullptr);  // drops the only other reference
    form.Hide();
    ++displays;  // still its own member
  }
  void DoEvents() override {}
  int displays = 0;
};

TEST_F(UiModal, TheServiceStaysAliveForItsWholeDisplayAndYieldsGoThroughIt) {
  ui::DoEvents();
  ui::DoEvents();
  EXPECT_EQ(service->DoEventsCount(), 2);

  auto f = ui::NewForm<TestForm>();
  ui::SetService(std::make_shared<ReplacedService>());
  f->ShowModal();
  EXPECT_FALSE(f->IsShown());
}

}  // namespace
}  // namespace uitest
