// Conversions between the dialog layer's values and Qt's: texts (UTF-8 and
// QString, line breaks, captions), dates, colours and lengths.
#pragma once

#include <QColor>
#include <QDate>
#include <QPalette>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/date.h"
#include "platform/ui/control.h"

namespace ui::qt {

QString ToQ(std::string_view utf8);
std::string FromQ(const QString& text);

// A multi-line text as a Qt edit shows it (each CR LF or lone CR a "\n"),
// and back as the control keeps it (each "\n" a CR LF).
QString ToEditLines(std::string_view text);
std::string FromEditLines(const QString& text);

// A label's caption without its mnemonic marks: "&x" shows "x" and "&&"
// shows "&" (what the label shows when no control follows it).
QString WithoutMnemonic(std::string_view caption);

// The day of a date (its time of day dropped), and a day as a date.
QDate ToQDate(rt::Date date);
rt::Date FromQDate(QDate day);

// A colour of the dialog layer: an RGB value stored as 0x00BBGGRR, or a
// system colour (0x80000000 + index) taken from the palette; an unknown
// system colour gives nullopt (the widget keeps its own).
std::optional<QColor> ToQColor(Color color, const QPalette& palette);

// The font family of that name when this system has it; the dialogs name
// fonts of another system ("MS Sans Serif", "Tahoma"), which are then
// shown in the usual font rather than in whatever a font matcher offers.
std::optional<QString> AvailableFamily(std::string_view name);

// Twips (1440 to the inch) as pixels at `dpi` dots per inch.
int TwipsToPixels(int32_t twips, double dpi);

}  // namespace ui::qt
