#include "platform/ui/qt/conversions.h"

#include <QFontDatabase>

#include <cmath>

namespace ui::qt {

QString ToQ(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

std::string FromQ(const QString& text) { return text.toUtf8().toStdString(); }

QString ToEditLines(std::string_view text) {
  QString s = ToQ(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\r'), QChar('\n'));
  return s;
}

std::string FromEditLines(const QString& text) {
  QString s = text;
  s.replace(QChar('\n'), QStringLiteral("\r\n"));
  return FromQ(s);
}

QString WithoutMnemonic(std::string_view caption) {
  const QString s = ToQ(caption);
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == QChar('&') && i + 1 < s.size()) ++i;  // "&x" -> "x", "&&" -> "&"
    out += s[i];
  }
  return out;
}

QDate ToQDate(rt::Date date) { return QDate(rt::Year(date), rt::Month(date), rt::Day(date)); }

rt::Date FromQDate(QDate day) { return rt::DateSerial(day.year(), day.month(), day.day()); }

std::optional<QColor> ToQColor(Color color, const QPalette& palette) {
  if ((color & 0x80000000u) == 0) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
  }
  // The system colours the dialogs use, by the window system's index.
  switch (color & 0xFF) {
    case 4:   // menu
    case 15:  // button face: the background of dialogs
      return palette.color(QPalette::Window);
    case 5:  // window: the background of edit fields
      return palette.color(QPalette::Base);
    case 7:  // menu text
      return palette.color(QPalette::WindowText);
    case 8:  // window text: the text of edit fields
      return palette.color(QPalette::Text);
    case 13:
      return palette.color(QPalette::Highlight);
    case 14:
      return palette.color(QPalette::HighlightedText);
    case 16:  // button shadow
      return palette.color(QPalette::Dark);
    case 17:  // grey text
      return palette.color(QPalette::Disabled, QPalette::Text);
    case 18:
      return palette.color(QPalette::ButtonText);
    case 20:  // button highlight
      return palette.color(QPalette::Light);
    case 21:  // dark shadow
      return palette.color(QPalette::Shadow);
    case 22:  // light
      return palette.color(QPalette::Midlight);
    case 23:
      return palette.color(QPalette::ToolTipText);
    case 24:
      return palette.color(QPalette::ToolTipBase);
    default:
      return std::nullopt;
  }
}

std::optional<QString> AvailableFamily(std::string_view name) {
  const QString family = ToQ(name);
  if (family.isEmpty() || !QFontDatabase::hasFamily(family)) return std::nullopt;
  return family;
}

int TwipsToPixels(int32_t twips, double dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

}  // namespace ui::qt
