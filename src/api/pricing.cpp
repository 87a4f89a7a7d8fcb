// The positions of a new contract from the caller's article lines: prices
// per duration, the period price, the discount, and the merging of equal
// lines.
#include <string>

#include "api/internal.h"
#include "api/mod_api.h"
#include "api/run_state.h"
#include "core/discount.h"
#include "core/globals.h"
#include "core/records.h"
#include "core/table_properties.h"
#include "platform/number.h"
#include "platform/text.h"

namespace modAPI {

namespace {

using internal::IsStandardPeriod;
using kp::PeriodPrice;
using kp::PriceColumn;
using rt::Need;

// The value of a field of the article current in `articles`.
rt::Variant ArticleValue(const std::shared_ptr<host::DbTable>& articles, const char* field) {
  return Need(Need(articles->Fields())->Item(field))->Value();
}

// The value of a host formula on the current article.
rt::Variant Formula(const char* formula) {
  return Need(Need(Need(gDB)->ScriptEngine())->Evaluate(formula, internal::kNoFlags))->Value(0);
}

// The entry that takes a line with these keys: same article id,
// description and order number (letter case aside), exactly the same
// monthly price and discount. Null when there is none.
NewPosition* MergeTarget(const std::string& id, double m1, const std::string& description, double discount,
                         const std::string& order) {
  for (NewPosition& p : gNewPositions) {
    if (rt::EqualsIgnoreCase(p.ArtikelID, id) && p.PreisM1 == m1 &&
        rt::EqualsIgnoreCase(p.Beschreibung, description) && p.Rabattprozent == discount &&
        rt::EqualsIgnoreCase(p.Auftragsnummer, order))
      return &p;
  }
  return nullptr;
}

// Prices one article line and merges it into the first equal entry of
// gNewPositions or appends it; a line whose article is not found is
// skipped without a word (the check before has found it).
void AddLine(const std::shared_ptr<host::DbTable>& articles, const kt_CArticle& line, int32_t period,
             double discount, int32_t dauer) {
  articles->MoveFirst(internal::kFlags);
  bool found = false;
  articles->Seek(line.sArtikelID, internal::kFlags, &found);
  if (!found) return;

  NewPosition p;
  const double linePrice =
      line.bSonderpreisVerwenden ? line.dblPreis : rt::CDbl(ArticleValue(articles, "Nettopreis"));
  CalculatePrices(line.lPreisDauer, linePrice, p.PreisM1, p.PreisM3, p.PreisM6, p.PreisM12, p.PreisM24,
                  p.PreisM36, p.PreisM48, p.PreisM60);
  const double periodPrice = PeriodPrice(p, period);
  const double lineDiscount = line.bUseCustomDiscount ? line.dblCustomDiscount : discount;
  const double net = ApplyDiscount(periodPrice, lineDiscount);
  const std::string description =
      !line.sBeschreibung.empty() ? line.sBeschreibung : rt::CStr(ArticleValue(articles, "Beschreibung"));

  if (NewPosition* target =
          MergeTarget(line.sArtikelID, p.PreisM1, description, lineDiscount, line.sAuftragsnummer)) {
    target->Anzahl = rt::Add(target->Anzahl, line.dblAnzahl);
    return;
  }

  // The formulas work on the article current in the table.
  p.Artikel = rt::CStr(ArticleValue(articles, "Bezeichnung"));
  p.Nettopreis = net;
  p.Artikelnummer = rt::CStr(ArticleValue(articles, "Nummer"));
  p.Artikelart = rt::CStr(ArticleValue(articles, "Art"));
  p.Einheit = rt::CStr(ArticleValue(articles, "Einheit"));
  p.UStSatz = rt::CDbl(Formula("USTSatzArtikel()"));
  p.Beschreibung = description;
  p.Anzahl = line.dblAnzahl;
  p.Erloeskonto = rt::CLng(Formula("Erloeskonto()"));
  p.ArtikelID = line.sArtikelID;
  // Terms of a standard length take their own column; the short odd ones
  // the period price.
  p.Preis = IsStandardPeriod(dauer) ? PriceColumn(p, dauer) : periodPrice;
  p.NettoOhneRabatt = periodPrice;
  p.Rabattprozent = lineDiscount;
  p.Auftragsnummer = line.sAuftragsnummer;
  p.Gruppierung = line.sGruppierung;
  gNewPositions.push_back(std::move(p));
}

}  // namespace

bool GetNewPositions(int32_t period, double discount) {
  CTableProperties state;
  try {
    gNewPositions.clear();
    const std::shared_ptr<host::DbTable> articles = Need(gArtikel);
    state.Init(articles);
    state.Save();
    articles->ModeA(true, internal::kNoFlags);
    articles->ModeB(true, internal::kNoFlags);
    Need(articles->Indexes())->Select("Id", internal::kNoFlags);
    const int32_t dauer = Need(gContractD)->Dauer;

    bool result = false;
    internal::ForEachLine([&](const kt_CArticle& line) {
      result = true;
      AddLine(articles, line, period, discount, dauer);
    });
    state.Restore(false);
    return result;
  } catch (...) {
    const rt::Error err = rt::CurrentError();
    internal::RestoreQuietly([&] { state.Restore(false); });
    rt::Reraise(err, std::string(internal::kErrSource) + ".GetNewPositions");
  }
}

void CalculatePrices(int32_t months, double price, double& m1, double& m3, double& m6, double& m12,
                     double& m24, double& m36, double& m48, double& m60) {
  const double monthly = rt::Div(price, months);
  m1 = Round2(rt::Mul(monthly, 1));
  m3 = Round2(rt::Mul(monthly, 3));
  m6 = Round2(rt::Mul(monthly, 6));
  m12 = Round2(rt::Mul(monthly, 12));
  m24 = Round2(rt::Mul(monthly, 24));
  m36 = Round2(rt::Mul(monthly, 36));
  m48 = Round2(rt::Mul(monthly, 48));
  m60 = Round2(rt::Mul(monthly, 60));
}

double Round2(double x) { return rt::Round2(x); }

double ApplyDiscount(double price, double pct) { return kp::ApplyDiscount(price, pct); }

}  // namespace modAPI
