// Users, tenant, the session kept in the file, and the macro registry.
#include "host_fixture.h"

namespace host_test {
namespace {

using HostSession = HostTest;

TEST_F(HostSession, UsersTenantAndCurrentUser) {
  auto users = db->Users();
  ASSERT_EQ(users->Count(), 3);
  EXPECT_EQ(users->Item(2)->Name(), "DEVELOPMENT");
  EXPECT_EQ(users->CurrentUser()->Name(), "Meier");
  EXPECT_EQ(ErrorOf([&] { users->Item(3); }), hosterr::UnknownUser);
  host->SetCurrentUser("Schulz");
  EXPECT_EQ(users->CurrentUser()->Name(), "Schulz");
  EXPECT_EQ(ErrorOf([&] { host->SetCurrentUser("schulz"); }), hosterr::UnknownUser);

  auto tenant = conn->Mandant();
  EXPECT_EQ(tenant->Name(), "HAUPT");
  EXPECT_EQ(tenant->Text(0), "HAUPT");
  host->SetTenant("NEBEN");
  EXPECT_EQ(conn->Mandant()->Text(0), "NEBEN");
  // Tests may remove the tenant's row.
  host->DeleteRows("KMMD_Mandanten");
  auto tenants = Table("KMMD_Mandanten");
  tenants->Indexes()->Select("kelName", 0);
  EXPECT_FALSE(tenants->Seek("HAUPT", 0));
}

TEST_F(HostSession, CurrentAddressAndContractType) {
  EXPECT_EQ(Text(Table("Adressen"), "ID"), "A1000");
  host->SetCurrentAddress("A1002");
  EXPECT_EQ(Text(Table("Adressen"), "Name"), "Stadtwerke Nord");
  host->SetCurrentAddress("A9999");
  EXPECT_TRUE(Table("Adressen")->Eof());
  host->SetCurrentAddressOid(host->Rows("Adressen")[1].oid);
  EXPECT_EQ(Text(Table("Adressen"), "ID"), "A1001");

  auto types = Table("kt_Vertragsdefinitionen");
  EXPECT_TRUE(types->Eof());
  const std::string a = host->InsertRow("kt_Vertragsdefinitionen", {{"Bezeichnung", "A"}});
  host->SetCurrentContractTypeOid(a);
  EXPECT_EQ(Text(Table("kt_Vertragsdefinitionen"), "Bezeichnung"), "A");
  host->SetCurrentContractTypeOid("");
  EXPECT_TRUE(types->Eof());
}

TEST(HostSessionFile, TheSessionIsSharedBySeparateRunsOnOneFile) {
  TempDatabase file("host_session");
  const std::string& path = file.path();
  std::string type;
  {
    auto host = host::sqlite::StandIn::Create(path, true);
    type = host->InsertRow("kt_Vertragsdefinitionen", {{"Bezeichnung", "A"}});
    host->SetCurrentContractTypeOid(type);
    host->SetCurrentAddress("A1001");
    host->SetCurrentUser("Schulz");
    // Values for this run only leave the file's session alone.
    host->SetCurrentAddress("A1002", false);
    host->SetCurrentUser("Meier", false);
    host->SetTenant("NUR_HIER", false);
    EXPECT_EQ(host->Application()->Database()->Users()->CurrentUser()->Name(), "Meier");
    EXPECT_EQ(host->Application()->Database()->Connection()->Mandant()->Name(), "NUR_HIER");
  }
  {
    auto host = host::sqlite::StandIn::Open(path);
    auto db = host->Application()->Database();
    auto conn = db->Connection();
    EXPECT_EQ(rt::CStr(conn->Table("Adressen")->Fields()->Item("ID")->Value()), "A1001");
    EXPECT_EQ(conn->Table("kt_Vertragsdefinitionen")->Oid(), type);
    EXPECT_EQ(db->Users()->CurrentUser()->Name(), "Schulz");
    EXPECT_EQ(conn->Mandant()->Name(), "HAUPT");
  }
  // Create refuses a file that is there, and a link even when it leads
  // nowhere, whose target it would create.
  EXPECT_EQ(ErrorOf([&] { host::sqlite::StandIn::Create(path, false); }), hosterr::InvalidArgument);
  TempDatabase target("host_session_target");
  TempDatabase link("host_session_link");
  std::filesystem::create_symlink(target.path(), link.path());
  EXPECT_EQ(ErrorOf([&] { host::sqlite::StandIn::Create(link.path(), false); }), hosterr::InvalidArgument);
  EXPECT_FALSE(std::filesystem::exists(target.path()));
}

TEST_F(HostSession, MacrosAreFoundByTheirThreeNames) {
  auto macros = app->Macros();
  EXPECT_EQ(macros->Projects("Project"), nullptr);
  host->RegisterMacro("Project", "kt_Macros", "kt_CreateAttribute", [](std::vector<rt::Variant>& args) {
    args.at(0) = rt::Variant(rt::CStr(args.at(1)) + "!");
  });
  auto project = macros->Projects("project");
  ASSERT_NE(project, nullptr);
  EXPECT_EQ(project->ProjectItems("Andere"), nullptr);
  auto module = project->ProjectItems("KT_MACROS");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->Procedures("kt_Other"), nullptr);
  auto proc = module->Procedures("kt_CreateAttribute");
  ASSERT_NE(proc, nullptr);
  std::vector<rt::Variant> args(8);
  args[1] = rt::Variant("Status");
  proc->Run(args);
  EXPECT_EQ(args[0], rt::Variant("Status!"));
}

}  // namespace
}  // namespace host_test
