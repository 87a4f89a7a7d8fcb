// One database file used by two stand-ins of this process and by kelhost
// processes: looking at the file to open it again must not cost the open
// connection its locks, or the last process to close would take the
// write-ahead log away under it and its later commits would be lost.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/sqlite/stand_in.h"
#include "tools/kelhost_run.h"

namespace {

using kelhost_test::RunKelhost;
using kelhost_test::TempDir;

TEST(HostSharedFile, CommitsOfAnOpenConnectionOutliveOtherOpensAndCloses) {
  TempDir dir;
  const std::string db = dir.File("host.db");
  ASSERT_EQ(RunKelhost(dir, {"init", db}).status, 0);
  auto mine = host::sqlite::StandIn::Open(db);
  mine->InsertRow("Adressen", {{"ID", "K1"}});
  // Another stand-in of this process opens and closes the file, then a
  // kelhost process does.
  host::sqlite::StandIn::Open(db)->Rows("Adressen");
  ASSERT_EQ(RunKelhost(dir, {"show", db, "Adressen"}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(db + "-wal"));
  mine->InsertRow("Adressen", {{"ID", "K2"}});
  ASSERT_EQ(mine->RunCall([&] { mine->InsertRow("Adressen", {{"ID", "K3"}}); }).error, nullptr);
  const kelhost_test::Result shown = RunKelhost(dir, {"show", db, "Adressen"});
  ASSERT_EQ(shown.status, 0);
  for (const char* id : {"K1", "K2", "K3"}) EXPECT_NE(shown.out.find(id), std::string::npos) << id;
}

}  // namespace
