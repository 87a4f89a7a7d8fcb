#include <sstream>

#include "editor_fixture.h"
#include "platform/ui/script_player.h"

namespace editortest {
namespace {

class ContractTypesSmoke : public EditorTest {};

TEST_F(ContractTypesSmoke, WartungScript) {
  std::ostringstream out;
  auto player = std::make_shared<ui::test::ScriptPlayer>(ui::test::ParseScript(R"(type txtBezeichnung Wartung jährlich
select cboStatus freigegeben
select cboZahlungsperiode vierteljährlich
select cboKuendFrist 3
select cboKuendEinh Monate
select cboZahlungsperiode2 jährlich
select cboKuendFrist2 6
select cboKuendEinh2 Wochen
pick lvwArtikel Wartung Basis
click cmdAddPos
type txtAnzahl 2
type txtPreisM12 100
type txtPreisM24 200
type txtPreisM36 300
type txtPreisM48 400
type txtPreisM60 500
click cmdOk
click cmdSave
)"), out);
  ui::SetService(player);
  Edit(true);
  player->Finish();
  EXPECT_EQ(out.str(), "");
  for (const auto& t : {"kt_Vertragsdefinitionen", "kt_DefinitionsPositionen"})
    for (const auto& r : Rows(t)) {
      std::cout << t << " " << r.oid << "\n";
      for (const auto& [f, v] : r.fields) std::cout << "  " << f << " = " << rt::CStr(v.IsObject() ? rt::Variant() : v) << "\n";
    }
  ui::SetService(ui_);
}

}  // namespace
}  // namespace editortest
