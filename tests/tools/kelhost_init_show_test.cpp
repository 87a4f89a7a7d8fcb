// kelhost --help, each command's --help, init and show.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "debitor_fixture.h"
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
  EXPECT_NE(r.out.find("show DB [TABLE]"), std::string::npos);
  EXPECT_NE(r.out.find("COMMAND --help"), std::string::npos);
  EXPECT_EQ(RunKelhost(dir, {"frobnicate"}).status, 2);
  EXPECT_EQ(RunKelhost(dir, {}).status, 2);
  EXPECT_EQ(RunKelhost(dir, {"init"}).status, 2);
  EXPECT_EQ(RunKelhost(dir, {"init", dir.File("a.db"), "--bogus"}).status, 2);
  EXPECT_EQ(RunKelhost(dir, {"show", dir.File("a.db")}).status, 2);
}

// Each command with the arguments that make it a usage error, and the
// lines its usage must hold besides the one of -h, --help.
struct CommandUsage {
  const char* name;
  std::vector<std::string> wrong;
  std::vector<std::string> heads;
};

const std::vector<CommandUsage>& Usages() {
  static const std::vector<CommandUsage> usages = {
      {"debitor", {"x.db"}, {"DB", "--address ID", "--user NAME", "--today YYYY-MM-DD", "--contract FILE",
                             "--articles FILE"}},
      {"demo", {"a.db", "b.db"}, {"DB"}},
      {"edit-type", {"x.db"}, {"DB", "--new", "--type NAME", "--user NAME", "--today YYYY-MM-DD", "--script FILE"}},
      {"init", {}, {"DB", "--sample"}},
      {"new-contract", {"x.db", "--bogus"}, {"DB", "--address ID", "--user NAME", "--today YYYY-MM-DD",
                                            "--script FILE"}},
      {"persist", {"x.db", "NAME"}, {"DB", "NAME", "VALUE"}},
      {"setting", {"x.db"}, {"DB", "NAME", "VALUE"}},
      {"show", {}, {"DB", "TABLE"}},
      {"version", {"extra"}, {}},
  };
  return usages;
}

TEST(KelhostCli, EveryCommandsHelpPrintsItsUsageAndTheUsageErrorsShareItsLine) {
  TempDir dir;
  const Result list = RunKelhost(dir, {"--help"});
  std::set<std::string> named;
  for (const CommandUsage& c : Usages()) {
    SCOPED_TRACE(c.name);
    named.insert(c.name);
    const Result help = RunKelhost(dir, {c.name, "--help"});
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(RunKelhost(dir, {c.name, "-h"}).out, help.out);
    const std::vector<std::string> lines = Lines(help.out);
    ASSERT_GE(lines.size(), 5u) << help.out;
    const std::string prefix = std::string("usage: kelhost ") + c.name;
    EXPECT_EQ(lines[0].rfind(prefix, 0), 0u) << lines[0];
    // The usage line is the synopsis that --help lists, and the summary the
    // one it lists beside it.
    EXPECT_NE(list.out.find("  " + lines[0].substr(15)), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("   " + lines[2] + "\n"), std::string::npos) << lines[2];
    // One line for each argument and option, in the synopsis's order.
    std::vector<std::string> heads;
    for (size_t i = 4; i < lines.size(); ++i) {
      ASSERT_EQ(lines[i].rfind("  ", 0), 0u) << lines[i];
      const size_t end = lines[i].find("   ", 2);
      ASSERT_NE(end, std::string::npos) << lines[i];
      heads.push_back(lines[i].substr(2, end - 2));
      EXPECT_NE(lines[0].find(heads.back() == "-h, --help" ? std::string(c.name) : heads.back()), std::string::npos);
    }
    std::vector<std::string> expected = c.heads;
    expected.push_back("-h, --help");
    EXPECT_EQ(heads, expected);

    // A usage error ends with the same usage line.
    std::vector<std::string> wrong = {c.name};
    wrong.insert(wrong.end(), c.wrong.begin(), c.wrong.end());
    const Result error = RunKelhost(dir, wrong);
    EXPECT_EQ(error.status, 2);
    EXPECT_EQ(error.out, "");
    const std::vector<std::string> errLines = Lines(error.err);
    ASSERT_EQ(errLines.size(), 2u) << error.err;
    EXPECT_EQ(errLines[0].rfind(std::string("kelhost: ") + c.name + ": ", 0), 0u) << error.err;
    EXPECT_EQ(errLines[1], "kelhost: " + lines[0]);
  }
  // Every command kelhost lists has its usage here.
  for (const std::string& line : Lines(list.out)) {
    if (line.rfind("  ", 0) != 0 || line[2] == ' ' || line[2] == '-' || line.rfind("  COMMAND", 0) == 0) continue;
    EXPECT_EQ(named.count(line.substr(2, line.find(' ', 2) - 2)), 1u) << line;
  }
}

TEST(KelhostCli, HelpAnywhereAmongTheArgumentsWinsAndDoesNothingElse) {
  TempDir dir;
  const std::string db = dir.File("demo.db");
  ASSERT_EQ(RunKelhost(dir, {"init", db, "--sample"}).status, 0);
  WriteFile(dir.File("a.csv"), "sArtikelID;dblAnzahl;lPreisDauer\nA1;1;12\n");
  WriteFile(dir.File("c.txt"), "Dauer = 12\n");
  const std::string before = ReadFile(db);
  const std::set<std::string> listing = test_files::Listing(dir.path());
  const std::vector<std::vector<std::string>> runs = {
      // Valid otherwise: nothing is called, stored or made.
      {"debitor", db, "--contract", dir.File("c.txt"), "--articles", dir.File("a.csv"), "--help"},
      {"setting", db, "CreateAppointment4AllContracts", "-h"},
      {"persist", "--help", db, "kt_AlarmWochenEnde", "3"},
      {"init", dir.File("new.db"), "-h"},
      {"demo", "--help"},
      {"new-contract", db, "--script", dir.File("c.txt"), "-h"},
      {"edit-type", db, "--new", "--help"},
      {"show", db, "Artikel", "--help"},
      // Wrong otherwise: the usage all the same.
      {"debitor", "--help", "--bogus"},
      {"debitor", db, "--user", "--help"},
      {"show", dir.File("missing.db"), "Kunden", "-h"},
      {"version", "extra", "--help"},
  };
  for (const std::vector<std::string>& args : runs) {
    SCOPED_TRACE(args[0] + " " + args.back());
    const Result r = RunKelhost(dir, args, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("usage: kelhost " + args[0], 0), 0u) << r.out;
  }
  EXPECT_EQ(ReadFile(db), before);
  EXPECT_EQ(test_files::Listing(dir.path()), listing);
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
    EXPECT_EQ(test_files::Listing(dir.File("disk")), listing);
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

// The tables show lists, in the schema's order: the add-on's, then the
// host's that a user reads.
const std::vector<std::string> kTables = {
    "kt_Vertragsdefinitionen", "kt_DefinitionsPositionen", "kt_Vertraege",          "kt_Vertragsstaende",
    "kt_Vertragspositionen",   "kt_VertragsAktivitaeten",  "Adressen",              "Adressmerkmale",
    "Artikel",                 "Artikelgruppen",           "MerkmalgruppeAdressen", "MerkmallisteAdressen",
    "WerteMerkmalAdressen",    "KMWFG_Vorgaenge",          "KMMD_Mandanten",        "KMMD_Nummern"};

TEST(KelhostCliShow, WithoutATableListsTheTablesThatItShows) {
  TempDir dir;
  const std::string db = dir.File("demo.db");
  ASSERT_EQ(RunKelhost(dir, {"init", db, "--sample"}).status, 0);
  const std::string before = ReadFile(db);
  const Result r = RunKelhost(dir, {"show", db});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Lines(r.out), kTables);
  for (const std::string& table : kTables) {
    const Result rows = RunKelhost(dir, {"show", db, table});
    EXPECT_EQ(rows.status, 0) << table << ": " << rows.err;
  }
  EXPECT_EQ(ReadFile(db), before);
  // Only a kelhost database, as every show: nothing is listed of another file.
  WriteFile(dir.File("notes.txt"), "no database\n");
  for (const std::string& other : {dir.File("notes.txt"), dir.File("missing.db")}) {
    const Result refused = RunKelhost(dir, {"show", other});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err.rfind("kelhost: show: " + other + " ", 0), 0u) << refused.err;
  }
  EXPECT_EQ(ReadFile(dir.File("notes.txt")), "no database\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.db")));
  EXPECT_EQ(RunKelhost(dir, {"show", db, "Artikel", "extra"}).status, 2);
}

TEST(KelhostCliShow, UnknownTablesNameTheTablesThereAreAndMissingFilesAreUsageErrors) {
  TempDir dir;
  const std::string db = dir.File("demo.db");
  ASSERT_EQ(RunKelhost(dir, {"init", db}).status, 0);
  Result r = RunKelhost(dir, {"show", db, "Artikl"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  std::string tables;
  for (const std::string& t : kTables) tables += (tables.empty() ? "" : ", ") + t;
  EXPECT_EQ(r.err, "kelhost: show: unknown table Artikl; the tables are " + tables + "\n");
  r = RunKelhost(dir, {"show", dir.File("missing.db"), "Adressen"});
  EXPECT_EQ(r.status, 2);
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.db")));
}

}  // namespace
}  // namespace kelhost_test
