// The address attribute a run sets, and what its failures leave.
#include <string>

#include "api_fixture.h"

namespace {

using apitest::Hr;

class ApiAttribute : public apitest::ApiTest {};

TEST_F(ApiAttribute, WrittenUnderTheCurrentAddressWhenAttributeAndValueAreGiven) {
  auto c = Baseline();
  c->SetztWert = "2024-01-01";  // taken as it is
  auto noValue = Baseline();
  noValue->SetztWert = "";
  auto noAttribute = Baseline();
  noAttribute->SetztMerkmal = "";
  auto noGroup = Baseline();
  noGroup->SetztMerkmalGruppe = "";
  for (const auto& k : {c, noValue, noAttribute, noGroup}) RunOk(k, {Line()});

  const auto rows = Rows("Adressmerkmale");
  ASSERT_EQ(rows.size(), 2u);
  const auto& a = rows[0];
  EXPECT_EQ(a.masterOid, Rows("kt_Vertraege").at(0).masterOid);
  EXPECT_EQ(Str(a, "Gruppe"), "Vertrag");
  EXPECT_EQ(Str(a, "Merkmal"), "Wartungsvertrag");
  EXPECT_EQ(Str(a, "Wert"), "2024-01-01");
  EXPECT_EQ(DateOf(a, "GültigVom"), rt::DateSerial(2024, 1, 1));
  // The first term's end, although the contract renews.
  EXPECT_EQ(DateOf(a, "GültigBis"), rt::DateSerial(2024, 12, 31));
  EXPECT_EQ(Str(a, "Beschreibung"), "00000001 / Wartung");
  // Without a group the attribute is written all the same.
  EXPECT_EQ(Str(rows[1], "Gruppe"), "");
  EXPECT_EQ(Str(rows[1], "Merkmal"), "Wartungsvertrag");
  EXPECT_EQ(Str(rows[1], "Beschreibung"), "00000004 / Wartung");
}

TEST_F(ApiAttribute, FailuresWriteNoAttributeAndOnly0x80041096StaysFromTheCaller) {
  struct Case {
    const char* member;
    uint32_t number;
  };
  // The host's 0x80041096 ends the step silently wherever it is raised;
  // any other failure reaches the caller. Either way there is no attribute
  // and the contract is complete but for it.
  const Case cases[] = {{"Insert", 0x80041096},         {"Field.SetValue", 0x80041096},
                        {"NewValues", 0x80041096},      {"SetValues", 0x80041096},
                        {"Table", 0x80041096},          {"ModeA", 0x80041096},
                        {"Insert", 0x8004100C},         {"Field.SetValue", 0x8004100C},
                        {"NewValues", 0x8004100C},      {"SetValues", 0x8004100C}};
  size_t contracts = 0;
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.member) + " " + rt::Hex(Hr(k.number)));
    host_->FailNext("Adressmerkmale", k.member, Hr(k.number), "kaputt");
    const auto err = Run(Baseline(), {Line()});
    if (k.number == 0x80041096) {
      EXPECT_FALSE(err.has_value()) << err->what();
    } else {
      ExpectError(err, Hr(k.number), "modAPI.CreateAttribute");
      EXPECT_EQ(err->description(), "kaputt");
    }
    ++contracts;
    EXPECT_EQ(Count(), (apitest::Counts{contracts, 0, contracts, contracts, 0}));
    EXPECT_EQ(Num(Rows("kt_Vertraege").back(), "AktValue"), 27);
  }
  EXPECT_TRUE(Boxes().empty());
  // A field that does not take the text: no attribute either.
  auto c = Baseline();
  c->SetztMerkmal = std::string(256, 'x');
  ExpectError(Run(c, {Line()}), Hr(0x80041007), "modAPI.CreateAttribute");
  EXPECT_EQ(Count().attributes, 0u);
}

}  // namespace
