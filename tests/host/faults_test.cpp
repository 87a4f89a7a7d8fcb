// The fault switch and the host's error texts.
#include "host_fixture.h"
#include "platform/object.h"

namespace host_test {
namespace {

using HostFaults = HostTest;
constexpr int32_t kTolerated = static_cast<int32_t>(0x80041096u);

TEST_F(HostFaults, TheNextCallFailsOnceWithTheGivenErrorAndWritesNothing) {
  auto attrs = Table("Adressmerkmale");
  host->FailNext("adressmerkmale", "insert", kTolerated, "schon vorhanden");
  attrs->SetValues(attrs->NewValues(0));
  Put(attrs, "Merkmal", "m");
  try {
    attrs->Insert(0);
    FAIL() << "no error";
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.number(), kTolerated);
    EXPECT_EQ(e.source(), "KelDbServer31");
    EXPECT_EQ(e.description(), "schon vorhanden");
  }
  EXPECT_TRUE(host->Rows("Adressmerkmale").empty());
  // The prepared record is still there; the next insert succeeds.
  attrs->Insert(0);
  EXPECT_EQ(host->Rows("Adressmerkmale").size(), 1u);
  // Other tables and members are not affected.
  host->FailNext("kt_Vertraege", "Insert", kTolerated, "");
  attrs->SetValues(attrs->NewValues(0));
  attrs->Insert(0);
  EXPECT_EQ(host->Rows("Adressmerkmale").size(), 2u);
}

TEST_F(HostFaults, AlwaysAnyObjectAndClear) {
  host->FailAlways("", "Count", hosterr::Storage, "");
  EXPECT_EQ(ErrorOf([&] { db->Users()->Count(); }), hosterr::Storage);
  EXPECT_EQ(ErrorOf([&] { db->ScriptEngine()->PersistVars()->Count(); }), hosterr::Storage);
  EXPECT_EQ(ErrorOf([&] { db->Users()->Count(); }), hosterr::Storage);
  host->FailAlways("kt_Vertraege", "Table", 91, "");
  host->FailNext("Artikel", "Field.Value", 13, "");
  host->FailNext("Settings", "Exists", 5, "");
  EXPECT_EQ(ErrorOf([&] { conn->Table("KT_VERTRAEGE"); }), 91);
  auto articles = Table("Artikel");
  EXPECT_EQ(ErrorOf([&] { Get(articles, "Id"); }), 13);
  EXPECT_EQ(ErrorOf([&] { db->Settings()->Exists("x"); }), 5);
  try {
    conn->Table("kt_Vertraege");
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.description(), rt::DescriptionOf(91));
  }
  host->ClearFaults();
  EXPECT_EQ(db->Users()->Count(), 3);
  EXPECT_NO_THROW(conn->Table("kt_Vertraege"));
}

// A put or read by name in one call fails where Item and then the field's
// SetValue or Value would, in that order, and an unknown name as Item does.
TEST_F(HostFaults, PutAndReadByNameFailAsItemThenTheField) {
  auto articles = Table("Artikel");
  const std::shared_ptr<host::DbFields> fields = articles->Fields();
  host->FailNext("Artikel", "Fields.Item", 5, "");
  host->FailNext("Artikel", "Field.Value", 13, "");
  EXPECT_EQ(ErrorOf([&] { fields->ValueOf("Id"); }), 5);  // the item first
  EXPECT_EQ(ErrorOf([&] { fields->ValueOf("Id"); }), 13);
  EXPECT_EQ(fields->ValueOf("Id"), fields->Item("ID")->Value());
  EXPECT_EQ(ErrorOf([&] { fields->PutValue("Nix", 1); }), ErrorOf([&] { fields->Item("Nix"); }));
  host->FailNext("Artikel", "Field.SetValue", 13, "");
  articles->SetValues(articles->NewValues(0));
  EXPECT_EQ(ErrorOf([&] { fields->PutValue("Bezeichnung", "x"); }), 13);
  EXPECT_EQ(fields->ValueOf("Bezeichnung"), rt::Variant(""));  // nothing put
  fields->PutValue("bezeichnung", "y");
  EXPECT_EQ(fields->Item("Bezeichnung")->Value(), rt::Variant("y"));
}

TEST_F(HostFaults, ErrorTextsComeFromTheRegisteredClass) {
  host::sqlite::RegisterErrorTexts();
  host::sqlite::RegisterErrorTexts();
  auto texts = std::dynamic_pointer_cast<host::HostErrorTexts>(rt::CreateObject(host::kErrorTextsClass));
  ASSERT_NE(texts, nullptr);
  EXPECT_EQ(texts->Text(hosterr::NoCurrentRecord), "Kein aktueller Datensatz");
  EXPECT_EQ(texts->Text(hosterr::TextTooLong), "Text länger als das Feld");
  EXPECT_EQ(texts->Text(91), "Objektvariable oder With-Blockvariable nicht festgelegt");
  EXPECT_EQ(texts->Text(kTolerated), "Anwendungs- oder objektdefinierter Fehler");
  // Raised errors carry the same text, and the table or field they concern.
  try {
    conn->Table("kt_Vertraege")->Fields()->Item("Nix");
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.description(), "Feld nicht vorhanden: kt_Vertraege.Nix");
  }
  host->FailNext("ErrorTexts", "Text", 5, "");
  EXPECT_EQ(ErrorOf([&] { texts->Text(91); }), 5);
  rt::UnregisterClass(host::kErrorTextsClass);
}

}  // namespace
}  // namespace host_test
