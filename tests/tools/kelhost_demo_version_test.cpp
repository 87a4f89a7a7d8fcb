// kelhost version and kelhost demo, and the console's message boxes.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "debitor_fixture.h"
#include "kelhost/console_ui.h"
#include "kelhost_run.h"
#include "platform/text.h"
#include "platform/ui/service.h"

namespace kelhost_test {
namespace {

TEST(KelhostCliVersion, PrintsTheVersionTextAlone) {
  TempDir dir;
  const std::string cwd = dir.File("cwd");
  std::filesystem::create_directory(cwd);
  Result r = RunKelhost(dir, {"version"}, cwd);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Version " KP_EXPECTED_VERSION "\n");
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(std::filesystem::is_empty(cwd));  // no database needed or made
  EXPECT_EQ(RunKelhost(dir, {"version", "x"}).status, 2);
}

TEST(KelhostCliDemo, CreatesTheSampleAndAFirstContractInTheWorkingFolder) {
  TempDir dir;
  // An earlier kelhost database is replaced, with the (empty) log files a
  // killed process left.
  ASSERT_EQ(RunKelhost(dir, {"init", dir.File("kelhost-demo.db")}).status, 0);
  WriteFile(dir.File("kelhost-demo.db-wal"), "");
  WriteFile(dir.File("kelhost-demo.db-shm"), "");
  Result r = RunKelhost(dir, {"demo"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Vertragnummer 00000001");
  EXPECT_NE(lines.back().find(dir.File("kelhost-demo.db")), std::string::npos) << lines.back();
  EXPECT_NE(lines.back().find("sqlite3 kelhost-demo.db 'SELECT * FROM \"kt_Vertraege\"'"), std::string::npos)
      << lines.back();

  auto host = host::sqlite::StandIn::Open(dir.File("kelhost-demo.db"));
  EXPECT_EQ(host->Rows("Artikel").size(), 9u);
  // The two A1 lines merge: two positions; 2 x 27 + 2 x 150.
  const std::vector<host::sqlite::Row> positions = host->Rows("kt_Vertragspositionen");
  ASSERT_EQ(positions.size(), 2u);
  EXPECT_EQ(positions[0]["Anzahl"], rt::Variant(2.0));
  EXPECT_EQ(positions[0]["Nettopreis"], rt::Variant(27.0));
  EXPECT_EQ(positions[1]["Rabattprozent"], rt::Variant(0.0));
  EXPECT_EQ(host->Rows("kt_Vertraege").at(0)["AktValue"], rt::Variant(354.0));
  EXPECT_EQ(host->Rows("Adressmerkmale").at(0)["Beschreibung"], rt::Variant("00000001 / Wartungsvertrag"));
  EXPECT_NE(r.out.find("\nAdressmerkmale "), std::string::npos);
  host.reset();

  // Again, on a path of its own: the same output but for where it lies.
  Result again = RunKelhost(dir, {"demo", dir.File("zweite.db")});
  ASSERT_EQ(again.status, 0) << again.err;
  const std::vector<std::string> second = Lines(again.out);
  EXPECT_EQ(std::vector<std::string>(second.begin(), second.end() - 1),
            std::vector<std::string>(lines.begin(), lines.end() - 1));
  EXPECT_EQ(RunKelhost(dir, {"demo", "a.db", "b.db"}).status, 2);
  EXPECT_EQ(RunKelhost(dir, {"demo", dir.path()}).status, 2);
}

TEST(KelhostCliConsole, MessageBoxesPrintTitleAndTextAndTakeTheDefaultButton) {
  std::ostringstream captured;
  std::streambuf* old = std::cerr.rdbuf(captured.rdbuf());
  kelhost::ConsoleService console;
  const ui::MsgResult ok = console.MessageBox("Fehler &H5\r\n(Text)\r\nin modKT.X", ui::mb::OkOnly, std::nullopt);
  const ui::MsgResult no =
      console.MessageBox("Wirklich?", ui::mb::YesNo + ui::mb::DefaultButton2, std::string_view("Frage"));
  const ui::MsgResult yes = console.MessageBox("Weiter?", ui::mb::YesNo, std::string_view(""));
  std::cerr.rdbuf(old);
  EXPECT_EQ(ok, ui::MsgResult::Ok);
  EXPECT_EQ(no, ui::MsgResult::No);
  EXPECT_EQ(yes, ui::MsgResult::Yes);
  std::string expected;
  expected.append("[").append(ui::kDefaultTitle).append("] Fehler &H5\n(Text)\nin modKT.X\n");
  expected.append("[Frage] Wirklich?\n");
  expected.append("[").append(ui::kDefaultTitle).append("] Weiter?\n");
  EXPECT_EQ(captured.str(), expected);
}

}  // namespace
}  // namespace kelhost_test
