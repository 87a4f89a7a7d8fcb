#include <new>
#include <stdexcept>

#include "platform/error.h"
#include "platform/runtime_expect.h"

namespace {

namespace errc = rt::errc;

TEST(RuntimeErrors, HexForm) {
  EXPECT_EQ(rt::Hex(91), "5B");
  EXPECT_EQ(rt::Hex(0), "0");
  EXPECT_EQ(rt::Hex(static_cast<int32_t>(0x80040002u)), "80040002");
  EXPECT_EQ(rt::Hex(-1), "FFFFFFFF");
  EXPECT_EQ(rt::Hex(rt::kObjectError + 0x5001), "80045001");
  EXPECT_EQ(rt::kObjectError, static_cast<int32_t>(0x80040000u));
}

TEST(RuntimeErrors, RaiseFillsSourceAndDescription) {
  try {
    rt::Raise(rt::kObjectError + 2, "", "Mandant X fehlt in Mandantentabelle!");
    FAIL();
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.number(), static_cast<int32_t>(0x80040002u));
    EXPECT_EQ(e.source(), "kelPaktor2");
    EXPECT_EQ(e.description(), "Mandant X fehlt in Mandantentabelle!");
    EXPECT_STREQ(e.what(), "Fehler &H80040002 in kelPaktor2: Mandant X fehlt in Mandantentabelle!");
  }
  try {
    rt::RaiseRuntime(errc::Overflow);
    FAIL();
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.source(), "kelPaktor2");
    EXPECT_EQ(e.description(), "Überlauf");
  }
  try {
    rt::Raise(errc::SubscriptRange, "modAPI");
    FAIL();
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.source(), "modAPI");
    EXPECT_EQ(e.description(), "Index außerhalb des gültigen Bereichs");
  }
}

TEST(RuntimeErrors, ReraiseKeepsNumberAndDescription) {
  try {
    try {
      rt::Raise(rt::kObjectError + 0x5003, "inner", "Artikel fehlt");
    } catch (const rt::Error& e) {
      rt::Reraise(e, "modAPI.CreateVandVS");
    }
    FAIL();
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.number(), rt::kObjectError + 0x5003);
    EXPECT_EQ(e.source(), "modAPI.CreateVandVS");
    EXPECT_EQ(e.description(), "Artikel fehlt");
  }
}

TEST(RuntimeErrors, GermanDescriptions) {
  EXPECT_EQ(rt::DescriptionOf(5), "Unzulässiger Prozeduraufruf oder ungültiges Argument");
  EXPECT_EQ(rt::DescriptionOf(11), "Division durch Null");
  EXPECT_EQ(rt::DescriptionOf(13), "Typen unverträglich");
  EXPECT_EQ(rt::DescriptionOf(91), "Objektvariable oder With-Blockvariable nicht festgelegt");
  EXPECT_EQ(rt::DescriptionOf(94), "Unzulässige Verwendung von Null");
  EXPECT_EQ(rt::DescriptionOf(438), "Objekt unterstützt diese Eigenschaft oder Methode nicht");
  EXPECT_EQ(rt::DescriptionOf(457), "Dieser Schlüssel ist bereits einem Element dieser Auflistung zugeordnet");
  EXPECT_EQ(rt::DescriptionOf(rt::kObjectError + 1), "Anwendungs- oder objektdefinierter Fehler");
}

TEST(RuntimeErrors, CurrentErrorMapsForeignExceptions) {
  auto caught = [](auto thrower) {
    try {
      thrower();
    } catch (...) {
      return rt::CurrentError();
    }
    return rt::Error(0, "", "");
  };
  EXPECT_EQ(caught([] { throw std::bad_alloc(); }).number(), errc::OutOfMemory);
  const rt::Error other = caught([] { throw std::runtime_error("kaputt"); });
  EXPECT_EQ(other.number(), errc::InvalidCall);
  EXPECT_EQ(other.description(), "kaputt");
  EXPECT_EQ(caught([] { throw 42; }).number(), errc::InvalidCall);
  EXPECT_EQ(caught([] { rt::Raise(1234, "X", "Y"); }).source(), "X");
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
  state.Clear();
  EXPECT_FALSE(state.Last().has_value());
}

}  // namespace
