// The records every save of a contract writes the same way: a contract
// state (kt_Vertragsstaende), its positions (kt_Vertragspositionen) and the
// attribute a contract sets on its address (Adressmerkmale).
//
// The records are plain values filled by the caller; each writer prepares a
// new record on the table given, puts the fields in the fixed order below
// and inserts it, so that every save path and the programmatic creation
// write the same fields in the same order. A field marked optional is put
// only when it holds a value; otherwise the record keeps the host's value
// for a new record. Nothing is trapped: a failing put leaves the record
// uninserted, a failing insert raises after the puts, and records written
// before stay written.
//
// A state belongs to the contract inserted last, a position to the state
// inserted last: the host links them, the writers name no parent.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "host/table.h"
#include "platform/date.h"
#include "platform/variant.h"

namespace kp {

// The host's status for an address attribute it already holds. The
// attribute writes count it as done.
inline constexpr int32_t kAttributeExists = static_cast<int32_t>(0x80041096u);

// One kt_Vertragsstaende record. Each date is followed by its "yyyyMMdd"
// text, which the writer derives (date 0 gives "18991230", 31.12.9999
// "99991231").
struct ContractState {
  std::optional<bool> AlteFakturierung;  // back-filled terms only
  std::optional<std::string> LaufTyp;    // "1" first term, "2" renewal term
  rt::Date LaufzeitStart;
  rt::Date LaufzeitEnde;                 // date 0 for an open-ended contract
  rt::Variant Dokument;                  // put only when it holds an object
  int32_t Zahlungsperiode = 0;
  std::string ZahlungsperiodeStr;
  std::optional<double> Value;
  int32_t RechnungWann = 0;
  rt::Date NaechsteRechnung;
  double Rabattprozent = 0;
};

// Writes, in this order: AlteFakturierung?, LaufTyp?, LaufzeitStart,
// LaufzeitStartStr, LaufzeitEnde, LaufzeitEndeStr, Dokument?,
// Zahlungsperiode, ZahlungsperiodeStr, Value?, RechnungWann,
// NaechsteRechnung, NaechsteRechnungStr, Rabattprozent; then Insert (256).
// The state stays the current record of `table`.
void InsertContractState(const std::shared_ptr<host::DbTable>& table, const ContractState& s);

// One kt_Vertragspositionen record.
struct ContractPosition {
  std::string Artikel;
  double Nettopreis = 0;  // the discounted price
  std::string Artikelnummer;
  std::string Artikelart;
  std::string Einheit;
  double UStSatz = 0;
  std::string Beschreibung;
  double Anzahl = 0;
  rt::Variant Erloeskonto;  // the field converts it
  std::string ArtikelID;
  std::string Row;
  double PreisM1 = 0, PreisM3 = 0, PreisM6 = 0, PreisM12 = 0;
  double PreisM24 = 0, PreisM36 = 0, PreisM48 = 0, PreisM60 = 0;
  double Preis = 0;
  double NettoOhneRabatt = 0;  // the undiscounted price
  double Rabattprozent = 0;
  std::optional<std::string> Positionsnummer;
  std::optional<std::string> Auftragsnummer;
  std::optional<std::string> Gruppierung;
  std::optional<int32_t> Gruppierungsposition;
};

// Copies what a position takes from its article and its period prices
// from any position of the same field names (a type's position in memory,
// a line of the programmatic path); the caller sets the rest.
template <class Source>
void CopyArticleAndPrices(const Source& s, ContractPosition& p) {
  p.Artikel = s.Artikel;
  p.Artikelnummer = s.Artikelnummer;
  p.Artikelart = s.Artikelart;
  p.Einheit = s.Einheit;
  p.UStSatz = s.UStSatz;
  p.Beschreibung = s.Beschreibung;
  p.Anzahl = s.Anzahl;
  p.Erloeskonto = s.Erloeskonto;
  p.ArtikelID = s.ArtikelID;
  p.PreisM1 = s.PreisM1;
  p.PreisM3 = s.PreisM3;
  p.PreisM6 = s.PreisM6;
  p.PreisM12 = s.PreisM12;
  p.PreisM24 = s.PreisM24;
  p.PreisM36 = s.PreisM36;
  p.PreisM48 = s.PreisM48;
  p.PreisM60 = s.PreisM60;
  p.Preis = s.Preis;
  p.NettoOhneRabatt = s.NettoOhneRabatt;
}

// Writes the fields in the order of the struct (the optional ones only
// when set), then Insert (256).
void InsertContractPosition(const std::shared_ptr<host::DbTable>& table, const ContractPosition& p);

// One Adressmerkmale record of the address whose attributes `table` shows.
struct AddressAttribute {
  std::string Gruppe;  // put only when not empty
  std::string Merkmal;
  std::string Wert;
  rt::Date GueltigVom;
  rt::Date GueltigBis;  // date 0: open
  std::string Beschreibung;
};

// Prepares the record, puts Gruppe (when not empty), Merkmal, Wert,
// GültigVom, GültigBis and Beschreibung, and inserts it with flags 0. A
// failure before the insert leaves nothing inserted. The host's
// kAttributeExists, raised by any step, counts as done and is not raised;
// every other error is raised to the caller.
void InsertAddressAttribute(const std::shared_ptr<host::DbTable>& table, const AddressAttribute& a);

}  // namespace kp
