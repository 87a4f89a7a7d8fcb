// kelhost --help, init and show.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <filesystem>
#include <set>

#include "file_helpers.h"
#include "host/sqlite/stand_in.h"
#include "kelhost_run.h"
#include "platform/date.h"

namespace kelhost_test {
namespace {

TEST(KelhostCli, HelpListsTheCommandsAndUnknownCommandsAreUsageErrors) {
  TempDir dir;
  Result r = RunKelhost(dir, {"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("init DB [--sample]"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("show DB TABLE"), std::string::npos);
  EXPECT_EQ(RunKelhost(dir, {"frobnicate"}).status, 2);
  EXPECT_EQ(RunKelhost(dir, {}).status, 2);
  EXPECT_EQ(RunKelhost(dir, {"init"}).status, 2);
  EXPECT_EQ(RunKelhost(dir, {"init", dir.File("a.db"), "--bogus"}).status, 2);
  EXPECT_EQ(RunKelhost(dir, {"show", dir.File("a.db")}).status, 2);
}

TEST(KelhostCliInit, CreatesTheSampleSilentlyAndRefusesAnExistingFile) {
  TempDir dir;
  const std::string db = dir.File("demo.db");
  Result r = RunKelhost(dir, {"init", db, "--sample"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  {
    auto host = host::sqlite::StandIn::Open(db);
    EXPECT_EQ(host->Rows("Artikel").size(), 9u);
    EXPECT_EQ(host->Application()->Database()->Users()->CurrentUser()->Name(), "Meier");
  }
  const std::string before = ReadFile(db);
  r = RunKelhost(dir, {"init", db});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(db), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(db), before);

  // Without --sample: the schema only.
  const std::string empty = dir.File("empty.db");
  EXPECT_EQ(RunKelhost(dir, {"init", empty}).status, 0);
  r = RunKelhost(dir, {"show", empty, "Adressen"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "ID\tName\n");
  // A folder that does not exist: a failure, not a usage error.
  EXPECT_EQ(RunKelhost(dir, {"init", dir.File("no/such/dir.db")}).status, 1);
}

TEST(KelhostCliInit, AFileSizeLimitIsAWriteErrorThatLeavesNoFileAndNoDemoChange) {
  TempDir dir;
  const std::string old = dir.File("alt.db");
  ASSERT_EQ(RunKelhost(dir, {"init", old}).status, 0);
  const std::string before = ReadFile(old);
  const std::set<std::string> listing = test_files::Listing(dir.path());
  // The sample outgrows 64 KiB; the listing of its first files does not.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"init", dir.File("neu.db"), "--sample"}, std::vector<std::string>{"demo", old}}) {
    SCOPED_TRACE(args[0]);
    Launch l{args, dir.File("stdout.txt"), dir.File("stderr.txt"), ""};
    l.fileSizeLimit = 64 * 1024;
    const Result r = RunKelhost(l);
    EXPECT_EQ(r.status, 1);  // an exit of its own, not SIGXFSZ
    EXPECT_EQ(r.err.rfind("kelhost: ", 0), 0u) << r.err;
    // SQLite's words, then the system's reason, and what became of DB.
    const std::string made = args[0] == "demo" ? old + " was left as it was" : dir.File("neu.db") + " was not created";
    EXPECT_EQ(r.err, "kelhost: " + args[0] + ": cannot create " + args[1] + ": disk I/O error (File too large); " +
                         made + "\n");
    EXPECT_EQ(test_files::Listing(dir.path()), listing);
    EXPECT_EQ(ReadFile(old), before);
  }
}

// A small file system of its own, mounted on a folder for the scope (only
// where this process may mount: as root).
class SmallDisk {
 public:
  SmallDisk(const std::string& folder, int kib) : folder_(folder) {
    std::filesystem::create_directory(folder_);
    const std::string size = "size=" + std::to_string(kib) + "k";
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, size.c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool mounted() const { return mounted_; }

 private:
  std::string folder_;
  bool mounted_ = false;
};

TEST(KelhostCliInit, AFullDiskIsAWriteErrorThatSaysSoAndLeavesNoFileAndNoDemoChange) {
  TempDir dir;
  const std::string made = dir.File("alt.db");
  ASSERT_EQ(RunKelhost(dir, {"init", made}).status, 0);
  // Room for that database, not for a second one beside it.
  SmallDisk disk(dir.File("disk"), 3 * static_cast<int>(std::filesystem::file_size(made)) / 2 / 1024);
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a file system here";
  const std::string old = dir.File("disk/alt.db");
  std::filesystem::copy_file(made, old);
  const std::string before = ReadFile(old);
  const std::set<std::string> listing = test_files::Listing(dir.File("disk"));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"init", dir.File("disk/neu.db"), "--sample"}, std::vector<std::string>{"demo", old}}) {
    SCOPED_TRACE(args[0]);
    const Result r = RunKelhost(dir, args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("kelhost: " + args[0] + ": cannot create ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(" (No space left on device); "), std::string::npos) << r.err;
    // demo opened the old database, which keeps its log files from then on.
    EXPECT_EQ(test_files::Listing(dir.File("disk")),
              args[0] == "demo" ? test_files::WithKeptLogs(listing, {"alt.db"}) : listing);
    EXPECT_EQ(ReadFile(old), before);
  }
}

TEST(KelhostCliShow, ListsEveryRowUnderEveryMasterInInsertionOrder) {
  TempDir dir;
  const std::string db = dir.File("demo.db");
  ASSERT_EQ(RunKelhost(dir, {"init", db, "--sample"}).status, 0);
  Result r = RunKelhost(dir, {"show", db, "artikel"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::string header, first;
  std::getline(lines, header);
  std::getline(lines, first);
  EXPECT_EQ(
      header,
      "Id\tBezeichnung\tBeschreibung\tNummer\tArt\tEinheit\tNettopreis\tGruppierung\tErloeskonto\tUStSatz\t"
      "ArtikelgruppeID");
  EXPECT_EQ(first, "A1\tWartung Basis\tBasiswartung\t1001\tDL\tJahr\t120\t\t8400\t19\tG1");
  int count = 1;
  std::string line, last;
  while (std::getline(lines, line)) {
    ++count;
    last = line;
  }
  EXPECT_EQ(count, 9);
  EXPECT_EQ(last, "A9\tExtra\tExtraleistung\t1009\tDL\tStk\t70\t\t8400\t19\tG1");
}

TEST(KelhostCliShow, FormatsDatesNumbersAndBooleans) {
  TempDir dir;
  const std::string db = dir.File("demo.db");
  ASSERT_EQ(RunKelhost(dir, {"init", db, "--sample"}).status, 0);
  {
    auto host = host::sqlite::StandIn::Open(db);
    const std::string contract = host->InsertRow(
        "kt_Vertraege", {{"Typ", "D"}, {"AktValue", 1234.5}, {"VertragBeginn", rt::DateSerial(2027, 1, 1)}},
        host->Rows("Adressen")[1].oid);
    host->InsertRow("kt_VertragsAktivitaeten",
                    {{"Typ", "Termin"},
                     {"Betreff", "Kündigungsfrist läuft am  01.10.2027  aus"},
                     {"Datum", rt::Date{rt::DateSerial(2027, 8, 20).serial + 0.375}},
                     {"Erledigt", false},
                     {"Verantwortlich", "Meier"}},
                    contract);
  }
  Result r = RunKelhost(dir, {"show", db, "KT_VERTRAGSAKTIVITAETEN"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Typ\tBetreff\tDatum\tErledigt\tVerantwortlich\n"
            "Termin\tKündigungsfrist läuft am  01.10.2027  aus\t20.08.2027 09:00\tfalse\tMeier\n");
  r = RunKelhost(dir, {"show", db, "kt_Vertraege"});
  EXPECT_EQ(r.status, 0);
  // Date 0 is an empty field; 1234,5 has no grouping.
  EXPECT_NE(r.out.find("\nD\t01.01.2027\t\t\t"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\t1234,5\t"), std::string::npos);
  EXPECT_NE(r.out.find("\tfalse\t"), std::string::npos);
}

TEST(KelhostCliShow, UnknownTablesAndMissingFilesAreUsageErrors) {
  TempDir dir;
  const std::string db = dir.File("demo.db");
  ASSERT_EQ(RunKelhost(dir, {"init", db}).status, 0);
  Result r = RunKelhost(dir, {"show", db, "Kunden"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Kunden"), std::string::npos);
  r = RunKelhost(dir, {"show", dir.File("missing.db"), "Adressen"});
  EXPECT_EQ(r.status, 2);
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.db")));
}

}  // namespace
}  // namespace kelhost_test
