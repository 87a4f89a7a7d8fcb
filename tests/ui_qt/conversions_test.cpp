// Values between the dialog layer and Qt: texts, captions, dates, colours
// and lengths.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/ui/qt/conversions.h"

namespace {

using namespace ui::qt;

TEST(QtUiConversions, TextsCaptionsAndLines) {
  EXPECT_EQ(FromQ(ToQ("Kündigungsfrist – 12 €")), "Kündigungsfrist – 12 €");
  struct Case {
    const char* caption;
    const char* shown;
  };
  for (const Case& c : std::vector<Case>{{"&Speichern", "Speichern"}, {"A && B", "A & B"}, {"Ende&", "Ende&"},
                                         {"< kein Workflow >", "< kein Workflow >"}}) {
    EXPECT_EQ(WithoutMnemonic(c.caption), QString::fromUtf8(c.shown)) << c.caption;
  }
  EXPECT_EQ(ToEditLines("a\r\nb\rc\nd"), "a\nb\nc\nd");
  EXPECT_EQ(FromEditLines("a\nb"), "a\r\nb");
}

TEST(QtUiConversions, DatesColoursAndTwips) {
  struct DateCase {
    rt::Date date;
    QDate day;
  };
  for (const DateCase& c : std::vector<DateCase>{{rt::DateSerial(2024, 2, 29), QDate(2024, 2, 29)},
                                                 {rt::DateSerial(100, 1, 1), QDate(100, 1, 1)},
                                                 {rt::kMaxDate, QDate(9999, 12, 31)},
                                                 {rt::Date{45361.375}, QDate(2024, 3, 10)}}) {
    EXPECT_EQ(ToQDate(c.date), c.day) << c.date.serial;
    EXPECT_EQ(FromQDate(c.day), rt::DateOnly(c.date)) << c.date.serial;
  }

  QPalette palette;
  palette.setColor(QPalette::Window, QColor(1, 2, 3));
  palette.setColor(QPalette::Base, QColor(4, 5, 6));
  palette.setColor(QPalette::Text, QColor(7, 8, 9));
  EXPECT_EQ(ToQColor(0x000000FF, palette), QColor(255, 0, 0));  // red is stored in the low byte
  EXPECT_EQ(ToQColor(0x00123456, palette), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(ToQColor(ui::color::ButtonFace, palette), QColor(1, 2, 3));
  EXPECT_EQ(ToQColor(ui::color::Window, palette), QColor(4, 5, 6));
  EXPECT_EQ(ToQColor(ui::color::WindowText, palette), QColor(7, 8, 9));
  EXPECT_EQ(ToQColor(0x80000063, palette), std::nullopt);

  EXPECT_EQ(AvailableFamily("DejaVu Sans"), QString("DejaVu Sans"));  // installed with the build's packages
  EXPECT_EQ(AvailableFamily("MS Sans Serif"), std::nullopt);
  EXPECT_EQ(AvailableFamily(""), std::nullopt);

  EXPECT_EQ(TwipsToPixels(4868, 96), 325);
  EXPECT_EQ(TwipsToPixels(1440, 120), 120);
  EXPECT_EQ(TwipsToPixels(0, 96), 0);
}

}  // namespace
