// Thousands of calls with random contract data and article lines, most of
// them valid, some with a value out of range for each check, a text too
// long for its field, a date outside the calendar or a failing host call.
// Every call must end in exactly one of: a complete contract; a numbered
// error with nothing written; an error re-raised as "modAPI.<procedure>"
// with exactly what the phases before it wrote.
#include <cmath>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "api_fixture.h"
#include "platform/format.h"
#include "platform/text.h"

namespace {

using apitest::Counts;
using apitest::Hr;
using apitest::kNaN;

constexpr uint32_t kTextTooLong = 0x80041007;
using apitest::kStorage;
constexpr int kRuns = 2000;

// A host call that fails in this run.
enum class Fault { None, AttributeExists, PositionInsert, StateUpdate };

struct Input {
  std::shared_ptr<kt_CContractD> contract;
  std::vector<std::shared_ptr<kt_CArticle>> lines;
  bool foreignItem = false;  // one more item that is not an article line
  bool noAddress = false;
  bool allContracts = false;  // gCreateAppointment4AllContracts
  std::string leadK, leadE;   // persistent variables; "" = missing
  Fault fault = Fault::None;
};

// How a run must end.
enum class Phase { Validation, BeforeInsert, Empty, Positions, Writing, Values, Attribute, Done };

struct Expected {
  Phase phase = Phase::Done;
  uint32_t number = 0;  // 0: no error
  std::string source;
};

class Gen {
 public:
  explicit Gen(uint64_t seed) : rng_(seed) {}

  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
  int32_t Int(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng_); }
  double Real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
  template <class T>
  T Pick(std::initializer_list<T> items) {
    return *(items.begin() + Int(0, static_cast<int32_t>(items.size()) - 1));
  }

  // A text of `n` characters, umlauts included.
  std::string Text(int32_t n) {
    static const std::vector<std::string> kChars = {"a", "b", "Z", "0", " ", "-",
                                                    "/", "ä", "Ö", "ü", "ß", "é"};
    std::string s;
    for (int32_t i = 0; i < n; ++i)
      s += kChars[static_cast<size_t>(Int(0, static_cast<int32_t>(kChars.size()) - 1))];
    return s;
  }
  // A text for a field of `size` characters: mostly short, sometimes
  // exactly full, and with `tooLong` one character too many.
  std::string Field(int32_t size, bool tooLong) {
    if (tooLong) return Text(size + 1);
    if (Chance(0.05)) return Text(size);
    return Text(Int(0, std::min(size, 30)));
  }

  // A date from 1900 to 2100, now and then with a time of day.
  rt::Date Date() {
    double serial = Int(static_cast<int32_t>(rt::DateSerial(1900, 1, 1).serial),
                        static_cast<int32_t>(rt::DateSerial(2100, 12, 31).serial));
    if (Chance(0.1)) serial += Int(0, 23) / 24.0;
    return rt::Date{serial};
  }

  Input Next(int run) {
    Input in;
    auto c = std::make_shared<kt_CContractD>();
    c->lVertragArt = Chance(0.97) ? Int(1, 2) : Pick<int32_t>({0, 3, -1, INT32_MAX});
    c->Dauer =
        Chance(0.95) ? Pick<int32_t>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 24, 36, 48, 60}) : Int(-5, 100);
    if (Chance(0.95) && c->Dauer > 0) {
      std::vector<int32_t> divisors;
      for (int32_t p = 1; p <= c->Dauer; ++p)
        if (c->Dauer % p == 0) divisors.push_back(p);
      c->Zahlungsperiode = divisors[static_cast<size_t>(Int(0, static_cast<int32_t>(divisors.size()) - 1))];
    } else {
      c->Zahlungsperiode = Int(-3, 70);
    }
    c->Verlaengerungsdauer = Chance(0.97) ? Pick<int32_t>({12, 24, 36, 48, 60}) : Int(-1, 70);
    c->VerlaengerungsZahlungsperiode =
        Chance(0.97) ? Pick<int32_t>({1, 3, 6, 12, 24, 36, 48, 60}) : Int(-2, 70);
    if (c->Verlaengerungsdauer > 0 && c->VerlaengerungsZahlungsperiode > c->Verlaengerungsdauer &&
        Chance(0.8))
      c->VerlaengerungsZahlungsperiode = 12;
    c->dblRabatt = Chance(0.97) ? (Chance(0.1) ? Pick<double>({0, 100}) : Real(0, 100))
                                : Pick<double>({-0.01, 100.01, kNaN, 1e9});
    c->VertragBeginn = Chance(0.99) ? Date() : rt::Date{Pick<double>({3e6, -1e6, kNaN})};
    c->VertragGeschlossenAm = Chance(0.4) ? rt::kNoDate : Date();
    c->KuendFristInWochen = Chance(0.99) ? Int(-4, 52) : Pick<int32_t>({INT32_MAX, INT32_MIN, 1000000000});
    c->Bezeichnung = Field(255, Chance(0.02));
    c->Memo = Text(Int(0, 200));
    c->RabattNurErsteLaufzeit = Chance(0.5);
    c->Auftragsnummer = Field(50, Chance(0.02));
    c->SetztMerkmalGruppe = Chance(0.3) ? "" : Field(255, Chance(0.01));
    c->SetztMerkmal = Chance(0.2) ? "" : Field(255, Chance(0.02));
    c->SetztWert = Chance(0.2) ? "" : Field(255, false);
    in.contract = c;

    const int32_t count = Chance(0.04) ? 0 : Int(1, 6);
    for (int32_t i = 0; i < count; ++i) {
      auto a = std::make_shared<kt_CArticle>();
      a->sArtikelID = Chance(0.99) ? Pick<const char*>({"A1", "A2", "a3", "A4", "A5", "A9"}) : "NOPE";
      a->dblAnzahl =
          Chance(0.99) ? Pick<double>({1, 2, 0.5, Real(0.001, 10000)}) : Pick<double>({0, -1, kNaN, HUGE_VAL});
      a->lPreisDauer = Chance(0.99) ? Pick<int32_t>({1, 3, 12, Int(1, 60)}) : Pick<int32_t>({0, -5});
      a->bSonderpreisVerwenden = Chance(0.5);
      a->dblPreis = Chance(0.99) ? Pick<double>({10, 120, Real(0, 10000000), -Real(0, 1000)}) : kNaN;
      a->sBeschreibung =
          Pick<const char*>({"", "", "Wartung", "WARTUNG", "  ", "Überprüfung", "überprüfung"});
      a->bUseCustomDiscount = Chance(0.3);
      a->dblCustomDiscount = Chance(0.99) ? Pick<double>({0, 10, Real(-50, 150)}) : kNaN;
      a->sAuftragsnummer = Pick<const char*>({"", "", "A-1", "a-1", "B-2"});
      a->sGruppierung = Pick<const char*>({"", "G1", "G2"});
      if (Chance(0.02)) {
        a->sAuftragsnummer = Text(50) + std::to_string(run);  // too long, never equal to another
      } else if (Chance(0.02)) {
        a->sGruppierung = Text(256);
        a->sBeschreibung = "eigene " + std::to_string(run) + "/" + std::to_string(i);  // merges into nothing
      }
      in.lines.push_back(a);
    }
    in.foreignItem = Chance(0.01);
    in.noAddress = Chance(0.02);
    in.allContracts = Chance(0.5);
    in.leadK = Chance(0.03) ? "abc" : Pick<const char*>({"", "", "0", "3", "6", "52"});
    in.leadE = Chance(0.03) ? "abc" : Pick<const char*>({"", "", "1", "4"});
    if (Chance(0.06))
      in.fault = Pick<Fault>({Fault::AttributeExists, Fault::PositionInsert, Fault::StateUpdate});
    return in;
  }

 private:
  std::mt19937_64 rng_;
};

bool IsArticle(const std::string& id) {
  for (const char* known : {"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8", "A9"})
    if (rt::EqualsIgnoreCase(id, known)) return true;
  return false;
}

bool In(int32_t v, std::initializer_list<int32_t> set) {
  for (int32_t s : set)
    if (s == v) return true;
  return false;
}

// The first check that fails, or 0.
uint32_t ValidationError(const Input& in) {
  const kt_CContractD& c = *in.contract;
  bool known = !in.foreignItem, quantities = true, months = true;
  for (const auto& a : in.lines) {
    known = known && IsArticle(a->sArtikelID);
    quantities = quantities && a->dblAnzahl > 0 && !std::isinf(a->dblAnzahl);
    months = months && a->lPreisDauer >= 1;
  }
  if (!known) return 0x80045001;
  if (!quantities) return 0x80045002;
  if (!months) return 0x80045003;
  if (c.lVertragArt != 1 && c.lVertragArt != 2) return 0x80045004;
  if (!((c.Dauer >= 1 && c.Dauer <= 12) || In(c.Dauer, {24, 36, 48, 60}))) return 0x80045005;
  if (c.Zahlungsperiode <= 0) return 0x80045006;
  if (c.Zahlungsperiode > c.Dauer) return 0x80045007;
  if (c.Dauer % c.Zahlungsperiode != 0) return 0x80045008;
  if (c.lVertragArt == 1) {
    if (!In(c.Verlaengerungsdauer, {12, 24, 36, 48, 60})) return 0x80045005;
    if (c.VerlaengerungsZahlungsperiode <= 0) return 0x80045006;
    if (c.VerlaengerungsZahlungsperiode > c.Verlaengerungsdauer) return 0x80045007;
    if (!In(c.VerlaengerungsZahlungsperiode, {1, 3, 6, 12, 24, 36, 48, 60})) return 0x80045008;
  }
  if (!(c.dblRabatt >= 0 && c.dblRabatt <= 100)) return 0x80045009;
  for (const auto& a : in.lines)
    if (a->bUseCustomDiscount && !(a->dblCustomDiscount >= 0 && a->dblCustomDiscount <= 100)) return 0x80045009;
  if (in.noAddress) return 0x8004500A;
  return 0;
}

Expected Predict(const Input& in) {
  if (const uint32_t n = ValidationError(in)) return {Phase::Validation, n, "modAPI"};
  const kt_CContractD& c = *in.contract;
  auto tooLong = [](const std::string& s, int32_t size) { return rt::Len(s) > size; };

  // Everything before the contract's insert, in the order it happens.
  const bool validDates = rt::IsValidDate(c.VertragBeginn) && std::fabs(c.KuendFristInWochen) < 1e6;
  if (!validDates) return {Phase::BeforeInsert, 5, "modAPI.CreateVandVS"};
  if (tooLong(c.Bezeichnung, 255) || tooLong(c.Auftragsnummer, 50))
    return {Phase::BeforeInsert, kTextTooLong, "modAPI.CreateVandVS"};
  if ((c.lVertragArt == 1 ? in.leadK : in.leadE) == "abc")
    return {Phase::BeforeInsert, 13, "modAPI.CreateVandVS"};

  if (in.lines.empty()) return {Phase::Empty, 0, ""};
  for (const auto& a : in.lines)
    if (a->bSonderpreisVerwenden && std::isnan(a->dblPreis))
      return {Phase::Positions, 6, "modAPI.GetNewPositions"};
  // The first line always makes the first position; a text too long for
  // its field fails before that position's insert.
  auto badText = [&](const kt_CArticle& a) {
    return tooLong(a.sAuftragsnummer, 50) || tooLong(a.sGruppierung, 255);
  };
  if (badText(*in.lines.front())) return {Phase::Writing, kTextTooLong, "modAPI.WriteNewPositions"};
  if (in.fault == Fault::PositionInsert) return {Phase::Writing, kStorage, "modAPI.WriteNewPositions"};
  for (const auto& a : in.lines)
    if (badText(*a)) return {Phase::Writing, kTextTooLong, "modAPI.WriteNewPositions"};
  if (in.fault == Fault::StateUpdate) return {Phase::Values, kStorage, "modAPI.WriteActValues"};
  if (!c.SetztMerkmal.empty() && !c.SetztWert.empty() &&
      (tooLong(c.SetztMerkmal, 255) || tooLong(c.SetztMerkmalGruppe, 255)))
    return {Phase::Attribute, kTextTooLong, "modAPI.CreateAttribute"};
  return {Phase::Done, 0, ""};
}

std::string Describe(const Input& in) {
  const kt_CContractD& c = *in.contract;
  std::ostringstream os;
  os << "kind " << c.lVertragArt << ", Dauer " << c.Dauer << "/" << c.Zahlungsperiode << ", renewal "
     << c.Verlaengerungsdauer << "/" << c.VerlaengerungsZahlungsperiode << ", discount " << c.dblRabatt
     << ", begin " << c.VertragBeginn.serial << ", notice " << c.KuendFristInWochen << ", lines "
     << in.lines.size() << ", fault " << static_cast<int>(in.fault);
  for (const auto& a : in.lines)
    os << "\n  " << a->sArtikelID << " x" << a->dblAnzahl << " /" << a->lPreisDauer << " special "
       << a->bSonderpreisVerwenden << ":" << a->dblPreis << " custom " << a->bUseCustomDiscount << ":"
       << a->dblCustomDiscount << " [" << a->sBeschreibung << "] [" << rt::Len(a->sAuftragsnummer) << "]";
  return os.str();
}

class ApiRandomized : public apitest::ApiTest {
 protected:
  void Clear() {
    for (const char* t : {"kt_Vertraege", "kt_VertragsAktivitaeten", "kt_Vertragsstaende",
                          "kt_Vertragspositionen", "Adressmerkmale"})
      host_->DeleteRows(t);
  }
  void SetLead(const char* name, const std::string& value) {
    if (value.empty())
      host_->RemovePersistVar(name);
    else
      host_->SetPersistVar(name, value);
  }
  std::string Counter() {
    auto rows = Rows("KMMD_Nummern");
    return rows.empty() ? "" : Str(rows[0], "Nummer");
  }

  // Every record the run could have written, read once.
  struct Written {
    std::vector<host::sqlite::Row> contracts, alarms, states, positions, attributes;
    Counts counts() const {
      return {contracts.size(), alarms.size(), states.size(), positions.size(), attributes.size()};
    }
  };
  Written Read() {
    return {Rows("kt_Vertraege"), Rows("kt_VertragsAktivitaeten"), Rows("kt_Vertragsstaende"),
            Rows("kt_Vertragspositionen"), Rows("Adressmerkmale")};
  }

  // What a run that got past its contract's insert left, checked against
  // the phase it ended in.
  void CheckWritten(const Input& in, const Expected& ex, const std::string& number, const Written& w) {
    const kt_CContractD& c = *in.contract;
    const size_t reminders =
        (c.lVertragArt == 1 && in.allContracts) + (c.lVertragArt == 2) + (c.VertragGeschlossenAm.serial == 0);
    const bool attribute = ex.phase == Phase::Done && !c.SetztMerkmal.empty() && !c.SetztWert.empty() &&
                           in.fault != Fault::AttributeExists;
    const Counts n = w.counts();
    EXPECT_EQ(n.contracts, 1u);
    EXPECT_EQ(n.reminders, reminders);
    EXPECT_EQ(n.states, 1u);
    EXPECT_EQ(n.attributes, attribute ? 1u : 0u);
    if (n.contracts != 1 || n.states != 1) return;

    const auto& contract = w.contracts[0];
    EXPECT_EQ(Str(contract, "Vertragnummer"), number);
    EXPECT_EQ(Num(contract, "Art"), c.lVertragArt);
    EXPECT_GE(DateOf(contract, "VertragEnde").serial, std::trunc(c.VertragBeginn.serial) - 1);
    EXPECT_EQ(Str(contract, "AlarmOID"), w.alarms.empty() ? "" : w.alarms.back().oid);

    const auto& positions = w.positions;
    EXPECT_LE(positions.size(), in.lines.size());
    double value = 0, quantity = 0;
    for (size_t i = 0; i < positions.size(); ++i) {
      EXPECT_EQ(Str(positions[i], "Row"), rt::FormatNumber(static_cast<double>(i + 1), "000"));
      EXPECT_EQ(positions[i].masterOid, w.states[0].oid);
      const double anzahl = Num(positions[i], "Anzahl");
      value += Num(positions[i], "Nettopreis") * anzahl;
      quantity += anzahl;
    }
    const bool allPositions =
        ex.phase == Phase::Values || ex.phase == Phase::Attribute || ex.phase == Phase::Done;
    if (ex.phase == Phase::Empty || ex.phase == Phase::Positions) {
      EXPECT_TRUE(positions.empty());
    }
    if (ex.phase == Phase::Writing) {
      EXPECT_LT(positions.size(), in.lines.size());
    }
    if (allPositions) {
      EXPECT_GE(positions.size(), 1u);
      // Merging keeps every line's quantity.
      double lines = 0;
      for (const auto& a : in.lines) lines += a->dblAnzahl;
      EXPECT_NEAR(quantity, lines, 1e-9 * lines);
    }
    const bool valued = ex.phase == Phase::Attribute || ex.phase == Phase::Done;
    EXPECT_EQ(Num(contract, "AktValue"), valued ? value : 0);
    EXPECT_EQ(Num(w.states[0], "Value"), valued ? value : 0);

    if (attribute && n.attributes == 1) {
      const auto& a = w.attributes[0];
      EXPECT_EQ(Str(a, "Merkmal"), c.SetztMerkmal);
      EXPECT_EQ(Str(a, "Wert"), c.SetztWert);
      EXPECT_EQ(Str(a, "Beschreibung"), number + " / " + c.Bezeichnung);
    }
  }
};

TEST_F(ApiRandomized, EveryCallEndsCompleteOrCleanlyFailed) {
  Gen gen(20240310);
  int64_t drawn = 0;
  int outcomes[8] = {};
  for (int run = 0; run < kRuns && !HasFailure(); ++run) {
    const Input in = gen.Next(run);
    const Expected ex = Predict(in);
    ++outcomes[static_cast<int>(ex.phase)];
    SCOPED_TRACE("run " + std::to_string(run) + ": " + Describe(in));

    Clear();
    host_->SetCurrentAddress(in.noAddress ? "" : "A1000", false);
    gCreateAppointment4AllContracts = in.allContracts;
    SetLead("kt_AlarmWochenKuendigung", in.leadK);
    SetLead("kt_AlarmWochenEnde", in.leadE);
    switch (in.fault) {
      case Fault::AttributeExists: host_->FailNext("Adressmerkmale", "Insert", Hr(0x80041096), ""); break;
      case Fault::PositionInsert: host_->FailNext("kt_Vertragspositionen", "Insert", Hr(kStorage), ""); break;
      case Fault::StateUpdate: host_->FailNext("kt_Vertragsstaende", "Update", Hr(kStorage), ""); break;
      case Fault::None: break;
    }
    auto lines = Lines(in.lines);
    if (in.foreignItem) lines->Add(rt::Variant(std::make_shared<kt_CContractD>()));
    const size_t boxes = Boxes().size();
    const std::string counter = Counter();

    std::optional<rt::Error> err;
    try {
      ckt_->NewContractDebitor(app_, in.contract, lines);
    } catch (const rt::Error& e) {
      err = e;
    } catch (const std::exception& e) {
      ADD_FAILURE() << "foreign exception: " << e.what();
    }
    host_->ClearFaults();

    if (ex.number == 0) {
      EXPECT_FALSE(err.has_value()) << err->what();
    } else if (err) {
      EXPECT_EQ(rt::Hex(err->number()), rt::Hex(Hr(ex.number))) << err->what();
      EXPECT_EQ(err->source(), ex.source);
    } else {
      ADD_FAILURE() << "no error, expected " << rt::Hex(Hr(ex.number)) << " from " << ex.source;
    }
    // The one box a run may show: the unreadable line, as a type mismatch.
    std::vector<std::string> shown;
    for (size_t i = boxes; i < Boxes().size(); ++i)
      shown.push_back(Boxes()[i].title.value_or("") + ": " + Boxes()[i].prompt.substr(0, 14));
    EXPECT_EQ(shown, in.foreignItem && ex.number == 0x80045001
                         ? std::vector<std::string>{"Fehler in modAPI.ArticlesExist: Fehler &HD in "}
                         : std::vector<std::string>{});

    const Written written = Read();
    if (ex.phase == Phase::Validation || ex.phase == Phase::BeforeInsert) {
      EXPECT_EQ(written.counts(), Counts{});
      EXPECT_EQ(Counter(), counter);  // no number drawn
      continue;
    }
    ++drawn;
    const std::string number = rt::FormatNumber(static_cast<double>(drawn), "00000000");
    EXPECT_EQ(Counter(), number);
    CheckWritten(in, ex, number, written);
  }

  // Each kind of ending came up often enough to mean something.
  EXPECT_GT(outcomes[static_cast<int>(Phase::Done)], kRuns / 3);
  EXPECT_GT(outcomes[static_cast<int>(Phase::Validation)], kRuns / 10);
  for (Phase p :
       {Phase::BeforeInsert, Phase::Empty, Phase::Positions, Phase::Writing, Phase::Values, Phase::Attribute})
    EXPECT_GE(outcomes[static_cast<int>(p)], 10) << static_cast<int>(p);
}

}  // namespace
