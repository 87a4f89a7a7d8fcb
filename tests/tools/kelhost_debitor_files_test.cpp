// kelhost debitor: reading the contract file and the articles file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "debitor_fixture.h"

namespace kelhost_test {
namespace {

class KelhostCliDebitorFiles : public DebitorTest {
 protected:
  // Runs debitor and expects a malformed-file refusal naming `file` and
  // `line` (0: no line), with nothing written and nothing on stdout.
  void ExpectMalformed(const std::string& file, int line, const std::string& why) {
    SCOPED_TRACE(why);
    const std::string before = ReadFile(db_);
    Result r = Debitor();
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string where = line > 0 ? file + ", line " + std::to_string(line) + ":" : file + ":";
    EXPECT_NE(r.err.find(where), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(db_), before);
  }
};

TEST_F(KelhostCliDebitorFiles, MalformedContractLinesAreRefusedWithFileAndLine) {
  struct Case {
    std::string name;  // the property whose line is replaced
    std::string line;
  };
  const std::vector<Case> cases = {
      {"Memo", "Notiz = x"},                         // unknown name
      {"Memo", "Memo x"},                            // no "="
      {"Memo", "= x"},                               // no name
      {"Dauer", "Dauer = 12a"},                      // whole numbers: digits only
      {"Dauer", "Dauer = 1,5"},
      {"Dauer", "Dauer = +12"},
      {"Dauer", "Dauer = 99999999999"},              // beyond 32 bits
      {"Dauer", "Dauer = 2147483648"},
      {"Dauer", "Dauer = -2147483649"},
      {"Memo", std::string("Memo = a") + '\0' + "b"},  // a NUL byte
      {"Dauer", "Dauer = - 12"},
      {"dblRabatt", "dblRabatt = 10.5"},             // decimal comma only
      {"dblRabatt", "dblRabatt = 10,"},
      {"dblRabatt", "dblRabatt = ,5"},
      {"dblRabatt", "dblRabatt = 1e3"},
      {"VertragBeginn", "VertragBeginn = 31.04.2024"},  // no such day
      {"VertragBeginn", "VertragBeginn = 29.02.2023"},
      {"VertragBeginn", "VertragBeginn = 2024-01-01"},
      {"VertragBeginn", "VertragBeginn = 1.1.24"},
      {"VertragBeginn", "VertragBeginn = 001.01.2024"},
      {"RabattNurErsteLaufzeit", "RabattNurErsteLaufzeit = ja"},
      {"RabattNurErsteLaufzeit", "RabattNurErsteLaufzeit = 1"},
  };
  for (const Case& c : cases) {
    WriteFile(contract_, ContractWith(c.name, c.line));
    ExpectMalformed(contract_, ContractLine(c.name), c.line);
  }
  // A name given twice, in another letter case the second time: the second
  // line is the bad one.
  WriteFile(contract_, ContractWith("Auftragsnummer", "Auftragsnummer = 1\nAUFTRAGSNUMMER = 2"));
  ExpectMalformed(contract_, ContractLine("Auftragsnummer") + 1, "repeated name");
  // A missing file, and a folder, which opens but does not read.
  const std::string valid = contract_;
  contract_ = dir_.File("fehlt.txt");
  ExpectMalformed(contract_, 0, "missing file");
  contract_ = dir_.path();
  ExpectMalformed(contract_, 0, "folder");
  contract_ = valid;
  WriteFile(contract_, ContractWith());
  articles_ = dir_.path();
  ExpectMalformed(articles_, 0, "folder");
}

TEST_F(KelhostCliDebitorFiles, MalformedArticleLinesAreRefusedWithFileAndLine) {
  struct Case {
    std::string text;
    int line;
    std::string why;
  };
  const std::vector<Case> cases = {
      {"sArtikelID;dblAnzahl;lPreisDauer\nA1;1;12;\n", 2, "trailing ; adds a field"},
      {"sArtikelID;dblAnzahl;lPreisDauer\nA1;1\n", 2, "too few fields"},
      {"sArtikelID;Menge\nA1;1\n", 1, "unknown header name"},
      {"sArtikelID;dblAnzahl;\nA1;1;\n", 1, "empty header name"},
      {"sArtikelID;SARTIKELID\nA1;A2\n", 1, "header name twice"},
      {"\n\nsArtikelID;dblAnzahl\nA1;1\n\nA2;x\n", 6, "bad number after empty lines"},
      {"sArtikelID;dblAnzahl\nA1;1.5\n", 2, "decimal point"},
      {"sArtikelID;lPreisDauer\nA1;12,0\n", 2, "decimal in a whole number"},
      {"sArtikelID;bUseCustomDiscount\nA1;wahr\n", 2, "bad Boolean"},
      {"sArtikelID;dblAnzahl\nA1; 1\n", 2, "fields are taken as they stand"},
      {"sArtikelID\nA\xff" "1\n", 2, "not UTF-8"},
      {std::string("sArtikelID;sBeschreibung\nA1;x") + '\0' + "y\n", 2, "a NUL byte"},
      {"", 0, "no header"},
      {"\r\n\r\n", 0, "only empty lines"},
  };
  for (const Case& c : cases) {
    WriteFile(articles_, c.text);
    ExpectMalformed(articles_, c.line, c.why);
  }
}

TEST_F(KelhostCliDebitorFiles, FilesThatAreNotRegularOrTooLargeAreRefusedUnread) {
  // A device that never ends, a pipe nobody writes to, and a file one byte
  // above 64 MiB (sparse, so it costs no disk).
  const std::string big = dir_.File("gross.csv");
  WriteFile(big, "");
  ASSERT_EQ(::truncate(big.c_str(), (int64_t{64} << 20) + 1), 0);
  const std::string pipe = dir_.File("pipe.csv");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& file : {std::string("/dev/zero"), pipe, big}) {
    articles_ = file;
    ExpectMalformed(file, 0, file);
  }
  articles_ = big;
  EXPECT_NE(Debitor().err.find(big + ": is larger than 64 MiB"), std::string::npos);
  contract_ = "/dev/zero";
  EXPECT_NE(Debitor().err.find("/dev/zero: is not a regular file"), std::string::npos);
}

TEST_F(KelhostCliDebitorFiles, WholeNumbersReachTheAddonAtThe32BitEdges) {
  // Read as they are and handed over; the add-on's own checks answer.
  struct Case {
    std::map<std::string, std::string> values;
    const char* error;
  };
  const Case cases[] = {
      {{{"lVertragArt", "-2147483648"}}, "Fehler &H80045004 in modAPI\n"},
      {{{"Dauer", "2147483647"}}, "Fehler &H80045005 in modAPI\n"},
      {{{"Dauer", "-2147483648"}}, "Fehler &H80045005 in modAPI\n"},
  };
  for (const Case& c : cases) {
    WriteFile(contract_, ContractWithValues(c.values));
    Result r = Debitor();
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err.rfind(c.error, 0), 0u) << r.err;
  }
  WriteFile(contract_, ContractWith());
  WriteFile(articles_, "sArtikelID;dblAnzahl;lPreisDauer\nA1;1;-2147483648\n");
  Result r = Debitor();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("Fehler &H80045003 in modAPI\n", 0), 0u) << r.err;
  EXPECT_TRUE(Rows("kt_Vertraege").empty());
}

TEST_F(KelhostCliDebitorFiles, AcceptsBomCrLfCommentsAnyCaseAndEmptyValues) {
  WriteFile(contract_,
            "\xEF\xBB\xBF# Wartung für Muster\r\n"
            "\r\n"
            "  LVERTRAGART\t=  2 \r\n"
            "vertragbeginn = 1.1.2024\r\n"
            "VertragGeschlossenAm = 30.12.1899\r\n"
            "Bezeichnung =  Wartung  Plus \r\n"
            "   # indented comment\r\n"
            "Dauer = 12\r\nZahlungsperiode = 12\r\nVerlaengerungsdauer =\r\nVerlaengerungsZahlungsperiode =\r\n"
            "dblRabatt = 10\r\nKuendFristInWochen = -0\r\nMemo = a = b\r\nRabattNurErsteLaufzeit = TRUE\r\n"
            "SetztMerkmalGruppe =\r\nSetztMerkmal =\r\nSetztWert =\r\nAuftragsnummer = 4711");
  // Header in another order and case; the A2 line leaves four fields empty,
  // which keep the new article's values (own description, no discount of
  // its own, so the contract's 10 %).
  WriteFile(articles_,
            "\xEF\xBB\xBFLPREISDAUER;sartikelid;dblAnzahl;sBeschreibung;bUseCustomDiscount;dblCustomDiscount\r\n"
            "12;A1;1,5; Sonder ;TRUE;12,5\r\n"
            "\r\n"
            "1;A2;2;;;\r\n");
  Result r = Debitor();
  ASSERT_EQ(r.status, 0) << r.err;

  const host::sqlite::Row contract = Rows("kt_Vertraege").at(0);
  EXPECT_EQ(contract["Bezeichnung"], rt::Variant("Wartung  Plus"));
  EXPECT_EQ(contract["Memo"], rt::Variant("a = b"));  // split at the first "="
  EXPECT_EQ(contract["RabattNurErsteLaufzeit"], rt::Variant(true));
  EXPECT_EQ(contract["Auftragsnummer"], rt::Variant("4711"));
  EXPECT_EQ(rt::CStr(contract["VertragBeginn"]), "01.01.2024");
  // 30.12.1899 is date 0: not concluded, so an open reminder was written.
  EXPECT_EQ(Rows("kt_VertragsAktivitaeten").size(), 2u);

  const std::vector<host::sqlite::Row> positions = Rows("kt_Vertragspositionen");
  ASSERT_EQ(positions.size(), 2u);
  EXPECT_EQ(positions[0]["Beschreibung"], rt::Variant(" Sonder "));
  EXPECT_EQ(positions[0]["Anzahl"], rt::Variant(1.5));
  EXPECT_EQ(positions[0]["Rabattprozent"], rt::Variant(12.5));
  EXPECT_EQ(positions[0]["Nettopreis"], rt::Variant(105.0));  // 120 less 12,5 %
  EXPECT_EQ(positions[1]["Beschreibung"], rt::Variant("Telefonsupport"));
  EXPECT_EQ(positions[1]["Rabattprozent"], rt::Variant(10.0));
  EXPECT_EQ(positions[1]["Nettopreis"], rt::Variant(540.0));  // 12 x 50 less 10 %
}

TEST_F(KelhostCliDebitorFiles, EmptyFieldsAndHeaderOnlyFilesKeepTheArticleDefaults) {
  // An empty price duration stays 0, which the add-on refuses.
  WriteFile(articles_, "sArtikelID;lPreisDauer;dblAnzahl\nA1;;1\n");
  Result r = Debitor();
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Fehler &H80045003 in modAPI\n"), std::string::npos) << r.err;

  // A header without data lines is an empty collection: the contract is
  // written without positions.
  WriteFile(articles_, "sArtikelID;dblAnzahl\n");
  r = Debitor();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Rows("kt_Vertraege").size(), 1u);
  EXPECT_EQ(Rows("kt_Vertragspositionen").size(), 0u);
}

}  // namespace
}  // namespace kelhost_test
