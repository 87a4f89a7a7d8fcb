#include "core/records.h"

#include <utility>

namespace {

// The standard conversion of a value to a member's type.
template <class V>
V Convert(const rt::Variant& v);
template <>
std::string Convert(const rt::Variant& v) { return rt::CStr(v); }
template <>
int32_t Convert(const rt::Variant& v) { return rt::CLng(v); }
template <>
double Convert(const rt::Variant& v) { return rt::CDbl(v); }
template <>
bool Convert(const rt::Variant& v) { return rt::CBool(v); }
template <>
rt::Date Convert(const rt::Variant& v) { return rt::CDate(v); }

// One by-name entry reading and writing the member `m` of a record R.
template <class R, class V>
typename rt::PropertyTable<R>::Entry P(std::string name, V R::*m) {
  return {std::move(name), [m](const R& r) { return rt::Variant(r.*m); },
          [m](R& r, const rt::Variant& v) { r.*m = Convert<V>(v); }};
}

using D = kt_CDefinition;
const rt::PropertyTable<D>& DefinitionTable() {
  static const rt::PropertyTable<D> table({
      P("Typ", &D::Typ),
      P("Bezeichnung", &D::Bezeichnung),
      P("Art", &D::Art),
      P("ArtStr", &D::ArtStr),
      P("Dauer", &D::Dauer),
      P("Verlaengerungsdauer", &D::Verlaengerungsdauer),
      P("Kuendigungsfrist", &D::Kuendigungsfrist),
      P("KuendigungsfristEinh", &D::KuendigungsfristEinh),
      P("KuendigungsfristBezug", &D::KuendigungsfristBezug),
      P("VerlKuendigungsfrist", &D::VerlKuendigungsfrist),
      P("VerlKuendigungsfristEinh", &D::VerlKuendigungsfristEinh),
      P("Zahlungsperiode", &D::Zahlungsperiode),
      P("VerlaengerungsZahlungsperiode", &D::VerlaengerungsZahlungsperiode),
      P("RechnungWann", &D::RechnungWann),
      P("NoBooking", &D::NoBooking),
      P("NettoSumme", &D::NettoSumme),
      P("ErfordertMerkmalGruppe", &D::ErfordertMerkmalGruppe),
      P("ErfordertMerkmal", &D::ErfordertMerkmal),
      P("ErfordertWert", &D::ErfordertWert),
      P("SetztMerkmalGruppe", &D::SetztMerkmalGruppe),
      P("SetztMerkmal", &D::SetztMerkmal),
      P("SetztWert", &D::SetztWert),
      P("FirmenProvision", &D::FirmenProvision),
      P("MitarbeiterProvision", &D::MitarbeiterProvision),
      P("VerlaengerungsWorkflowID", &D::VerlaengerungsWorkflowID),
      P("Dirty", &D::Dirty),
      P("DefOid", &D::DefOid),
  });
  return table;
}

using Pos = kt_CPosition;
const rt::PropertyTable<Pos>& PositionTable() {
  static const rt::PropertyTable<Pos> table({
      P("Artikel", &Pos::Artikel),
      P("Nettopreis", &Pos::Nettopreis),
      P("Artikelnummer", &Pos::Artikelnummer),
      P("Artikelart", &Pos::Artikelart),
      P("Einheit", &Pos::Einheit),
      P("UStSatz", &Pos::UStSatz),
      P("Beschreibung", &Pos::Beschreibung),
      P("Anzahl", &Pos::Anzahl),
      P("Erloeskonto", &Pos::Erloeskonto),
      P("ArtikelID", &Pos::ArtikelID),
      P("PreisM1", &Pos::PreisM1),
      P("PreisM3", &Pos::PreisM3),
      P("PreisM6", &Pos::PreisM6),
      P("PreisM12", &Pos::PreisM12),
      P("PreisM24", &Pos::PreisM24),
      P("PreisM36", &Pos::PreisM36),
      P("PreisM48", &Pos::PreisM48),
      P("PreisM60", &Pos::PreisM60),
      P("Preis", &Pos::Preis),
      P("NettoOhneRabatt", &Pos::NettoOhneRabatt),
      P("Gruppierung", &Pos::Gruppierung),
  });
  return table;
}

using C = kt_CContractD;
const rt::PropertyTable<C>& ContractTable() {
  static const rt::PropertyTable<C> table({
      P("lVertragArt", &C::lVertragArt),
      P("VertragBeginn", &C::VertragBeginn),
      P("VertragGeschlossenAm", &C::VertragGeschlossenAm),
      P("Bezeichnung", &C::Bezeichnung),
      P("Dauer", &C::Dauer),
      P("Zahlungsperiode", &C::Zahlungsperiode),
      P("Verlaengerungsdauer", &C::Verlaengerungsdauer),
      P("VerlaengerungsZahlungsperiode", &C::VerlaengerungsZahlungsperiode),
      P("dblRabatt", &C::dblRabatt),
      P("KuendFristInWochen", &C::KuendFristInWochen),
      P("Memo", &C::Memo),
      P("RabattNurErsteLaufzeit", &C::RabattNurErsteLaufzeit),
      P("SetztMerkmalGruppe", &C::SetztMerkmalGruppe),
      P("SetztMerkmal", &C::SetztMerkmal),
      P("SetztWert", &C::SetztWert),
      P("Auftragsnummer", &C::Auftragsnummer),
  });
  return table;
}

using A = kt_CArticle;
const rt::PropertyTable<A>& ArticleTable() {
  static const rt::PropertyTable<A> table({
      P("sArtikelID", &A::sArtikelID),
      P("dblAnzahl", &A::dblAnzahl),
      P("lPreisDauer", &A::lPreisDauer),
      P("bSonderpreisVerwenden", &A::bSonderpreisVerwenden),
      P("dblPreis", &A::dblPreis),
      P("sBeschreibung", &A::sBeschreibung),
      P("bUseCustomDiscount", &A::bUseCustomDiscount),
      P("dblCustomDiscount", &A::dblCustomDiscount),
      P("sAuftragsnummer", &A::sAuftragsnummer),
      P("sGruppierung", &A::sGruppierung),
  });
  return table;
}

}  // namespace

rt::Variant kt_CDefinition::Get(std::string_view name) const { return DefinitionTable().Get(*this, name); }
void kt_CDefinition::Put(std::string_view name, const rt::Variant& value) {
  DefinitionTable().Put(*this, name, value);
}

rt::Variant kt_CPosition::Get(std::string_view name) const { return PositionTable().Get(*this, name); }
void kt_CPosition::Put(std::string_view name, const rt::Variant& value) {
  PositionTable().Put(*this, name, value);
}

rt::Variant kt_CContractD::Get(std::string_view name) const { return ContractTable().Get(*this, name); }
void kt_CContractD::Put(std::string_view name, const rt::Variant& value) {
  ContractTable().Put(*this, name, value);
}

rt::Variant kt_CArticle::Get(std::string_view name) const { return ArticleTable().Get(*this, name); }
void kt_CArticle::Put(std::string_view name, const rt::Variant& value) {
  ArticleTable().Put(*this, name, value);
}
