#include "host/sqlite/errors.h"

#include "platform/error.h"

namespace host::sqlite {

std::string OwnErrorText(int32_t number) {
  switch (number) {
    case hosterr::UnknownTable:
      return "Tabelle nicht vorhanden";
    case hosterr::UnknownField:
      return "Feld nicht vorhanden";
    case hosterr::UnknownIndex:
      return "Index nicht vorhanden";
    case hosterr::UnknownFormula:
      return "Unbekannte Formel";
    case hosterr::NoCurrentRecord:
      return "Kein aktueller Datensatz";
    case hosterr::NotConvertible:
      return "Wert passt nicht zum Feldtyp";
    case hosterr::TextTooLong:
      return "Text länger als das Feld";
    case hosterr::NoMasterRecord:
      return "Kein aktueller Datensatz in der übergeordneten Tabelle";
    case hosterr::NoIndexSelected:
      return "Kein Index ausgewählt";
    case hosterr::UnknownSetting:
      return "Einstellung nicht vorhanden";
    case hosterr::UnknownUser:
      return "Benutzer nicht vorhanden";
    case hosterr::Storage:
      return "Fehler beim Datenbankzugriff";
    case hosterr::InvalidArgument:
      return "Ungültiges Argument";
    case hosterr::Busy:
      return "Die Datenbank wird von einem anderen Prozess beschrieben";
    case hosterr::NotOwnDatabase:
      return "Die Datei ist keine Datenbank dieses Hosts";
    default:
      return "";
  }
}

std::string ErrorText(int32_t number) {
  std::string own = OwnErrorText(number);
  if (!own.empty()) return own;
  // Run-time numbers have their own texts; every other number gets the
  // generic text of an application-defined error.
  return rt::DescriptionOf(number);
}

void RaiseHost(int32_t number, const std::string& detail) {
  std::string text = ErrorText(number);
  if (!detail.empty()) text += ": " + detail;
  throw rt::Error(number, kErrorSource, text);
}

}  // namespace host::sqlite
