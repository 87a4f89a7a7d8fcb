// kelhost's output: texts escaped so that a record stays one line, and a
// failed write to standard output is a failure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debitor_fixture.h"
#include "kelhost_run.h"

namespace kelhost_test {
namespace {

class KelhostCliOutput : public DebitorTest {};

TEST_F(KelhostCliOutput, ShowAndTheRecordListingEscapeTexts) {
  {
    auto host = host::sqlite::StandIn::Open(db_);
    host->InsertRow("Adressen", {{"ID", "A\\1"}, {"Name", "Zeile 1\r\nZeile 2\tSpalte"}});
  }
  Result r = RunKelhost(dir_, {"show", db_, "Adressen"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines.back(), "A\\\\1\tZeile 1\\r\\nZeile 2\\tSpalte");

  // A tab inside a value of the contract file, and a backslash.
  WriteFile(contract_, ContractWithValues({{"Memo", "erste\tzweite"}, {"Bezeichnung", "C:\\Wartung"}}));
  r = Debitor();
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n  Memo = erste\\tzweite\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n  Bezeichnung = C:\\\\Wartung\n"), std::string::npos);
  EXPECT_EQ(Rows("kt_Vertraege").at(0)["Memo"], rt::Variant("erste\tzweite"));
}

TEST_F(KelhostCliOutput, AFailedWriteToStandardOutputIsAFailure) {
  struct Case {
    std::vector<std::string> args;
    bool closedPipe;
  };
  const std::vector<std::string> debitor = {"debitor", db_, "--contract", contract_, "--articles", articles_};
  const Case cases[] = {{{"show", db_, "Artikel"}, false},
                        {{"show", db_, "Artikel"}, true},
                        {debitor, false},
                        {debitor, true},
                        {{"version"}, false}};
  size_t contracts = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + (c.closedPipe ? " into a closed pipe" : " into /dev/full"));
    Launch l{c.args, c.closedPipe ? dir_.File("stdout.txt") : "/dev/full", dir_.File("stderr.txt"), ""};
    l.closedStdout = c.closedPipe;
    const Result r = RunKelhost(l);
    EXPECT_EQ(r.status, 1) << r.err;  // an exit of its own, not a signal
    EXPECT_NE(r.err.find("kelhost: cannot write to standard output"), std::string::npos) << r.err;
    // The contract itself was written: only its report was lost.
    if (c.args[0] == "debitor") {
      EXPECT_EQ(Rows("kt_Vertraege").size(), ++contracts);
    }
  }
}

}  // namespace
}  // namespace kelhost_test
