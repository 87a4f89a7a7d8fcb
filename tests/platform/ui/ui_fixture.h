// A small dialog and a fixture for the dialog-layer tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/scripted_service.h"
#include "platform/ui/simulated_user.h"

namespace uitest {

// A dialog with one control of each kind. Its handlers log what ran.
class TestForm : public ui::Form {
 public:
  TestForm() : Form("frmTest") {
    // Design-time values: they raise nothing.
    txtDauer.SetText("12");
    optA.SetValue(true);
    cboPeriod.AddItem("monatlich");
    cboPeriod.SetItemData(cboPeriod.NewIndex(), 1);
    cboPeriod.AddItem("jährlich");
    cboPeriod.SetItemData(cboPeriod.NewIndex(), 12);
    cboPeriod.SetListIndex(0);
    SetCaption("Testdialog");

    txtDauer.OnChange = [this] { log.push_back("txtDauer_Change:" + txtDauer.Text()); };
    chkFlag.OnClick = [this] { log.push_back("chkFlag_Click:" + std::to_string(chkFlag.Value())); };
    optA.OnClick = [this] { log.push_back("optA_Click"); };
    optB.OnClick = [this] { log.push_back("optB_Click"); };
    optC.OnClick = [this] { log.push_back("optC_Click"); };
    cboPeriod.OnClick = [this] { log.push_back("cboPeriod_Click:" + std::to_string(cboPeriod.ListIndex())); };
    lstInvoices.OnClick = [this] { log.push_back("lstInvoices_Click:" + std::to_string(lstInvoices.ListIndex())); };
    DTPBeginn.OnChange = [this] { log.push_back("DTPBeginn_Change"); };
    lvwTypes.OnItemClick = [this](ui::ListItem& item) {
      log.push_back("lvwTypes_ItemClick:" + std::to_string(item.Index()));
    };
    cmdOK.OnClick = [this] {
      log.push_back("cmdOK_Click");
      Hide();
    };
    cmdCancel.OnClick = [this] {
      log.push_back("cmdCancel_Click");
      Hide();
    };
  }

  std::vector<std::string> log;
  int initialized = 0;
  int loaded = 0;
  int activated = 0;

  ui::TextBox txtDauer{*this, "txtDauer"};
  ui::TextBox txtRabatt{*this, "txtRabatt"};
  ui::Label lblDirty{*this, "lblDirty"};
  ui::CheckBox chkFlag{*this, "chkFlag"};
  ui::OptionButton optA{*this, "optA"};
  ui::OptionButton optB{*this, "optB"};
  ui::Frame fraGroup{*this, "fraGroup"};
  ui::OptionButton optC{fraGroup, "optC"};
  ui::TextBox txtInFrame{fraGroup, "txtInFrame"};
  ui::ComboBox cboPeriod{*this, "cboPeriod"};
  ui::ComboBox cboUnit{*this, "cboUnit", ui::ComboBox::Style::Editable};
  ui::ListBox lstInvoices{*this, "lstInvoices"};
  ui::DatePicker DTPBeginn{*this, "DTPBeginn"};
  ui::ListView lvwTypes{*this, "lvwTypes"};
  ui::CommandButton cmdOK{*this, "cmdOK"};
  ui::CommandButton cmdCancel{*this, "cmdCancel"};

 protected:
  void Form_Initialize() override { ++initialized; }
  void Form_Load() override {
    ++loaded;
    log.push_back("Form_Load");
  }
  void Form_Activate() override { ++activated; }
};

// A created and loaded TestForm with an empty log.
inline std::shared_ptr<TestForm> NewLoadedForm() {
  auto f = ui::NewForm<TestForm>();
  f->EnsureLoaded();
  f->log.clear();
  return f;
}

// Installs a scripted service and clears the event boundary for each test.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    service = std::make_shared<ui::test::ScriptedService>();
    ui::SetService(service);
    ui::SetEventErrorReporter({});
    ui::ClearEventErrors();
  }
  void TearDown() override {
    ui::SetService(nullptr);
    ui::SetEventErrorReporter({});
    ui::ClearEventErrors();
  }

  std::shared_ptr<ui::test::ScriptedService> service;
  ui::test::User user;
};

}  // namespace uitest
