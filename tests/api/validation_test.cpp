// The checks before anything is written: numbers, descriptions and order.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "api_fixture.h"
#include "platform/text.h"

namespace {

using apitest::Hr;
using apitest::kNaN;
using Contract = std::shared_ptr<kt_CContractD>;
using Article = std::shared_ptr<kt_CArticle>;

class ApiValidation : public apitest::ApiTest {
 protected:
  // Runs a baseline changed by `change` (the contract and the second of
  // its two lines, so that a check must look past the first line) and
  // expects the numbered error with nothing written and no message box.
  void ExpectRejected(const std::string& what,
                      const std::function<void(kt_CContractD&, kt_CArticle&)>& change, uint32_t number,
                      const std::string& description) {
    SCOPED_TRACE(what);
    Contract c = Baseline();
    Article a = Line();
    change(*c, *a);
    const auto err = Run(c, {Line("A2"), a});
    ASSERT_TRUE(err.has_value());
    EXPECT_EQ(rt::Hex(err->number()), rt::Hex(Hr(number)));
    EXPECT_EQ(err->source(), "modAPI");
    EXPECT_EQ(err->description(), description);
    EXPECT_EQ(Count(), apitest::Counts{});
    EXPECT_TRUE(Boxes().empty());
  }
};

const std::string kCrLf(rt::kCrLf);

TEST_F(ApiValidation, EveryCheckRaisesItsNumberAndText) {
  const std::string missing =
      "Es wurden nicht alle Artikel gefunden." + kCrLf + "Überprüfen Sie die ArtikelIDs!";
  const std::string quantity =
      "Die Anzahl für Artikel muss > 0 sein." + kCrLf + "Überprüfen Sie die Artikelanzahl!";
  const std::string months =
      "Die 'Preisdauer' für Artikel muss > 0 sein." + kCrLf + "Überprüfen Sie die 'Preisdauer'!";
  const std::string kind = "Ungültige Vertragsart." + kCrLf + "Vertragsart muss 1 oder 2 sein!";

  struct Case {
    const char* what;
    std::function<void(kt_CContractD&, kt_CArticle&)> change;
    uint32_t number;
    std::string description;
  };
  const std::vector<Case> cases = {
      {"unknown article", [](auto&, auto& a) { a.sArtikelID = "NOPE"; }, 0x80045001, missing},
      {"quantity 0", [](auto&, auto& a) { a.dblAnzahl = 0; }, 0x80045002, quantity},
      {"quantity -1", [](auto&, auto& a) { a.dblAnzahl = -1; }, 0x80045002, quantity},
      {"quantity NaN", [](auto&, auto& a) { a.dblAnzahl = kNaN; }, 0x80045002, quantity},
      {"quantity infinite", [](auto&, auto& a) { a.dblAnzahl = HUGE_VAL; }, 0x80045002, quantity},
      {"price months 0", [](auto&, auto& a) { a.lPreisDauer = 0; }, 0x80045003, months},
      {"price months -12", [](auto&, auto& a) { a.lPreisDauer = -12; }, 0x80045003, months},
      {"kind 3", [](auto& c, auto&) { c.lVertragArt = 3; }, 0x80045004, kind},
      {"kind 0", [](auto& c, auto&) { c.lVertragArt = 0; }, 0x80045004, kind},
      {"Dauer 13", [](auto& c, auto&) { c.Dauer = 13; }, 0x80045005, "Ungültige Dauer."},
      {"Dauer 0", [](auto& c, auto&) { c.Dauer = 0; }, 0x80045005, "Ungültige Dauer."},
      {"Dauer 18", [](auto& c, auto&) { c.Dauer = 18; }, 0x80045005, "Ungültige Dauer."},
      {"renewal 6", [](auto& c, auto&) { c.Verlaengerungsdauer = 6; }, 0x80045005,
       "Ungültige Verlängerungsdauer."},
      {"renewal 0", [](auto& c, auto&) { c.Verlaengerungsdauer = 0; }, 0x80045005,
       "Ungültige Verlängerungsdauer."},
      {"period 0", [](auto& c, auto&) { c.Zahlungsperiode = 0; }, 0x80045006,
       "Zahlungsperiode muss >0 sein!"},
      {"period -3", [](auto& c, auto&) { c.Zahlungsperiode = -3; }, 0x80045006,
       "Zahlungsperiode muss >0 sein!"},
      {"renewal period 0", [](auto& c, auto&) { c.VerlaengerungsZahlungsperiode = 0; }, 0x80045006,
       "Verlängerungszahlungsperiode muss >0 sein!"},
      {"period 24 in 12", [](auto& c, auto&) { c.Zahlungsperiode = 24; }, 0x80045007,
       "Zahlungsperiode passt nicht zur Dauer!"},
      {"renewal period 24 in 12", [](auto& c, auto&) { c.VerlaengerungsZahlungsperiode = 24; }, 0x80045007,
       "Verlängerungszahlungsperiode passt nicht zur Dauer!"},
      {"period 5 in 12", [](auto& c, auto&) { c.Zahlungsperiode = 5; }, 0x80045008,
       "Zahlungsperiode passt nicht zur Laufzeit!"},
      {"renewal period 2", [](auto& c, auto&) { c.VerlaengerungsZahlungsperiode = 2; }, 0x80045008,
       "Verlängerungszahlungsperiode passt nicht zur Laufzeit!"},
      {"discount 100.01", [](auto& c, auto&) { c.dblRabatt = 100.01; }, 0x80045009,
       "Ungültiger Wert für Rabatt!"},
      {"discount -0.01", [](auto& c, auto&) { c.dblRabatt = -0.01; }, 0x80045009,
       "Ungültiger Wert für Rabatt!"},
      {"discount NaN", [](auto& c, auto&) { c.dblRabatt = kNaN; }, 0x80045009, "Ungültiger Wert für Rabatt!"},
      // A line's own discount, when it is used, is held to the same range.
      {"line discount 150", [](auto&, auto& a) { a.bUseCustomDiscount = true, a.dblCustomDiscount = 150; },
       0x80045009, "Ungültiger Wert für Rabatt!"},
      {"line discount -5", [](auto&, auto& a) { a.bUseCustomDiscount = true, a.dblCustomDiscount = -5; },
       0x80045009, "Ungültiger Wert für Rabatt!"},
      {"line discount NaN", [](auto&, auto& a) { a.bUseCustomDiscount = true, a.dblCustomDiscount = kNaN; },
       0x80045009, "Ungültiger Wert für Rabatt!"},
      {"line discount 100.01",
       [](auto&, auto& a) { a.bUseCustomDiscount = true, a.dblCustomDiscount = 100.01; }, 0x80045009,
       "Ungültiger Wert für Rabatt!"},
      // The first failing check wins.
      {"unknown article and kind 3",
       [](auto& c, auto& a) {
         a.sArtikelID = "NOPE";
         c.lVertragArt = 3;
       },
       0x80045001, missing},
      {"quantity and months", [](auto&, auto& a) { a.dblAnzahl = 0, a.lPreisDauer = 0; }, 0x80045002,
       quantity},
      {"Dauer 13 and period 0", [](auto& c, auto&) { c.Dauer = 13, c.Zahlungsperiode = 0; }, 0x80045005,
       "Ungültige Dauer."},
      {"renewal 6 and discount 200", [](auto& c, auto&) { c.Verlaengerungsdauer = 6, c.dblRabatt = 200; },
       0x80045005, "Ungültige Verlängerungsdauer."},
      {"first-term period before renewal",
       [](auto& c, auto&) { c.Zahlungsperiode = 5, c.Verlaengerungsdauer = 0; }, 0x80045008,
       "Zahlungsperiode passt nicht zur Laufzeit!"},
  };
  for (const Case& k : cases) ExpectRejected(k.what, k.change, k.number, k.description);
}

TEST_F(ApiValidation, BorderValuesThatPass) {
  struct Case {
    const char* what;
    std::function<void(kt_CContractD&)> change;
  };
  const std::vector<Case> cases = {
      {"Dauer 36 paid every 18 months", [](auto& c) { c.Dauer = 36, c.Zahlungsperiode = 18; }},
      {"one-off without renewal",
       [](auto& c) { c.lVertragArt = 2, c.Verlaengerungsdauer = 0, c.VerlaengerungsZahlungsperiode = 0; }},
      {"renewal 36 paid every 24 months",
       [](auto& c) { c.Verlaengerungsdauer = 36, c.VerlaengerungsZahlungsperiode = 24; }},
      {"discount 0", [](auto& c) { c.dblRabatt = 0; }},
      {"discount 100", [](auto& c) { c.dblRabatt = 100; }},
  };
  // A line's own discount of 0 or 100 passes; one it does not use is not
  // looked at.
  for (double own : {0.0, 100.0}) {
    auto a = Line();
    a->bUseCustomDiscount = true;
    a->dblCustomDiscount = own;
    auto unused = Line("A2");
    unused->dblCustomDiscount = 150;
    RunOk(Baseline(), {a, unused});
  }
  size_t contracts = 2;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    auto c = Baseline();
    k.change(*c);
    RunOk(c, {Line()});
    EXPECT_EQ(Count().contracts, ++contracts);
  }
}

TEST_F(ApiValidation, NoCurrentAddressIsRaisedAfterTheTablesWereOpened) {
  host_->SetCurrentAddress("", false);
  const auto err = Run(Baseline(), {Line()});
  ExpectError(err, Hr(0x8004500A), "modAPI");
  EXPECT_EQ(err->description(), "Keine Adresse ausgewählt!");
  EXPECT_NE(modAPI::gAdressen, nullptr);
  EXPECT_NE(modAPI::gArtikel, nullptr);
  EXPECT_EQ(Count(), apitest::Counts{});
  EXPECT_EQ(host_->Rows("KMMD_Nummern").size(), 0u);  // no number drawn
}

TEST_F(ApiValidation, UnreadableLinesAreShownThenReportedAsMissingArticles) {
  struct Case {
    const char* what;
    std::shared_ptr<rt::Collection> lines;
    const char* shown;  // start of the message
  };
  auto foreign = Lines({Line()});
  foreign->Add(rt::Variant(Baseline()));  // a contract, not an article line
  auto text = Lines({});
  text->Add(rt::Variant("A1"));
  const std::vector<Case> cases = {
      {"an item of another class", foreign, "Fehler &HD in "},
      {"an item that is no object", text, "Fehler &HD in "},
      {"no collection", nullptr, "Fehler &H5B in "},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    const auto err = Run(Baseline(), cases[i].lines);
    ExpectError(err, Hr(0x80045001), "modAPI");
    ASSERT_EQ(Boxes().size(), i + 1);
    EXPECT_EQ(Boxes()[i].title, std::optional<std::string>("Fehler in modAPI.ArticlesExist"));
    EXPECT_EQ(Boxes()[i].prompt.rfind(cases[i].shown, 0), 0u) << Boxes()[i].prompt;
    EXPECT_EQ(Count(), apitest::Counts{});
  }
}

TEST_F(ApiValidation, TheLineCounterCapsACallAt32766Lines) {
  // 32767 lines overflow the 16-bit counter past the last one.
  std::vector<std::shared_ptr<kt_CArticle>> lines(32767, Line());
  auto err = Run(Baseline(), lines);
  ExpectError(err, Hr(0x80045001), "modAPI");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].prompt.rfind("Fehler &H6 in ", 0), 0u) << Boxes()[0].prompt;
  EXPECT_EQ(Count(), apitest::Counts{});

  // One line fewer is a contract; the equal lines become one position.
  lines.pop_back();
  RunOk(Baseline(), lines);
  const auto position = Only("kt_Vertragspositionen");
  EXPECT_EQ(Num(position, "Anzahl"), 32766);
  EXPECT_EQ(Boxes().size(), 1u);
}

}  // namespace
