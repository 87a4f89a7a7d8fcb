// kelhost init DB [--sample]: creates a new host database file with the
// schema and, with --sample, the sample data (in one transaction) and the
// sample contract types, entered through the add-on's editor
// (sample_types.h); the file appears whole or not at all
// (new_database.h). An existing file, a link included, is refused and
// left untouched (exit 2), and so are the names and neighbours that
// CreateWholeDatabase refuses. Prints nothing; when a sample type cannot
// be entered, or the folder or the system stands in the way, no file is
// made and init fails (exit 1).
#include "host/sqlite/stand_in.h"
#include "kelhost/command.h"
#include "kelhost/new_database.h"
#include "kelhost/sample_types.h"

namespace kelhost {

namespace {

int RunInit(const std::vector<std::string>& args) {
  std::string path;
  bool sample = false;
  for (const std::string& a : args) {
    if (a == "--sample") {
      sample = true;
    } else if (!a.empty() && a[0] == '-') {
      return UsageError("init", "unknown option " + a);
    } else if (path.empty()) {
      path = a;
    } else {
      return UsageError("init", "too many arguments");
    }
  }
  if (path.empty()) return UsageError("init", "DB is missing");
  if (sample) host::sqlite::RegisterErrorTexts();
  const NewDatabase made = CreateWholeDatabase(
      "init", path, false,
      [sample](const std::string& file, const host::sqlite::NewFileOptions& options, std::string& problem) {
        return sample ? CreateSampleDatabase(file, options, problem)
                      : host::sqlite::StandIn::Create(file, false, options);
      });
  if (made.outcome == NewDatabase::Created) return kExitOk;
  PrintError("init: " + made.problem);
  return made.outcome == NewDatabase::Refused ? kExitUsage : kExitFailed;
}

}  // namespace

KELHOST_COMMAND({"init",
                 "DB [--sample]",
                 "create a new host database (with --sample: the sample data)",
                 {{"DB", "the database file to make; a file of that name is refused"},
                  {"--sample", "with addresses, articles, users, attributes, workflows and four contract types"}},
                 RunInit});

}  // namespace kelhost
