// The differential fixture: one database built twice in the same way (a
// stored, released contract type entered through the editor, given a
// document and a notice reference through the host; the same address,
// user, settings and today). One copy saves from the stored type, the
// other opens the type in the editor, confirms it (unchanged unless the
// scenario adjusts it) and saves from memory, both with the same dialog
// values. Their records are then compared field by field, record ids
// aside: a record's master is named by its place in the master's table,
// AlarmOID by the place of the reminder it names.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/tables.h"
#include "host/sqlite/stand_in.h"
#include "memory_fixture.h"
#include "platform/ui/script.h"
#include "platform/ui/script_player.h"

namespace memtest {

using Fields = std::vector<std::pair<std::string, rt::Variant>>;

// What one copy of the database holds after its save.
struct Copy {
  bool ok = false;
  int32_t count = 0;
  std::map<std::string, std::vector<Fields>> tables;
  std::vector<std::string> boxes;  // "[title] style prompt"
  std::vector<std::vector<rt::Variant>> macroCalls;
};

struct Scenario {
  int32_t kind = 1;  // of the type entered: 1 renewable, 2 one-off, 3 open-ended
  // The articles in the editor's list when the type is entered; the labels
  // are the articles' Gruppierung: Wartung Basis "Wartung", Support
  // "Wartung", Hotline "Support". In group order unless a scenario says so.
  std::vector<std::string> articles = {"Wartung Basis", "Support", "Hotline"};
  // Added to the stored type by a second editing, saved again.
  std::vector<std::string> addedLater;
  rt::Date today = nctest::D(2024, 3, 10);
  rt::Date start = nctest::D(2024, 4, 1);
  int32_t k = -1;  // -1: a new contract; else the invoiced entry selected
  bool remindAll = false;  // CreateAppointment4AllContracts
  bool macro = false;      // chkWorkflow ticked, the macro registered
  bool failState = false;  // the first state's insert fails
  std::function<void(frmFEditDefinitions&)> edit;  // the in-memory copy's adjustment
};

// The tables compared, masters before their details.
inline const std::vector<std::string>& ComparedTables() {
  static const std::vector<std::string> t = {"kt_Vertraege",          "kt_VertragsAktivitaeten",
                                             "kt_Vertragsstaende",    "kt_Vertragspositionen",
                                             "Adressmerkmale",        "KMMD_Nummern"};
  return t;
}

class DifferentialTest : public MemoryTest {
 protected:
  Copy Save(const Scenario& s, bool fromMemory) {
    FreshDatabase(s);
    Copy copy;
    const size_t boxesBefore = Boxes().size();
    if (s.macro) {
      host_->RegisterMacro("Project", "kt_Macros", "kt_CreateAttribute",
                           [&copy](std::vector<rt::Variant>& args) { copy.macroCalls.push_back(args); });
    }
    const Outcome o = ShowThroughCkt([&](frmNewContract& f) {
      user_.SetDate(f.DTPVertragBeginn, s.start);
      if (fromMemory) Adjust(f, s.edit);
      Discount(f, "10");
      user_.SetDate(f.DTPGeschlossenAm, std::nullopt);
      if (s.macro) f.chkWorkflow.SetValue(ui::CheckBox::Checked);
      if (s.k >= 0) {
        user_.Tick(f.chkOldContract);
        user_.Select(f.lstInvoices, s.k);
      }
      if (s.failState) host_->FailNext("kt_Vertragsstaende", "Insert", nctest::Hr(nctest::kStorage), "voll");
      user_.Click(f.cmdOK);
      if (f.IsShown()) user_.Click(f.cmdCancel);
    });
    copy.ok = o.ok;
    copy.count = o.count;
    for (size_t i = boxesBefore; i < Boxes().size(); ++i) {
      const auto& b = Boxes()[i];
      std::ostringstream line;
      line << "[" << b.title.value_or("") << "] " << b.style << " " << b.prompt;
      copy.boxes.push_back(line.str());
    }
    for (const std::string& table : ComparedTables()) copy.tables[table] = Normalised(table);
    return copy;
  }

  // "table[i].field" for each field of a record that differs between the
  // copies, "table: n | m" when their counts differ. With `byNumber` the
  // positions are matched by their state and Positionsnummer rather than
  // by their order.
  static std::vector<std::string> Differences(const Copy& a, const Copy& b, bool byNumber = false) {
    std::vector<std::string> out;
    for (const std::string& table : ComparedTables()) {
      std::vector<Fields> x = a.tables.at(table);
      std::vector<Fields> y = b.tables.at(table);
      if (x.size() != y.size()) {
        std::ostringstream d;
        d << table << ": " << x.size() << " | " << y.size();
        out.push_back(d.str());
        continue;
      }
      if (byNumber && table == "kt_Vertragspositionen") {
        std::stable_sort(x.begin(), x.end(), ByStateAndNumber);
        std::stable_sort(y.begin(), y.end(), ByStateAndNumber);
      }
      for (size_t i = 0; i < x.size(); ++i)
        for (size_t f = 0; f < x[i].size(); ++f)
          if (!(x[i][f] == y[i][f])) {
            std::ostringstream d;
            d << table << "[" << i << "]." << x[i][f].first;
            out.push_back(d.str());
          }
    }
    return out;
  }

  // The value of a field of record `i` of `table` in `copy`.
  static const rt::Variant& Value(const Copy& copy, const std::string& table, size_t i, const std::string& field) {
    for (const auto& [name, value] : copy.tables.at(table).at(i))
      if (name == field) return value;
    throw std::out_of_range(field);
  }

 private:
  static std::string TypeScript(const Scenario& s) {
    std::string k = "type txtBezeichnung Wartung Differenz\nselect cboStatus freigegeben\n";
    if (s.kind == 2) k += "untick chkVerlaengerbar\n";
    if (s.kind == 3) k += "choose optUnbefristet\n";
    k += "select cboZahlungsperiode vierteljährlich\n";
    if (s.kind == 1) {
      k += "select cboKuendFrist 3\nselect cboKuendEinh Monate\nselect cboZahlungsperiode2 vierteljährlich\n"
           "select cboKuendFrist2 3\nselect cboKuendEinh2 Monate\nselect cboWorkflow Vertragsverlängerung prüfen\n";
    }
    k += "select cboPutGroup Vertrag\nselect cboPutAttribute Wartungsvertrag\nselect cboPutValue ja\n";
    k += PositionsScript(s.articles);
    return k + "click cmdSave\n";
  }
  static std::string PositionsScript(const std::vector<std::string>& articles) {
    std::string k;
    int n = 0;
    for (const std::string& a : articles)
      k.append("pick lvwArtikel ").append(a).append("\nclick cmdAddPos\ntype txtAnzahl ")
          .append(std::to_string(++n + 1)).append("\nclick cmdOk\n");
    return k;
  }

  // The editor run by a script, as `kelhost edit-type` runs it; it must
  // save without a message.
  void Enter(const std::string& script, bool isNew) {
    std::ostringstream shown;
    auto player = std::make_shared<ui::test::ScriptPlayer>(ui::test::ParseScript(script), shown);
    ui::SetService(player);
    bool pbNew = isNew;
    ckt_->EditContractDefinition(app_, pbNew);
    player->Finish();
    ui::SetService(ui_);
    EXPECT_EQ(shown.str(), "");
  }

  // Puts `values` on the first record of `table` whose `key` reads `id`,
  // through the host as another program would.
  void Change(const char* table, const char* key, const std::string& id, const Values& values) {
    const auto t = kp::OpenTable(table);
    for (const auto& row : host_->Rows(table)) {
      if (rt::CStr(row[key]) != id) continue;
      t->GotoOid(row.oid, 0);
      for (const auto& [field, value] : values) kp::PutField(t, field, value);
      t->Update(0);
      return;
    }
    ADD_FAILURE() << "no " << id << " in " << table;
  }

  void FreshDatabase(const Scenario& s) {
    host_ = host::sqlite::StandIn::OpenInMemory();
    app_ = host_->Application();
    gApp = app_;
    gDB = app_->Database();
    host_->LoadSampleData();
    rt::SetToday(s.today);
    host_->SetDatabaseSetting("CreateAppointment4AllContracts", s.remindAll ? "true" : "false");
    Change("Artikel", "Id", "A1", {{"Gruppierung", "Wartung"}});
    Change("Artikel", "Id", "A3", {{"Gruppierung", "Wartung"}});
    Change("Artikel", "Id", "A2", {{"Gruppierung", "Support"}});
    Enter(TypeScript(s), true);
    const std::string type = host_->Rows("kt_Vertragsdefinitionen").at(0).oid;
    if (!s.addedLater.empty()) {
      host_->SetCurrentContractTypeOid(type, false);
      Enter(PositionsScript(s.addedLater) + "click cmdSave\n", false);
    }
    // What the editor does not write.
    Change("kt_Vertragsdefinitionen", "Bezeichnung", "Wartung Differenz",
           {{"KuendigungsfristBezug", "Vertragsende"},
            {"Dokument", rt::Variant(host::sqlite::NewDocument("Vertragsvorlage"))}});
  }

  // The records of `table` with ids replaced as described above.
  std::vector<Fields> Normalised(const std::string& table) {
    static const std::map<std::string, std::string> masters = {{"kt_VertragsAktivitaeten", "kt_Vertraege"},
                                                               {"kt_Vertragsstaende", "kt_Vertraege"},
                                                               {"kt_Vertragspositionen", "kt_Vertragsstaende"}};
    std::vector<Fields> out;
    for (const auto& row : host_->Rows(table)) {
      Fields f;
      const auto master = masters.find(table);
      f.emplace_back("(master)", master == masters.end() ? rt::Variant(row.masterOid)
                                                         : rt::Variant(PlaceOf(master->second, row.masterOid)));
      for (const auto& [name, value] : row.fields) {
        if (name == "AlarmOID") {
          f.emplace_back(name, rt::CStr(value).empty() ? rt::Variant("") : rt::Variant(PlaceOf("kt_VertragsAktivitaeten", rt::CStr(value))));
        } else if (value.IsObject()) {
          f.emplace_back(name, "document " + host::sqlite::DocumentContent(value));
        } else {
          f.emplace_back(name, value);
        }
      }
      out.push_back(std::move(f));
    }
    return out;
  }
  int32_t PlaceOf(const std::string& table, const std::string& oid) {
    const auto rows = host_->Rows(table);
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i].oid == oid) return static_cast<int32_t>(i);
    return -1;
  }

  static bool ByStateAndNumber(const Fields& x, const Fields& y) {
    auto key = [](const Fields& f) {
      int32_t master = 0;
      int32_t number = 0;
      for (const auto& [name, value] : f) {
        if (name == "(master)") master = rt::CLng(value);
        if (name == "Positionsnummer") number = rt::CStr(value).empty() ? 0 : rt::CLng(value);
      }
      return std::make_pair(master, number);
    };
    return key(x) < key(y);
  }
};

}  // namespace memtest
