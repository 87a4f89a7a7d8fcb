// The add-on's record classes: plain values with no logic and no checks.
//
//   kt_CDefinition  one contract type held in memory for one new contract
//   kt_CPosition    one article position of such a type
//   kt_CContractD   the contract data a caller passes to NewContractDebitor
//   kt_CArticle     one article line of such a call
//
// Every property is a public member, read and written directly. A new
// object holds "", 0, date 0 and false. The same properties are reachable
// by name through rt::Object::Get and Put (names without regard to letter
// case; an unknown name raises 438); Put converts the value to the member's
// type with the standard conversions (CStr, CLng, CDbl, CDate, CBool), so a
// value that does not convert raises (13, 6 or 94) and leaves the member
// unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/date.h"
#include "platform/object.h"
#include "platform/variant.h"

class kt_CDefinition : public rt::Object {
 public:
  std::string Typ;                        // "D" or "K"
  std::string Bezeichnung;
  int32_t Art = 0;                        // 1, 2 or 3
  std::string ArtStr;
  int32_t Dauer = 0;                      // months
  int32_t Verlaengerungsdauer = 0;        // months
  int32_t Kuendigungsfrist = 0;           // count of KuendigungsfristEinh
  std::string KuendigungsfristEinh;       // "Wochen" or "Monate"
  std::string KuendigungsfristBezug;
  int32_t VerlKuendigungsfrist = 0;
  std::string VerlKuendigungsfristEinh;
  int32_t Zahlungsperiode = 0;            // months
  int32_t VerlaengerungsZahlungsperiode = 0;
  int32_t RechnungWann = 0;               // 0 in advance, 1 afterwards
  bool NoBooking = false;
  double NettoSumme = 0;
  std::string ErfordertMerkmalGruppe;
  std::string ErfordertMerkmal;
  std::string ErfordertWert;
  std::string SetztMerkmalGruppe;
  std::string SetztMerkmal;
  std::string SetztWert;
  double FirmenProvision = 0;             // carried, never used
  double MitarbeiterProvision = 0;        // carried, never used
  std::string VerlaengerungsWorkflowID;   // the type's WorkflowID
  bool Dirty = false;                     // adjusted for the current new contract
  std::string DefOid;                     // record id of the stored type

  rt::Variant Get(std::string_view name) const override;
  void Put(std::string_view name, const rt::Variant& value) override;
};

class kt_CPosition : public rt::Object {
 public:
  std::string Artikel;
  double Nettopreis = 0;
  std::string Artikelnummer;
  std::string Artikelart;
  std::string Einheit;
  double UStSatz = 0;
  std::string Beschreibung;
  double Anzahl = 0;
  int32_t Erloeskonto = 0;
  std::string ArtikelID;
  double PreisM1 = 0;
  double PreisM3 = 0;
  double PreisM6 = 0;
  double PreisM12 = 0;
  double PreisM24 = 0;
  double PreisM36 = 0;
  double PreisM48 = 0;
  double PreisM60 = 0;
  double Preis = 0;
  double NettoOhneRabatt = 0;
  std::string Gruppierung;

  rt::Variant Get(std::string_view name) const override;
  void Put(std::string_view name, const rt::Variant& value) override;
};

class kt_CContractD : public rt::Object {
 public:
  int32_t lVertragArt = 0;                // 1 renewable, 2 one-off
  rt::Date VertragBeginn;
  rt::Date VertragGeschlossenAm;          // date 0: not concluded yet
  std::string Bezeichnung;
  int32_t Dauer = 0;                      // first term, months
  int32_t Zahlungsperiode = 0;            // months
  int32_t Verlaengerungsdauer = 0;        // months
  int32_t VerlaengerungsZahlungsperiode = 0;
  double dblRabatt = 0;                   // percent
  int32_t KuendFristInWochen = 0;
  std::string Memo;
  bool RabattNurErsteLaufzeit = false;
  std::string SetztMerkmalGruppe;
  std::string SetztMerkmal;
  std::string SetztWert;
  std::string Auftragsnummer;

  rt::Variant Get(std::string_view name) const override;
  void Put(std::string_view name, const rt::Variant& value) override;
};

class kt_CArticle : public rt::Object {
 public:
  std::string sArtikelID;                 // Artikel.Id
  double dblAnzahl = 0;
  int32_t lPreisDauer = 0;                // months the price covers
  bool bSonderpreisVerwenden = false;     // dblPreis instead of the article's price
  double dblPreis = 0;
  std::string sBeschreibung;              // "": the article's own
  bool bUseCustomDiscount = false;        // dblCustomDiscount instead of the contract's
  double dblCustomDiscount = 0;           // percent
  std::string sAuftragsnummer;
  std::string sGruppierung;

  rt::Variant Get(std::string_view name) const override;
  void Put(std::string_view name, const rt::Variant& value) override;
};
