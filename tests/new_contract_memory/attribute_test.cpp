// The attribute step of the save from an adjusted type: the direct write
// takes the attribute and the name from memory. The rest of the step is
// the stored type's (tests/new_contract); the differential tests show the
// macro gets the list's name in both.
#include <string>
#include <vector>

#include "memory_fixture.h"

namespace {

using memtest::D;
using rt::Variant;

class MemoryAttribute : public memtest::MemoryTest {};

TEST_F(MemoryAttribute, TheDirectWriteTakesTheAttributeAndTheNameFromMemory) {
  struct Case {
    const char* what;
    const char* group;
    const char* attribute;
    bool written;
    const char* gruppe;  // as written
  };
  AddQuarterly();
  // A host default tells a Gruppe put empty from one left alone.
  host_->SetFieldDefault("Adressmerkmale", "Gruppe", "Allgemein");
  const Case cases[] = {
      {"with a group", "Kunde", "Status", true, "Kunde"},
      {"no group: Gruppe not put, the host's default stays", "", "Status", true, "Allgemein"},
      {"no attribute: nothing, whatever the value", "Kunde", "", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host_->DeleteRows("Adressmerkmale");
    const Run run = SaveAdjusted(D(2024, 1, 1), Rename("Wartung Sonder"), [&](frmNewContract& f) {
      ChangeInMemory(f, [&](kt_CDefinition& d) {
        d.SetztMerkmalGruppe = c.group;
        d.SetztMerkmal = c.attribute;
        d.SetztWert = "aktiv";
      });
    });
    EXPECT_TRUE(run.outcome.ok);
    const auto rows = Rows("Adressmerkmale");
    ASSERT_EQ(rows.size(), c.written ? 1u : 0u);
    if (!c.written) continue;
    EXPECT_EQ(rows[0].masterOid, Rows("kt_Vertraege").back().masterOid);
    ExpectFields(rows[0],
                 {{"Gruppe", c.gruppe},
                  {"Merkmal", c.attribute},
                  {"Wert", "aktiv"},
                  {"GültigVom", Variant(D(2024, 1, 1))},
                  {"GültigBis", Variant(D(2024, 12, 31))},
                  {"Beschreibung", run.number + " / Wartung Sonder"}},
                 "attribute");
  }
  EXPECT_EQ(ui_->DoEventsCount(), 0);
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
