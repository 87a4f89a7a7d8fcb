// kelhost built without Qt: the commands that show a dialog on screen say
// that this build has none, before the database is opened, and touch
// nothing; with a script they run as in any build. In a build with Qt the
// test runs a kelhost built as without it (kelhost_no_front_end), else
// kelhost itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "file_helpers.h"
#include "kelhost_run.h"

namespace kelhost_test {
namespace {

Result RunWithoutFrontEnd(const TempDir& dir, const std::vector<std::string>& args, bool offscreen = false) {
  Launch l{args, dir.File("stdout.txt"), dir.File("stderr.txt"), ""};
  l.exe = KELHOST_NO_FRONT_END_PATH;
  l.offscreen = offscreen;
  return RunKelhost(l);
}

std::string NoFrontEnd(const std::string& command) {
  return "kelhost: " + command +
         ": this build has no front end to show the dialog on screen (it was built without Qt); give --script FILE "
         "to play it from a script; nothing was written\n";
}

// On screen: a display there or not, a sample database, one that does not
// exist and a file that is no database alike get the same words, exit 2,
// and no file is made or changed.
TEST(KelhostCliNoFrontEnd, TheDialogCommandsWithoutAScriptSaySoBeforeTheDatabaseIsOpened) {
  TempDir dir;
  const std::string db = dir.File("t.db");
  const std::string notes = dir.File("notes.txt");
  ASSERT_EQ(RunKelhost(dir, {"init", db, "--sample"}).status, 0);
  WriteFile(notes, "no database\n");
  const std::string before = ReadFile(db);
  const std::set<std::string> listing = test_files::Listing(dir.path());
  for (const std::string& file : {db, notes, dir.File("missing.db")}) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"new-contract", file}, {"edit-type", file, "--type", "Wartung jährlich"}, {"edit-type", file, "--new"}}) {
      for (const bool offscreen : {false, true}) {
        const Result r = RunWithoutFrontEnd(dir, args, offscreen);
        EXPECT_EQ(r.status, 2) << args.front() << " " << file;
        EXPECT_EQ(r.out, "") << args.front() << " " << file;
        EXPECT_EQ(r.err, NoFrontEnd(args.front())) << file;
      }
    }
  }
  EXPECT_EQ(ReadFile(db), before);
  EXPECT_EQ(ReadFile(notes), "no database\n");
  EXPECT_EQ(test_files::Listing(dir.path()), listing);
  EXPECT_EQ(std::filesystem::file_size(db + "-wal"), 0u);
}

// With a script the build without a front end writes and prints what
// kelhost writes and prints, on two copies of one database.
TEST(KelhostCliNoFrontEnd, ScriptsRunAsInAnyBuild) {
  TempDir dir;
  const std::string db = dir.File("t.db");
  const std::string copy = dir.File("copy.db");
  const std::string script = dir.File("s.txt");
  ASSERT_EQ(RunKelhost(dir, {"init", db, "--sample"}).status, 0);
  std::filesystem::copy_file(db, copy);
  WriteFile(script, "pick lvwBezeichnung Wartung jährlich\ntype txtRabatt 10\nclick cmdOK\n");
  const std::vector<std::string> options = {"--today", "2027-01-10", "--script", script};
  std::vector<std::string> args = {"new-contract", db};
  args.insert(args.end(), options.begin(), options.end());
  const Result expected = RunKelhost(dir, args);
  ASSERT_EQ(expected.status, 0) << expected.err;
  args[1] = copy;
  const Result r = RunWithoutFrontEnd(dir, args);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, expected.err);
  EXPECT_EQ(r.out, expected.out);
  EXPECT_EQ(RunWithoutFrontEnd(dir, {"show", copy, "kt_Vertraege"}).out,
            RunKelhost(dir, {"show", db, "kt_Vertraege"}).out);
}

}  // namespace
}  // namespace kelhost_test
