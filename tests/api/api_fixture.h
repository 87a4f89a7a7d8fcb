// Shared fixture of the programmatic-creation tests: the core tests' set-up
// (stand-in host in memory, today fixed to 10.03.2024, scripted UI)
// with the sample data loaded, an empty run state, and a CKT made through
// the library's class factory, as a host makes it.
//
// Baseline() is a valid renewable contract: from 01.01.2024 for 12 months,
// paid quarterly, renewed for 12 months paid yearly, 10 % discount, six
// weeks' notice, concluded 15.12.2023, attribute Vertrag/Wartungsvertrag =
// "ja". Line() is one article line (sample article A1 costs 120 a year).
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/mod_api.h"
#include "api/run_state.h"
#include "core/ckt.h"
#include "core/core_fixture.h"
#include "core/records.h"
#include "platform/date.h"
#include "platform/error.h"
#include "platform/object.h"
#include "platform/variant.h"

namespace apitest {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using coretest::Counts;
using coretest::Hr;
using coretest::kStorage;

// Empties the run state of the module.
inline void ResetRunState() {
  modAPI::gAdressen.reset();
  modAPI::gVertraege.reset();
  modAPI::gStaende.reset();
  modAPI::gPositionen.reset();
  modAPI::gArtikel.reset();
  modAPI::gEndDate = rt::Date{};
  modAPI::gVertragsnummer.clear();
  modAPI::gNewPositions.clear();
}

class ApiTest : public coretest::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    host_->LoadSampleData();
    ResetRunState();
    ckt_ = std::dynamic_pointer_cast<CKT>(rt::CreateObject("kelPaktor2.CKT"));
    ASSERT_NE(ckt_, nullptr);
  }
  void TearDown() override {
    ckt_.reset();
    ResetRunState();
    CoreTest::TearDown();
  }

  static std::shared_ptr<kt_CContractD> Baseline() {
    auto c = rt::CastObject<kt_CContractD>(rt::Variant(rt::CreateObject("kelPaktor2.kt_CContractD")));
    c->lVertragArt = 1;
    c->VertragBeginn = rt::DateSerial(2024, 1, 1);
    c->VertragGeschlossenAm = rt::DateSerial(2023, 12, 15);
    c->Bezeichnung = "Wartung";
    c->Dauer = 12;
    c->Zahlungsperiode = 3;
    c->Verlaengerungsdauer = 12;
    c->VerlaengerungsZahlungsperiode = 12;
    c->dblRabatt = 10;
    c->KuendFristInWochen = 6;
    c->SetztMerkmalGruppe = "Vertrag";
    c->SetztMerkmal = "Wartungsvertrag";
    c->SetztWert = "ja";
    return c;
  }

  static std::shared_ptr<kt_CArticle> Line(const std::string& id = "A1", double qty = 1,
                                           int32_t months = 12) {
    auto a = rt::CastObject<kt_CArticle>(rt::Variant(rt::CreateObject("kelPaktor2.kt_CArticle")));
    a->sArtikelID = id;
    a->dblAnzahl = qty;
    a->lPreisDauer = months;
    return a;
  }
  // A line at a special price.
  static std::shared_ptr<kt_CArticle> Special(const std::string& id, double qty, int32_t months,
                                              double price) {
    auto a = Line(id, qty, months);
    a->bSonderpreisVerwenden = true;
    a->dblPreis = price;
    return a;
  }

  static std::shared_ptr<rt::Collection> Lines(const std::vector<std::shared_ptr<kt_CArticle>>& lines) {
    auto col = std::make_shared<rt::Collection>();
    for (const auto& l : lines) col->Add(rt::Variant(l));
    return col;
  }

  // Calls CKT.NewContractDebitor as a host does; the error it raised, if any.
  std::optional<rt::Error> Run(const std::shared_ptr<kt_CContractD>& contract,
                               const std::shared_ptr<rt::Collection>& lines) {
    try {
      ckt_->NewContractDebitor(app_, contract, lines);
    } catch (const rt::Error& e) {
      return e;
    }
    return std::nullopt;
  }
  std::optional<rt::Error> Run(const std::shared_ptr<kt_CContractD>& contract,
                               const std::vector<std::shared_ptr<kt_CArticle>>& lines) {
    return Run(contract, Lines(lines));
  }
  // A run that must succeed.
  void RunOk(const std::shared_ptr<kt_CContractD>& contract,
             const std::vector<std::shared_ptr<kt_CArticle>>& lines) {
    const auto err = Run(contract, lines);
    ASSERT_FALSE(err.has_value()) << err->what();
  }

  // The error must have this number and source.
  static void ExpectError(const std::optional<rt::Error>& err, int32_t number, const std::string& source) {
    ASSERT_TRUE(err.has_value()) << "no error";
    EXPECT_EQ(rt::Hex(err->number()), rt::Hex(number)) << err->what();
    EXPECT_EQ(err->source(), source);
  }

  std::shared_ptr<CKT> ckt_;
};

}  // namespace apitest
