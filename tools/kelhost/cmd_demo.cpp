// kelhost demo [DB]: a first contract from scratch. Makes DB (default
// kelhost-demo.db in the working folder) anew with the sample data, as
// `init --sample` does, and in it a maintenance contract for the sample's
// current address, exactly as `kelhost debitor` would with the files below
// (today is the system date). Both are made in a temporary file first
// (new_database.h), which then takes the free name, or whose content
// replaces that of a kelhost database at DB through SQLite; any other file
// there, a link included, is refused and left alone, and so are the names
// and neighbours that CreateWholeDatabase refuses. Prints what debitor
// prints, which is what DB then holds, and a closing line on how to look at
// the database. When the contract is not written, DB stays as it was
// (exit 1).
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "host/sqlite/stand_in.h"
#include "kelhost/command.h"
#include "kelhost/console_ui.h"
#include "kelhost/debitor_call.h"
#include "kelhost/input_files.h"
#include "kelhost/new_database.h"
#include "kelhost/sample_types.h"

namespace kelhost {

namespace {

constexpr const char* kDefaultPath = "kelhost-demo.db";

// The demo's contract file.
constexpr const char* kContract =
    "lVertragArt = 1\n"
    "VertragBeginn = 01.01.2027\n"
    "VertragGeschlossenAm = 15.12.2026\n"
    "Bezeichnung = Wartungsvertrag\n"
    "Dauer = 12\n"
    "Zahlungsperiode = 3\n"
    "Verlaengerungsdauer = 12\n"
    "VerlaengerungsZahlungsperiode = 12\n"
    "dblRabatt = 10\n"
    "KuendFristInWochen = 6\n"
    "Memo =\n"
    "RabattNurErsteLaufzeit = false\n"
    "SetztMerkmalGruppe = Vertrag\n"
    "SetztMerkmal = Wartungsvertrag\n"
    "SetztWert = ja\n"
    "Auftragsnummer =\n";

// The demo's articles file: the two A1 lines have the same monthly price
// and merge into one position; A2 has a discount of its own, 0.
constexpr const char* kArticles =
    "sArtikelID;dblAnzahl;lPreisDauer;bSonderpreisVerwenden;dblPreis;sBeschreibung;bUseCustomDiscount;"
    "dblCustomDiscount;sAuftragsnummer;sGruppierung\n"
    "A1;1;12;false;0;;false;0;;\n"
    "A1;1;1;true;10;;false;0;;\n"
    "A2;2;1;false;0;;true;0;;\n";

// `path` as the sqlite3 shell takes it for the same file: the shell reads
// ":memory:" as its own in-memory database and a name beginning with
// "file:" as a URI, so such a name goes with "./" before it.
std::string ShellPath(const std::string& path) {
  if (path == ":memory:" || path.rfind("file:", 0) == 0) return "./" + path;
  return path;
}

// `path` as one shell word.
std::string ShellWord(const std::string& path) {
  bool plain = !path.empty();
  for (char c : path)
    plain = plain && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '.' || c == '_' || c == '-' || c == '/');
  if (plain && path[0] != '-') return path;
  std::string quoted = "'";
  for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

int RunDemo(const std::vector<std::string>& args) {
  if (args.size() > 1) return UsageError("demo", "too many arguments");
  if (args.size() == 1 && (args[0].empty() || args[0][0] == '-'))
    return UsageError("demo", args[0].empty() ? "DB is empty" : "unknown option " + args[0]);
  const std::string path = args.empty() ? kDefaultPath : args[0];

  host::sqlite::RegisterErrorTexts();
  std::shared_ptr<ContractData> contract = ParseContract("demo contract", kContract);
  std::shared_ptr<rt::Collection> articles = ParseArticles("demo articles", kArticles);
  // What the contract's call prints waits until DB holds it.
  std::ostringstream printed;
  const NewDatabase made =
      CreateWholeDatabase("demo", path, true,
                          [&](const std::string& file, const host::sqlite::NewFileOptions& options,
                              std::string& problem) {
        std::shared_ptr<host::sqlite::StandIn> host = CreateSampleDatabase(file, options, problem);
        if (!host) return host;
        InstallConsoleService();
        if (CallNewContractDebitor(*host, contract, articles, printed) != kExitOk) {
          problem = "the demo contract was not written";
          host.reset();
        }
        return host;
      });
  if (made.outcome != NewDatabase::Created) {
    PrintError("demo: " + made.problem);
    return made.outcome == NewDatabase::Refused ? kExitUsage : kExitFailed;
  }
  std::cout << printed.str();
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  std::cout << "The database is " << (ec ? path : absolute.string()) << "; look at it with: sqlite3 "
            << ShellWord(ShellPath(path)) << " 'SELECT * FROM \"kt_Vertraege\"'\n";
  return kExitOk;
}

}  // namespace

KELHOST_COMMAND({"demo",
                 "[DB]",
                 "create a sample database and a first contract in it (default kelhost-demo.db)",
                 {{"DB",
                   "the database file to make anew (default kelhost-demo.db); a kelhost database there is replaced"}},
                 RunDemo});

}  // namespace kelhost
