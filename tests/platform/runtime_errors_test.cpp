#include <new>
#include <stdexcept>

#include "platform/error.h"
#include "platform/runtime_expect.h"

namespace {

namespace errc = rt::errc;

// The error that `thrower` raises, as a trap sees it.
template <class F>
rt::Error Caught(F thrower) {
  try {
    thrower();
  } catch (...) {
    return rt::CurrentError();
  }
  ADD_FAILURE() << "nothing raised";
  return rt::Error(0, "", "");
}

TEST(RuntimeErrors, HexForm) {
  const struct {
    int32_t number;
    const char* hex;
  } cases[] = {{91, "5B"}, {0, "0"}, {static_cast<int32_t>(0x80040002u), "80040002"}, {-1, "FFFFFFFF"},
               {rt::kObjectError + 0x5001, "80045001"}};
  for (const auto& c : cases) EXPECT_EQ(rt::Hex(c.number), c.hex);
}

TEST(RuntimeErrors, RaiseFillsSourceAndDescription) {
  const rt::Error own = Caught([] { rt::Raise(rt::kObjectError + 2, "", "Mandant X fehlt in Mandantentabelle!"); });
  EXPECT_EQ(own.number(), static_cast<int32_t>(0x80040002u));
  EXPECT_EQ(own.source(), "kelPaktor2");
  EXPECT_EQ(own.description(), "Mandant X fehlt in Mandantentabelle!");
  EXPECT_STREQ(own.what(), "Fehler &H80040002 in kelPaktor2: Mandant X fehlt in Mandantentabelle!");

  const rt::Error runtime = Caught([] { rt::RaiseRuntime(errc::Overflow); });
  EXPECT_EQ(runtime.source(), "kelPaktor2");
  EXPECT_EQ(runtime.description(), "Überlauf");

  const rt::Error sourced = Caught([] { rt::Raise(errc::SubscriptRange, "modAPI"); });
  EXPECT_EQ(sourced.source(), "modAPI");
  EXPECT_EQ(sourced.description(), "Index außerhalb des gültigen Bereichs");
}

TEST(RuntimeErrors, ReraiseKeepsNumberAndDescription) {
  const rt::Error e = Caught([] {
    try {
      rt::Raise(rt::kObjectError + 0x5003, "inner", "Artikel fehlt");
    } catch (const rt::Error& inner) {
      rt::Reraise(inner, "modAPI.CreateVandVS");
    }
  });
  EXPECT_EQ(e.number(), rt::kObjectError + 0x5003);
  EXPECT_EQ(e.source(), "modAPI.CreateVandVS");
  EXPECT_EQ(e.description(), "Artikel fehlt");
}

TEST(RuntimeErrors, GermanDescriptions) {
  const struct {
    int32_t number;
    const char* text;
  } cases[] = {
      {5, "Unzulässiger Prozeduraufruf oder ungültiges Argument"},
      {11, "Division durch Null"},
      {13, "Typen unverträglich"},
      {91, "Objektvariable oder With-Blockvariable nicht festgelegt"},
      {94, "Unzulässige Verwendung von Null"},
      {438, "Objekt unterstützt diese Eigenschaft oder Methode nicht"},
      {457, "Dieser Schlüssel ist bereits einem Element dieser Auflistung zugeordnet"},
      {rt::kObjectError + 1, "Anwendungs- oder objektdefinierter Fehler"},
  };
  for (const auto& c : cases) EXPECT_EQ(rt::DescriptionOf(c.number), c.text);
}

TEST(RuntimeErrors, CurrentErrorMapsForeignExceptions) {
  EXPECT_EQ(Caught([] { throw std::bad_alloc(); }).number(), errc::OutOfMemory);
  const rt::Error other = Caught([] { throw std::runtime_error("kaputt"); });
  EXPECT_EQ(other.number(), errc::InvalidCall);
  EXPECT_EQ(other.description(), "kaputt");
  EXPECT_EQ(Caught([] { throw 42; }).number(), errc::InvalidCall);
  EXPECT_EQ(Caught([] { rt::Raise(1234, "X", "Y"); }).source(), "X");
}

TEST(RuntimeErrors, IgnoreStretchKeepsTheLastError) {
  rt::ErrorState state;
  int done = 0;
  EXPECT_TRUE(state.Step([&] { ++done; }));
  EXPECT_FALSE(state.Last().has_value());
  EXPECT_FALSE(state.Step([] { rt::RaiseRuntime(errc::TypeMismatch); }));
  EXPECT_TRUE(state.Step([&] { ++done; }));
  EXPECT_FALSE(state.Step([] { rt::Raise(static_cast<int32_t>(0x80041096u), "host", "x"); }));
  EXPECT_EQ(done, 2);
  ASSERT_TRUE(state.Last().has_value());
  EXPECT_EQ(state.Last()->number(), static_cast<int32_t>(0x80041096u));
  // A failure no trap may swallow goes through the stretch.
  EXPECT_THROW(state.Step([] { throw rt::Unrecoverable("kaputtes Skript"); }), rt::Unrecoverable);
  EXPECT_EQ(state.Last()->number(), static_cast<int32_t>(0x80041096u));
  state.Clear();
  EXPECT_FALSE(state.Last().has_value());
}

}  // namespace
