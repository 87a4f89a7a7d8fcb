#include <cmath>
#include <string>
#include <vector>

#include "platform/object.h"
#include "platform/variant.h"
#include "platform/runtime_expect.h"

namespace {

using rt::Variant;
namespace errc = rt::errc;

TEST(RuntimeConversions, ToTextUsesTheGermanForm) {
  const struct {
    Variant in;
    const char* text;
  } cases[] = {
      {10.5, "10,5"}, {1200.0, "1200"}, {0.1 + 0.2, "0,3"}, {-0.25, "-0,25"}, {0.0, "0"},
      {123456789012345.0, "123456789012345"}, {1e15, "1E+15"}, {1e16, "1E+16"}, {1.5e20, "1,5E+20"},
      {0.0001, "0,0001"}, {0.00001, "1E-05"}, {2.0 / 3.0, "0,666666666666667"},
      {int32_t{-42}, "-42"}, {int16_t{7}, "7"}, {true, "True"}, {false, "False"}, {Variant(), ""},
      {rt::DateSerial(2024, 2, 29), "29.02.2024"},
      {rt::Date{rt::DateSerial(2024, 2, 29).serial + 0.375}, "29.02.2024 09:00:00"},
      {rt::Date{0.5}, "12:00:00"}, {rt::kNoDate, "00:00:00"},
      {rt::DateSerial(100, 1, 1), "01.01.0100"},  // four-digit year, so that CDate reads it back
  };
  for (const auto& c : cases) EXPECT_EQ(rt::CStr(c.in), c.text);
  EXPECT_RT_ERROR(rt::CStr(Variant::Null()), errc::InvalidNull);
  EXPECT_RT_ERROR(rt::CStr(Variant(std::make_shared<rt::Collection>())), errc::TypeMismatch);
}

TEST(RuntimeConversions, TextToDoubleIsGerman) {
  const struct {
    const char* text;
    double value;
  } cases[] = {{"10,5", 10.5}, {"  -3,25 ", -3.25}, {"+7", 7},     {",5", 0.5},
               {"1,5E3", 1500}, {"2e-2", 0.02},     {"1E-400", 0}, {"5,", 5}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(rt::CDbl(Variant(c.text)), c.value) << c.text;
  // The sum of the German list texts 10,00 + 20,50 + 0,00.
  EXPECT_DOUBLE_EQ(rt::CDbl(Variant("10,00")) + rt::CDbl(Variant("20,50")) + rt::CDbl(Variant("0,00")), 30.5);
  for (const char* bad : {"10.5", "1.000,00", "", " ", "-", ",", "12abc", "1E"})
    EXPECT_RT_ERROR(rt::CDbl(Variant(bad)), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDbl(Variant("1E400")), errc::Overflow);
  EXPECT_RT_ERROR(rt::CDbl(Variant::Null()), errc::InvalidNull);

  EXPECT_EQ(rt::CDbl(Variant()), 0);
  EXPECT_EQ(rt::CDbl(Variant(true)), -1);
  EXPECT_EQ(rt::CDbl(Variant(false)), 0);
  EXPECT_EQ(rt::CDbl(Variant(rt::kMaxDate)), 2958465);
  // Text and number round-trip through the German form.
  for (double d : {0.1, 10.5, -1234.5678, 1e-3, 1e20, 123456789.123})
    EXPECT_EQ(rt::CDbl(Variant(rt::CStr(d))), d) << rt::CStr(d);
}

TEST(RuntimeConversions, IntegersRoundHalfToEvenAndOverflow) {
  EXPECT_EQ(rt::CLng(Variant("12,5")), 12);
  EXPECT_EQ(rt::CLng(Variant("13,5")), 14);
  EXPECT_EQ(rt::CLng(Variant(true)), -1);
  const struct {
    double in;
    int32_t out;
  } longs[] = {{-2.5, -2}, {-3.5, -4}, {2.5000001, 3}, {2147483647.4, INT32_MAX}, {-2147483648.0, INT32_MIN}};
  for (const auto& c : longs) EXPECT_EQ(rt::CLng(c.in), c.out) << c.in;
  for (double d : {2147483647.5, -2147483648.6, static_cast<double>(NAN)})
    EXPECT_RT_ERROR(rt::CLng(d), errc::Overflow);
  EXPECT_RT_ERROR(rt::CLng(Variant("")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CLng(Variant("sechs")), errc::TypeMismatch);

  EXPECT_EQ(rt::CInt(Variant("32767")), 32767);
  EXPECT_EQ(rt::CInt(32767.49), 32767);
  EXPECT_EQ(rt::CInt(-32768.5), -32768);
  EXPECT_RT_ERROR(rt::CInt(Variant("32768")), errc::Overflow);
  EXPECT_RT_ERROR(rt::CInt(32767.5), errc::Overflow);
}

TEST(RuntimeConversions, StandardBooleanRule) {
  for (const char* t : {"true", "TRUE", "True", "-1", "2,5"}) EXPECT_TRUE(rt::CBool(Variant(t))) << t;
  for (const char* f : {"fAlSe", "0", "0,0"}) EXPECT_FALSE(rt::CBool(Variant(f))) << f;
  EXPECT_TRUE(rt::CBool(Variant(int32_t{7})));
  EXPECT_FALSE(rt::CBool(Variant(0.0)));
  EXPECT_FALSE(rt::CBool(Variant()));
  // Boolean text round-trips through the rule.
  EXPECT_TRUE(rt::CBool(Variant(rt::CStr(Variant(true)))));
  EXPECT_FALSE(rt::CBool(Variant(rt::CStr(Variant(false)))));
  for (const char* bad : {"wahr", "", "yes"}) EXPECT_RT_ERROR(rt::CBool(Variant(bad)), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CBool(Variant("1E400")), errc::Overflow);  // a number, but beyond the range
  EXPECT_RT_ERROR(rt::CBool(Variant::Null()), errc::InvalidNull);
}

TEST(RuntimeConversions, ToDate) {
  const double feb1 = rt::DateSerial(2024, 2, 1).serial;
  const struct {
    Variant in;
    double serial;
  } cases[] = {
      {"1.2.2024", feb1}, {"29.02.2024", feb1 + 28}, {"2024-02-29", feb1 + 28}, {"31.12.9999", 2958465},
      {"01.02.2024 9:30", feb1 + 9.5 / 24}, {"01.02.2024 09:00:30", feb1 + (9 * 3600 + 30) / 86400.0},
      {Variant(), 0}, {45000.25, 45000.25},
  };
  for (const auto& c : cases) EXPECT_EQ(rt::CDate(c.in).serial, c.serial) << rt::CStr(c.in);
  // A date round-trips through its text.
  for (rt::Date d : {rt::Date{rt::DateSerial(2031, 7, 4).serial + 0.375}, rt::DateSerial(100, 1, 1)})
    EXPECT_EQ(rt::CDate(Variant(rt::CStr(Variant(d)))), d);

  for (const char* bad : {"30.02.2024", "", "2024/02/01", "1.2.24", "01.02.2024 25:00"})
    EXPECT_RT_ERROR(rt::CDate(Variant(bad)), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDate(Variant::Null()), errc::InvalidNull);
  EXPECT_RT_ERROR(rt::CDate(Variant(3e6)), errc::Overflow);
}

TEST(RuntimeConversions, ValScansTheLeadingNumber) {
  const struct {
    const char* text;
    double value;
  } cases[] = {{"-1abc", -1}, {"12,5", 12},      {"12.5", 12.5},   {"abc", 0},     {"", 0},
               {"  00000042", 42}, {"99999999", 99999999}, {"1e3x", 1000}, {"&H5B", 91}, {"&HFFFF", -1},
               {"&O17", 15}, {"1E999", 0}};
  for (const auto& c : cases) EXPECT_EQ(rt::Val(c.text), c.value) << c.text;
  EXPECT_EQ(rt::Val(Variant(int32_t{-1})), -1);
  EXPECT_EQ(rt::Val(Variant(true)), 0);  // "True"
}

TEST(RuntimeConversions, IsNumericFollowsCDbl) {
  for (const Variant& v : {Variant("10,5"), Variant(" 3 "), Variant(1.5), Variant(true), Variant()})
    EXPECT_TRUE(rt::IsNumeric(v)) << rt::CStr(v);
  for (const Variant& v : {Variant("10.5"), Variant(""), Variant("12*"), Variant("1E400"), Variant::Null(),
                           Variant(rt::DateSerial(2024, 1, 1))})
    EXPECT_FALSE(rt::IsNumeric(v));
}

TEST(RuntimeConversions, VariantKindsAndAccess) {
  EXPECT_TRUE(Variant(rt::ObjectPtr()).IsNothing());
  EXPECT_FALSE(Variant(std::make_shared<rt::Collection>()).IsNothing());
  EXPECT_TRUE(Variant(int16_t{0}).IsNumber());
  EXPECT_FALSE(Variant("1").IsNumber());
  EXPECT_RT_ERROR(Variant("1").AsDouble(), errc::TypeMismatch);
  EXPECT_RT_ERROR(Variant(1.0).AsString(), errc::TypeMismatch);
  EXPECT_NE(Variant(int16_t{0}), Variant(int32_t{0}));
  EXPECT_NE(Variant("a"), Variant("A"));

  rt::Array a{0, {Variant("x"), Variant(int32_t{2})}};
  Variant v(a);
  EXPECT_EQ(v.AsArray().ubound(), 1);
  EXPECT_EQ(v, Variant(a));
  EXPECT_EQ(rt::Array{}.ubound(), -1);
  // A copy holds its own array: writing to one leaves the other as it was.
  const Variant copy = v;
  v.AsArray().items.push_back(Variant());
  v.AsArray().items[0] = Variant("y");
  EXPECT_EQ(v.AsArray().ubound(), 2);
  EXPECT_EQ(copy, Variant(a));
}

// Copies, moves and assignments between every pair of kinds keep the value
// and leave the source as it was (copies) or usable (moves); integers keep
// their sign and doubles their bits; no copy of an object outlives its
// variants.
TEST(RuntimeConversions, VariantsCopyMoveAndAssignAcrossKinds) {
  const auto object = std::make_shared<rt::Collection>();
  {
    const std::vector<Variant> values = {Variant(),
                                         Variant::Null(),
                                         true,
                                         int16_t{-7},
                                         int32_t{-70000},
                                         -0.0,
                                         rt::Date{-1.25},
                                         std::string(40, 'x'),
                                         "kurz",
                                         Variant(object),
                                         Variant(rt::ObjectPtr()),
                                         rt::Array{1, {Variant("a")}}};
    for (const Variant& from : values) {
      for (const Variant& to : values) {
        Variant target = to;
        target = from;
        EXPECT_EQ(target, from);
        Variant moved = from;
        Variant moveTarget = to;
        moveTarget = std::move(moved);
        EXPECT_EQ(moveTarget, from);
        moved = to;  // a moved-from variant takes a new value
        EXPECT_EQ(moved, to);
      }
      Variant self = from;
      self = *&self;
      EXPECT_EQ(self, from);
      const Variant moved{Variant(from)};
      EXPECT_EQ(moved, from);
    }
  }
  EXPECT_EQ(Variant(int16_t{-7}).AsInt16(), -7);
  EXPECT_EQ(Variant(int32_t{-70000}).AsInt32(), -70000);
  EXPECT_TRUE(std::signbit(Variant(-0.0).AsDouble()));
  EXPECT_EQ(Variant(rt::Date{-1.25}).AsDate().serial, -1.25);
  EXPECT_EQ(object.use_count(), 1);
}

}  // namespace
