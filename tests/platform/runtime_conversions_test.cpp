#include <cmath>

#include "platform/object.h"
#include "platform/variant.h"
#include "platform/runtime_expect.h"

namespace {

using rt::Variant;
namespace errc = rt::errc;

TEST(RuntimeConversions, NumbersToTextUseDecimalCommaWithoutGrouping) {
  EXPECT_EQ(rt::CStr(10.5), "10,5");
  EXPECT_EQ(rt::CStr(1200.0), "1200");
  EXPECT_EQ(rt::CStr(0.1 + 0.2), "0,3");
  EXPECT_EQ(rt::CStr(-0.25), "-0,25");
  EXPECT_EQ(rt::CStr(0.0), "0");
  EXPECT_EQ(rt::CStr(123456789012345.0), "123456789012345");
  EXPECT_EQ(rt::CStr(1e15), "1E+15");
  EXPECT_EQ(rt::CStr(1e16), "1E+16");
  EXPECT_EQ(rt::CStr(1.5e20), "1,5E+20");
  EXPECT_EQ(rt::CStr(0.0001), "0,0001");
  EXPECT_EQ(rt::CStr(0.00001), "1E-05");
  EXPECT_EQ(rt::CStr(2.0 / 3.0), "0,666666666666667");
  EXPECT_EQ(rt::CStr(Variant(int32_t{-42})), "-42");
  EXPECT_EQ(rt::CStr(Variant(int16_t{7})), "7");
}

TEST(RuntimeConversions, OtherKindsToText) {
  EXPECT_EQ(rt::CStr(Variant(true)), "True");
  EXPECT_EQ(rt::CStr(Variant(false)), "False");
  EXPECT_EQ(rt::CStr(Variant()), "");
  EXPECT_EQ(rt::CStr(Variant(rt::DateSerial(2024, 2, 29))), "29.02.2024");
  EXPECT_EQ(rt::CStr(Variant(rt::Date{rt::DateSerial(2024, 2, 29).serial + 0.375})), "29.02.2024 09:00:00");
  EXPECT_EQ(rt::CStr(Variant(rt::Date{0.5})), "12:00:00");
  EXPECT_EQ(rt::CStr(Variant(rt::kNoDate)), "00:00:00");
  EXPECT_RT_ERROR(rt::CStr(Variant::Null()), errc::InvalidNull);
  EXPECT_RT_ERROR(rt::CStr(Variant(std::make_shared<rt::Collection>())), errc::TypeMismatch);
}

TEST(RuntimeConversions, TextToDoubleIsGerman) {
  EXPECT_DOUBLE_EQ(rt::CDbl(Variant("10,5")), 10.5);
  EXPECT_DOUBLE_EQ(rt::CDbl(Variant("  -3,25 ")), -3.25);
  EXPECT_DOUBLE_EQ(rt::CDbl(Variant("+7")), 7);
  EXPECT_DOUBLE_EQ(rt::CDbl(Variant(",5")), 0.5);
  EXPECT_DOUBLE_EQ(rt::CDbl(Variant("1,5E3")), 1500);
  EXPECT_DOUBLE_EQ(rt::CDbl(Variant("2e-2")), 0.02);
  EXPECT_DOUBLE_EQ(rt::CDbl(Variant("1E-400")), 0);
  // The sum of the German list texts 10,00 + 20,50 + 0,00.
  EXPECT_DOUBLE_EQ(rt::CDbl(Variant("10,00")) + rt::CDbl(Variant("20,50")) + rt::CDbl(Variant("0,00")), 30.5);
  EXPECT_RT_ERROR(rt::CDbl(Variant("10.5")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDbl(Variant("1.000,00")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDbl(Variant("")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDbl(Variant(" ")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDbl(Variant("-")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDbl(Variant("12abc")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDbl(Variant("1E")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDbl(Variant("1E400")), errc::Overflow);
  EXPECT_RT_ERROR(rt::CDbl(Variant::Null()), errc::InvalidNull);
}

TEST(RuntimeConversions, OtherKindsToDouble) {
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
  EXPECT_EQ(rt::CLng(-2.5), -2);
  EXPECT_EQ(rt::CLng(-3.5), -4);
  EXPECT_EQ(rt::CLng(2.5000001), 3);
  EXPECT_EQ(rt::CLng(2147483647.4), 2147483647);
  EXPECT_EQ(rt::CLng(-2147483648.0), INT32_MIN);
  EXPECT_RT_ERROR(rt::CLng(2147483647.5), errc::Overflow);
  EXPECT_RT_ERROR(rt::CLng(-2147483648.6), errc::Overflow);
  EXPECT_RT_ERROR(rt::CLng(NAN), errc::Overflow);
  EXPECT_RT_ERROR(rt::CLng(Variant("")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CLng(Variant("sechs")), errc::TypeMismatch);
  EXPECT_EQ(rt::CLng(Variant(true)), -1);

  EXPECT_EQ(rt::CInt(Variant("32767")), 32767);
  EXPECT_EQ(rt::CInt(32767.49), 32767);
  EXPECT_EQ(rt::CInt(-32768.5), -32768);
  EXPECT_RT_ERROR(rt::CInt(Variant("32768")), errc::Overflow);
  EXPECT_RT_ERROR(rt::CInt(32767.5), errc::Overflow);
}

TEST(RuntimeConversions, StandardBooleanRule) {
  EXPECT_TRUE(rt::CBool(Variant("true")));
  EXPECT_TRUE(rt::CBool(Variant("TRUE")));
  EXPECT_TRUE(rt::CBool(Variant("True")));
  EXPECT_FALSE(rt::CBool(Variant("fAlSe")));
  EXPECT_FALSE(rt::CBool(Variant("0")));
  EXPECT_FALSE(rt::CBool(Variant("0,0")));
  EXPECT_TRUE(rt::CBool(Variant("-1")));
  EXPECT_TRUE(rt::CBool(Variant("2,5")));
  EXPECT_TRUE(rt::CBool(Variant(int32_t{7})));
  EXPECT_FALSE(rt::CBool(Variant(0.0)));
  EXPECT_FALSE(rt::CBool(Variant()));
  // Boolean text round-trips through the rule.
  EXPECT_TRUE(rt::CBool(Variant(rt::CStr(Variant(true)))));
  EXPECT_FALSE(rt::CBool(Variant(rt::CStr(Variant(false)))));
  EXPECT_RT_ERROR(rt::CBool(Variant("wahr")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CBool(Variant("")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CBool(Variant("yes")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CBool(Variant::Null()), errc::InvalidNull);
}

TEST(RuntimeConversions, TextToDate) {
  EXPECT_EQ(rt::CDate(Variant("1.2.2024")), rt::DateSerial(2024, 2, 1));
  EXPECT_EQ(rt::CDate(Variant("29.02.2024")), rt::DateSerial(2024, 2, 29));
  EXPECT_EQ(rt::CDate(Variant("2024-02-29")), rt::DateSerial(2024, 2, 29));
  EXPECT_EQ(rt::CDate(Variant("31.12.9999")), rt::kMaxDate);
  EXPECT_EQ(rt::CDate(Variant("01.02.2024 9:30")).serial, rt::DateSerial(2024, 2, 1).serial + 9.5 / 24);
  EXPECT_EQ(rt::CDate(Variant("01.02.2024 09:00:30")).serial,
            rt::DateSerial(2024, 2, 1).serial + (9 * 3600 + 30) / 86400.0);
  EXPECT_EQ(rt::CDate(Variant()), rt::kNoDate);
  EXPECT_EQ(rt::CDate(Variant(45000.25)).serial, 45000.25);
  // A date round-trips through its text.
  const rt::Date d{rt::DateSerial(2031, 7, 4).serial + 0.375};
  EXPECT_EQ(rt::CDate(Variant(rt::CStr(Variant(d)))), d);

  EXPECT_RT_ERROR(rt::CDate(Variant("30.02.2024")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDate(Variant("")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDate(Variant("2024/02/01")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDate(Variant("1.2.24")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDate(Variant("01.02.2024 25:00")), errc::TypeMismatch);
  EXPECT_RT_ERROR(rt::CDate(Variant::Null()), errc::InvalidNull);
  EXPECT_RT_ERROR(rt::CDate(Variant(3e6)), errc::Overflow);
}

TEST(RuntimeConversions, ValScansTheLeadingNumber) {
  EXPECT_EQ(rt::Val("-1abc"), -1);
  EXPECT_EQ(rt::Val("12,5"), 12);
  EXPECT_EQ(rt::Val("12.5"), 12.5);
  EXPECT_EQ(rt::Val("abc"), 0);
  EXPECT_EQ(rt::Val(""), 0);
  EXPECT_EQ(rt::Val("  00000042"), 42);
  EXPECT_EQ(rt::Val("99999999"), 99999999);
  EXPECT_EQ(rt::Val("1e3x"), 1000);
  EXPECT_EQ(rt::Val("&H5B"), 91);
  EXPECT_EQ(rt::Val("&HFFFF"), -1);
  EXPECT_EQ(rt::Val("&O17"), 15);
  EXPECT_EQ(rt::Val("1E999"), 0);
  EXPECT_EQ(rt::Val(Variant(int32_t{-1})), -1);
  EXPECT_EQ(rt::Val(Variant(true)), 0);  // "True"
}

TEST(RuntimeConversions, IsNumericFollowsCDbl) {
  EXPECT_TRUE(rt::IsNumeric(Variant("10,5")));
  EXPECT_TRUE(rt::IsNumeric(Variant(" 3 ")));
  EXPECT_TRUE(rt::IsNumeric(Variant(1.5)));
  EXPECT_TRUE(rt::IsNumeric(Variant(true)));
  EXPECT_TRUE(rt::IsNumeric(Variant()));
  EXPECT_FALSE(rt::IsNumeric(Variant("10.5")));
  EXPECT_FALSE(rt::IsNumeric(Variant("")));
  EXPECT_FALSE(rt::IsNumeric(Variant("12*")));
  EXPECT_FALSE(rt::IsNumeric(Variant("1E400")));
  EXPECT_FALSE(rt::IsNumeric(Variant::Null()));
  EXPECT_FALSE(rt::IsNumeric(Variant(rt::DateSerial(2024, 1, 1))));
}

TEST(RuntimeConversions, VariantKindsAndAccess) {
  EXPECT_TRUE(Variant().IsEmpty());
  EXPECT_TRUE(Variant::Null().IsNull());
  EXPECT_TRUE(Variant(rt::ObjectPtr()).IsNothing());
  EXPECT_FALSE(Variant(std::make_shared<rt::Collection>()).IsNothing());
  EXPECT_EQ(Variant(int16_t{0}).kind(), Variant::Kind::Int16);
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
  v.AsArray().items.push_back(Variant());
  EXPECT_EQ(v.AsArray().ubound(), 2);
  EXPECT_EQ(rt::Array{}.ubound(), -1);
}

}  // namespace
