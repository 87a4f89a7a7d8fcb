// kelhost init DB [--sample]: creates a new host database file with the
// schema and, with --sample, the sample data (in one transaction) and the
// sample contract types, entered through the add-on's editor
// (sample_types.h); the file appears whole or not at all
// (CreateWholeDatabase). An existing file, a link included, is refused and
// left untouched (exit 2), and so are a name like kelhost's temporary files
// and a missing DB with a -wal, -shm or -journal file beside it. Prints nothing; when a sample type cannot be
// entered, no file is made and init fails (exit 1).
#include <filesystem>

#include "host/sqlite/stand_in.h"
#include "kelhost/command.h"
#include "kelhost/database.h"
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
      PrintError("init: unknown option " + a);
      return kExitUsage;
    } else if (path.empty()) {
      path = a;
    } else {
      PrintError("init: too many arguments");
      return kExitUsage;
    }
  }
  if (path.empty()) {
    PrintError("usage: kelhost init DB [--sample]");
    return kExitUsage;
  }
  std::error_code ec;
  if (std::filesystem::exists(path, ec) || std::filesystem::is_symlink(path, ec)) {
    PrintError("init: " + path + " exists already");
    return kExitUsage;
  }
  if (sample) host::sqlite::RegisterErrorTexts();
  const NewDatabase made = CreateWholeDatabase(path, false, [sample](const std::string& file, std::string& problem) {
    return sample ? CreateSampleDatabase(file, problem) : host::sqlite::StandIn::Create(file, false);
  });
  switch (made.outcome) {
    case NewDatabase::Created:
      return kExitOk;
    case NewDatabase::Taken:
      PrintError("init: " + path + " " + made.problem);
      return kExitUsage;
    case NewDatabase::Refused:
      PrintError("init: " + made.problem);
      return kExitUsage;
    case NewDatabase::Failed:
      break;
  }
  PrintError("init: " + made.problem + "; " + path + " was not created");
  return kExitFailed;
}

}  // namespace

KELHOST_COMMAND({"init", "DB [--sample]", "create a new host database (with --sample: the sample data)",
                 RunInit});

}  // namespace kelhost
