// The state of one programmatic run, process-wide: replaced by the next
// run, never read by anyone outside modAPI (tests look at it).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/table.h"
#include "platform/date.h"

namespace modAPI {

// One position of the new contract, built from one article line (or
// several merged ones).
struct NewPosition {
  std::string Artikel;    // the article's Bezeichnung
  double Nettopreis = 0;  // period price less discount
  std::string Artikelnummer;
  std::string Artikelart;
  std::string Einheit;
  double UStSatz = 0;
  std::string Beschreibung;
  double Anzahl = 0;  // grows by the quantities merged into it
  int32_t Erloeskonto = 0;
  std::string ArtikelID;  // as the caller spelt it
  double PreisM1 = 0;
  double PreisM3 = 0;
  double PreisM6 = 0;
  double PreisM12 = 0;
  double PreisM24 = 0;
  double PreisM36 = 0;
  double PreisM48 = 0;
  double PreisM60 = 0;
  double Preis = 0;            // the price chosen by the contract's Dauer
  double NettoOhneRabatt = 0;  // period price before discount
  double Rabattprozent = 0;
  std::string Auftragsnummer;
  std::string Gruppierung;
};

// The run tables, opened by InitTables.
inline std::shared_ptr<host::DbTable> gAdressen;
inline std::shared_ptr<host::DbTable> gVertraege;
inline std::shared_ptr<host::DbTable> gStaende;
inline std::shared_ptr<host::DbTable> gPositionen;
inline std::shared_ptr<host::DbTable> gArtikel;

// Last day of the first term and the contract number, set by CreateVandVS.
inline rt::Date gEndDate;
inline std::string gVertragsnummer;

// The positions to write, filled by GetNewPositions.
inline std::vector<NewPosition> gNewPositions;

}  // namespace modAPI
