// Shared set-up of the kelhost debitor tests: a temp folder with a sample
// database and a valid pair of input files, and helpers to run debitor on
// them.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/sqlite/stand_in.h"
#include "kelhost_run.h"

namespace kelhost_test {

// A one-off contract that the add-on accepts: it gets an end reminder and,
// having no conclusion date, an open reminder.
inline const std::vector<std::pair<std::string, std::string>>& ValidContract() {
  static const std::vector<std::pair<std::string, std::string>> lines = {
      {"lVertragArt", "2"},
      {"VertragBeginn", "01.01.2024"},
      {"VertragGeschlossenAm", ""},
      {"Bezeichnung", "Wartung"},
      {"Dauer", "12"},
      {"Zahlungsperiode", "12"},
      {"Verlaengerungsdauer", "0"},
      {"VerlaengerungsZahlungsperiode", "0"},
      {"dblRabatt", "0"},
      {"KuendFristInWochen", "0"},
      {"Memo", ""},
      {"RabattNurErsteLaufzeit", "false"},
      {"SetztMerkmalGruppe", "Vertrag"},
      {"SetztMerkmal", "Wartungsvertrag"},
      {"SetztWert", "ja"},
      {"Auftragsnummer", ""},
  };
  return lines;
}

// The valid contract file, with the line of property `name` replaced by
// `line` (which may hold several lines, or none).
inline std::string ContractWith(const std::string& name = "", const std::string& line = "") {
  std::string text;
  for (const auto& [n, v] : ValidContract()) {
    if (n == name) {
      if (!line.empty()) text += line + "\n";
    } else {
      text += n + " = " + v + "\n";
    }
  }
  return text;
}

// The valid contract file with some values replaced.
inline std::string ContractWithValues(const std::map<std::string, std::string>& values) {
  std::string text;
  for (const auto& [n, v] : ValidContract()) {
    const auto changed = values.find(n);
    text += n + " = " + (changed == values.end() ? v : changed->second) + "\n";
  }
  return text;
}

// The 1-based line of property `name` in the valid contract file.
inline int ContractLine(const std::string& name) {
  int i = 1;
  for (const auto& entry : ValidContract()) {
    if (entry.first == name) return i;
    ++i;
  }
  return 0;
}

inline const char* kValidArticles = "sArtikelID;dblAnzahl;lPreisDauer\nA1;1,5;12\n";

// The lines of a text.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class DebitorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = dir_.File("host.db");
    contract_ = dir_.File("vertrag.txt");
    articles_ = dir_.File("artikel.csv");
    host::sqlite::StandIn::Create(db_, true);
    WriteFile(contract_, ContractWith());
    WriteFile(articles_, kValidArticles);
  }

  // debitor on the database and the two files, today fixed, plus `extra`.
  Result Debitor(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"debitor", db_, "--today", "2024-03-10", "--contract", contract_,
                                     "--articles", articles_};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunKelhost(dir_, args);
  }

  // The records of a table, read back through the harness.
  std::vector<host::sqlite::Row> Rows(const std::string& table) {
    return host::sqlite::StandIn::Open(db_)->Rows(table);
  }

  TempDir dir_;
  std::string db_, contract_, articles_;
};

}  // namespace kelhost_test
