#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/object.h"
#include "platform/runtime_expect.h"

namespace {

namespace errc = rt::errc;
using rt::Variant;

// A record with a property table, as the add-on's record classes are built.
class Article : public rt::Object {
 public:
  std::string ArtikelID;
  double dblAnzahl = 0;
  int16_t Teil = 0;

  Variant Get(std::string_view name) const override { return Table().Get(*this, name); }
  void Put(std::string_view name, const Variant& v) override { Table().Put(*this, name, v); }

 private:
  static const rt::PropertyTable<Article>& Table() {
    static const rt::PropertyTable<Article> table({
        {"ArtikelID", [](const Article& a) { return Variant(a.ArtikelID); },
         [](Article& a, const Variant& v) { a.ArtikelID = rt::CStr(v); }},
        {"dblAnzahl", [](const Article& a) { return Variant(a.dblAnzahl); },
         [](Article& a, const Variant& v) { a.dblAnzahl = rt::CDbl(v); }},
        {"Teil", [](const Article& a) { return Variant(a.Teil); },
         [](Article& a, const Variant& v) { a.Teil = rt::CInt(v); }},
    });
    return table;
  }
};

class Other : public rt::Object {};

TEST(RuntimeDispatch, PropertiesByNameIgnoreLetterCase) {
  auto a = std::make_shared<Article>();
  a->Put("artikelid", Variant(int32_t{4711}));
  a->Put("DBLANZAHL", Variant("2,5"));
  EXPECT_EQ(a->ArtikelID, "4711");
  EXPECT_EQ(a->dblAnzahl, 2.5);
  EXPECT_EQ(rt::GetProperty(Variant(a), "ArtikelId"), Variant("4711"));
  EXPECT_RT_ERROR(a->Get("Preis"), errc::NoSuchMember);
  EXPECT_RT_ERROR(a->Put("Preis", Variant(1.0)), errc::NoSuchMember);
  EXPECT_RT_ERROR(a->Put("dblAnzahl", Variant("zwei")), errc::TypeMismatch);
  EXPECT_RT_ERROR(a->Put("Teil", Variant(int32_t{40000})), errc::Overflow);
  EXPECT_RT_ERROR(rt::GetProperty(Variant(rt::ObjectPtr()), "ArtikelID"), errc::ObjectNotSet);
  EXPECT_RT_ERROR(rt::GetProperty(Variant("x"), "ArtikelID"), errc::TypeMismatch);
  EXPECT_RT_ERROR(Other().Get("x"), errc::NoSuchMember);
}

// The lookup behind properties and host names: letter case aside (also of
// letters beyond ASCII), names of one length that differ in any place are
// told apart, and a name is declared once whatever its case.
TEST(RuntimeDispatch, NamesFoundWhateverTheirLetterCase) {
  const std::vector<std::string> names = {"PreisM1",  "PreisM3",  "PreisM6",   "PreisM12",  "PreisM24",
                                          "PreisM36", "PreisM48", "PreisM60",  "GültigVom", "GültigBis",
                                          "Wert",     "Wort",     "Vertragnummer", "ÄÖÜ",   "x"};
  rt::NameLookup lookup;
  for (size_t i = 0; i < names.size(); ++i) ASSERT_TRUE(lookup.Add(names[i], static_cast<int>(i)));
  EXPECT_FALSE(lookup.Add("PREISM1", 99));
  EXPECT_FALSE(lookup.Add("gültigbis", 99));
  const std::pair<const char*, int> cases[] = {
      {"PreisM1", 0},  {"preism1", 0},   {"PREISM48", 6},   {"GültigVom", 8},      {"GÜLTIGVOM", 8},
      {"gültigbis", 9}, {"WORT", 11},     {"wert", 10},      {"VERTRAGNUMMER", 12}, {"äöü", 13},
      {"X", 14},        {"PreisM", -1},  {"PreisM2", -1},   {"GültigVon", -1},    {"GultigVom", -1},
      {"", -1},         {"Vertragnummer ", -1}};
  for (const auto& [name, position] : cases) EXPECT_EQ(lookup.Find(name), position) << name;
  EXPECT_EQ(rt::NameLookup().Find("x"), -1);

  // A name is remembered by where it lies; another name at that place, in
  // any case, or one not there at all, is still found as itself. So is a
  // name in a copy of the lookup.
  std::string at = "PreisM1";
  EXPECT_EQ(lookup.Find(at), 0);
  for (const auto& [name, position] : cases) {
    at.assign(name);
    EXPECT_EQ(lookup.Find(at), position) << name;
    EXPECT_EQ(lookup.Find(at), position) << name << ", asked again";
  }
  const rt::NameLookup copy = lookup;
  at.assign("GültigBis");
  EXPECT_EQ(copy.Find(at), 9);
  at.assign("wort");
  EXPECT_EQ(copy.Find(at), 11);
}

TEST(RuntimeDispatch, CastObjectChecksTheClass) {
  const Variant article(std::make_shared<Article>());
  EXPECT_NE(rt::CastObject<Article>(article), nullptr);
  EXPECT_RT_ERROR(rt::CastObject<Article>(Variant(std::make_shared<Other>())), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CastObject<Article>(Variant(rt::ObjectPtr())), errc::ObjectNotSet);
  EXPECT_RT_ERROR(rt::CastObject<Article>(Variant()), errc::TypeMismatch);
}

TEST(RuntimeDispatch, RegistryCreatesClassesByName) {
  rt::RegisterClass("RuntimeDispatchTest.Article", [] { return std::make_shared<Article>(); });
  rt::ObjectPtr o = rt::CreateObject("runtimedispatchtest.ARTICLE");
  EXPECT_NE(std::dynamic_pointer_cast<Article>(o), nullptr);
  EXPECT_NE(rt::CreateObject("RuntimeDispatchTest.Article"), o);  // a new object each time

  rt::RegisterClass("RuntimeDispatchTest.Failing", []() -> rt::ObjectPtr { rt::RaiseRuntime(errc::OutOfMemory); });
  rt::RegisterClass("RuntimeDispatchTest.Null", [] { return rt::ObjectPtr(); });
  EXPECT_RT_ERROR(rt::CreateObject("RuntimeDispatchTest.Failing"), errc::CannotCreateObject);
  EXPECT_RT_ERROR(rt::CreateObject("RuntimeDispatchTest.Null"), errc::CannotCreateObject);

  rt::UnregisterClass("RuntimeDispatchTest.Article");
  EXPECT_RT_ERROR(rt::CreateObject("RuntimeDispatchTest.Article"), errc::CannotCreateObject);
  rt::UnregisterClass("RuntimeDispatchTest.Failing");
  rt::UnregisterClass("RuntimeDispatchTest.Null");
}

TEST(RuntimeDispatch, FactoryMayCreateOtherObjectsAndThreadsShareTheRegistry) {
  rt::RegisterClass("RuntimeDispatchTest.Inner", [] { return std::make_shared<Other>(); });
  rt::RegisterClass("RuntimeDispatchTest.Outer", [] {
    rt::CreateObject("RuntimeDispatchTest.Inner");
    return std::make_shared<Article>();
  });
  std::atomic<int> made{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i)
        if (rt::CreateObject("RuntimeDispatchTest.Outer")) ++made;
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(made.load(), 800);
  rt::UnregisterClass("RuntimeDispatchTest.Inner");
  rt::UnregisterClass("RuntimeDispatchTest.Outer");
}

}  // namespace
