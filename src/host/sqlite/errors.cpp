#include "host/sqlite/errors.h"

#include <utility>

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
    case hosterr::Damaged:
      return "Datenbank beschädigt";
    case hosterr::NeedsWrite:
      return "Die Datenbank kann ohne Schreibrecht nicht gelesen werden";
    case hosterr::Moved:
      return "Die Datenbankdatei wurde verschoben, während sie beschrieben wurde";
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

namespace {

std::string CounterDetail(const std::string& file, CounterFault fault, const std::string& found, int64_t highest) {
  std::string text = file + ": Datensatzzähler LastOid in _kelhost_meta ";
  switch (fault) {
    case CounterFault::Missing:
      return text + "fehlt";
    case CounterFault::NotWhole:
      return text + "ist keine ganze Zahl: " + found;
    case CounterFault::BelowHighest:
      return text + "ist " + found + ", kleiner als die höchste Datensatznummer " + std::to_string(highest);
    case CounterFault::AtLargest:
      return text + "ist " + found + ", die größte mögliche Datensatznummer";
  }
  return text;
}

std::string NeedText(WriteNeeded need) {
  switch (need) {
    case WriteNeeded::LogIndex:
      return "Protokoll oder Protokollindex fehlt";
    case WriteNeeded::LogRecovery:
      return "Protokoll und Protokollindex müssen wiederhergestellt werden";
    case WriteNeeded::Rollback:
      return "unvollständige Transaktion im Journal";
  }
  return "";
}

}  // namespace

DamagedCounter::DamagedCounter(std::string file, CounterFault fault, std::string found, int64_t highest)
    : rt::Error(hosterr::Damaged, kErrorSource,
                ErrorText(hosterr::Damaged) + ": " + CounterDetail(file, fault, found, highest)),
      file_(std::move(file)),
      fault_(fault),
      found_(std::move(found)),
      highest_(highest) {}

ReadNeedsWrite::ReadNeedsWrite(std::string file, WriteNeeded need)
    : rt::Error(hosterr::NeedsWrite, kErrorSource,
                ErrorText(hosterr::NeedsWrite) + ": " + file + ": " + NeedText(need)),
      file_(std::move(file)),
      need_(need) {}

FileMoved::FileMoved(std::string file, bool committed)
    : rt::Error(hosterr::Moved, kErrorSource,
                ErrorText(hosterr::Moved) + ": " + file +
                    (committed ? ": die Änderungen stehen im Protokoll unter dem alten Namen"
                               : ": nichts wurde geschrieben")),
      file_(std::move(file)),
      committed_(committed) {}

void RaiseHost(int32_t number, const std::string& detail) {
  std::string text = ErrorText(number);
  if (!detail.empty()) text += ": " + detail;
  throw rt::Error(number, kErrorSource, text);
}

}  // namespace host::sqlite
