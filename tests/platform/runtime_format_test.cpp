#include "platform/format.h"
#include "platform/runtime_expect.h"

namespace {

using rt::FormatDate;
using rt::FormatNumber;
using rt::Variant;
namespace errc = rt::errc;

TEST(RuntimeFormat, Fixed) {
  EXPECT_EQ(FormatNumber(21, "Fixed"), "21,00");
  EXPECT_EQ(FormatNumber(1200, "Fixed"), "1200,00");
  EXPECT_EQ(FormatNumber(-2, "Fixed"), "-2,00");
  EXPECT_EQ(FormatNumber(10.5, "Fixed"), "10,50");
  EXPECT_EQ(FormatNumber(0.5, "Fixed"), "0,50");
  EXPECT_EQ(FormatNumber(0, "Fixed"), "0,00");
  EXPECT_EQ(FormatNumber(1234567.891, "Fixed"), "1234567,89");
  // Halves round away from zero on the 15-digit decimal form.
  EXPECT_EQ(FormatNumber(2.675, "Fixed"), "2,68");
  EXPECT_EQ(FormatNumber(-2.675, "Fixed"), "-2,68");
  EXPECT_EQ(FormatNumber(0.125, "Fixed"), "0,13");
  EXPECT_EQ(FormatNumber(9.995, "Fixed"), "10,00");
  EXPECT_EQ(FormatNumber(-0.001, "Fixed"), "0,00");
  EXPECT_EQ(FormatNumber(1e20, "Fixed"), "100000000000000000000,00");
}

TEST(RuntimeFormat, ZeroPatterns) {
  EXPECT_EQ(FormatNumber(12, "0"), "12");
  EXPECT_EQ(FormatNumber(12.5, "0"), "13");
  EXPECT_EQ(FormatNumber(-12.5, "0"), "-13");
  EXPECT_EQ(FormatNumber(0.4, "0"), "0");
  EXPECT_EQ(FormatNumber(1, "000"), "001");
  EXPECT_EQ(FormatNumber(12, "000"), "012");
  EXPECT_EQ(FormatNumber(1000, "000"), "1000");
  EXPECT_EQ(FormatNumber(42, "00000000"), "00000042");
  EXPECT_EQ(FormatNumber(99999999.0 + 1, "00000000"), "100000000");
  EXPECT_EQ(FormatNumber(-5, "000"), "-005");
  EXPECT_EQ(FormatNumber(3.14159, "0.000"), "3,142");
  EXPECT_EQ(FormatNumber(3.14159, "00,0"), "03,1");
  EXPECT_RT_ERROR(FormatNumber(1, "#,##0"), errc::InvalidCall);
  EXPECT_RT_ERROR(FormatNumber(1, ""), errc::InvalidCall);
  EXPECT_RT_ERROR(FormatNumber(1, "0."), errc::InvalidCall);
}

TEST(RuntimeFormat, FormatValueTakesNumericText) {
  EXPECT_EQ(rt::FormatValue(Variant("012"), "0"), "12");
  EXPECT_EQ(rt::FormatValue(Variant("10,5"), "Fixed"), "10,50");
  EXPECT_EQ(rt::FormatValue(Variant("abc"), "Fixed"), "abc");
  EXPECT_EQ(rt::FormatValue(Variant(""), "Fixed"), "");
  EXPECT_EQ(rt::FormatValue(Variant(), "Fixed"), "0,00");
  EXPECT_EQ(rt::FormatValue(Variant(int32_t{7}), "000"), "007");
  // Number text of the list in the German form, read back in the same form.
  EXPECT_EQ(rt::CDbl(Variant(FormatNumber(1234.5, "Fixed"))), 1234.5);
}

TEST(RuntimeFormat, DatePatterns) {
  const rt::Date d = rt::DateSerial(2024, 3, 5);
  EXPECT_EQ(FormatDate(rt::kNoDate, "yyyyMMdd"), "18991230");
  EXPECT_EQ(FormatDate(rt::kMaxDate, "yyyyMMdd"), "99991231");
  EXPECT_EQ(FormatDate(d, "dd.MM.yyyy"), "05.03.2024");
  EXPECT_EQ(FormatDate(d, "yyyy-MM-dd"), "2024-03-05");
  EXPECT_EQ(FormatDate(d, "d.M.yy"), "5.3.24");
  EXPECT_EQ(FormatDate(d, "DD.mm.YYYY"), "05.03.2024");
  EXPECT_EQ(FormatDate(d, "dddd, d. MMMM yyyy"), "Dienstag, 5. März 2024");
  EXPECT_EQ(FormatDate(d, "ddd dd MMM"), "Di 05 Mrz");
  EXPECT_EQ(FormatDate(rt::DateSerial(2024, 12, 1), "MMMM/yyyy"), "Dezember/2024");
  EXPECT_EQ(FormatDate(d, "\"Tag\" d \\d"), "Tag 5 d");
  const rt::Date t{d.serial + (9 * 3600 + 7 * 60 + 3) / 86400.0};
  EXPECT_EQ(FormatDate(t, "dd.MM.yyyy HH:mm:ss"), "05.03.2024 09:07:03");
  EXPECT_EQ(FormatDate(t, "h:nn"), "9:07");
  EXPECT_EQ(FormatDate(t, "yyyyMMdd"), "20240305");
  EXPECT_RT_ERROR(FormatDate(rt::Date{1e7}, "dd.MM.yyyy"), errc::InvalidCall);
}

}  // namespace
