#include "platform/format.h"
#include "platform/runtime_expect.h"

namespace {

using rt::FormatDate;
using rt::FormatNumber;
using rt::Variant;
namespace errc = rt::errc;

TEST(RuntimeFormat, NumberPatterns) {
  const struct {
    double value;
    const char* pattern;
    const char* text;
  } cases[] = {
      {21, "Fixed", "21,00"}, {1200, "Fixed", "1200,00"}, {-2, "Fixed", "-2,00"}, {10.5, "Fixed", "10,50"},
      {0.5, "Fixed", "0,50"}, {0, "Fixed", "0,00"}, {1234567.891, "Fixed", "1234567,89"},
      // Halves round away from zero on the 15-digit decimal form.
      {2.675, "Fixed", "2,68"}, {-2.675, "Fixed", "-2,68"}, {0.125, "Fixed", "0,13"}, {9.995, "Fixed", "10,00"},
      {-0.001, "Fixed", "0,00"}, {1e20, "Fixed", "100000000000000000000,00"},
      {12, "0", "12"}, {12.5, "0", "13"}, {-12.5, "0", "-13"}, {0.4, "0", "0"},
      {1, "000", "001"}, {12, "000", "012"}, {1000, "000", "1000"}, {-5, "000", "-005"},
      {42, "00000000", "00000042"}, {99999999.0 + 1, "00000000", "100000000"},
      {3.14159, "0.000", "3,142"}, {3.14159, "00,0", "03,1"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
  for (const char* bad : {"#,##0", "", "0."}) EXPECT_RT_ERROR(FormatNumber(1, bad), errc::InvalidCall);
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
  const rt::Date t{d.serial + (9 * 3600 + 7 * 60 + 3) / 86400.0};
  const struct {
    rt::Date date;
    const char* pattern;
    const char* text;
  } cases[] = {
      {rt::kNoDate, "yyyyMMdd", "18991230"}, {rt::kMaxDate, "yyyyMMdd", "99991231"},
      {d, "dd.MM.yyyy", "05.03.2024"}, {d, "yyyy-MM-dd", "2024-03-05"}, {d, "d.M.yy", "5.3.24"},
      {d, "DD.mm.YYYY", "05.03.2024"}, {d, "dddd, d. MMMM yyyy", "Dienstag, 5. März 2024"},
      {d, "ddd dd MMM", "Di 05 Mrz"}, {rt::DateSerial(2024, 12, 1), "MMMM/yyyy", "Dezember/2024"},
      {rt::DateSerial(100, 1, 1), "dd.MM.yyyy", "01.01.0100"}, {d, "\"Tag\" d \\d", "Tag 5 d"},
      {t, "dd.MM.yyyy HH:mm:ss", "05.03.2024 09:07:03"}, {t, "h:nn", "9:07"}, {t, "yyyyMMdd", "20240305"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDate(c.date, c.pattern), c.text) << c.pattern;
  EXPECT_RT_ERROR(FormatDate(rt::Date{1e7}, "dd.MM.yyyy"), errc::InvalidCall);
}

}  // namespace
