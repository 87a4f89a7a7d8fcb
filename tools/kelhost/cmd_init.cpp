// kelhost init DB [--sample]: creates a new host database file with the
// schema and, with --sample, the sample data (in one transaction) and the
// sample contract types, entered through the add-on's editor
// (sample_types.h). An existing file is refused and left untouched (exit
// 2). Prints nothing; when a sample type cannot be entered, the file is
// removed and init fails (exit 1).
#include <filesystem>

#include "host/sqlite/stand_in.h"
#include "kelhost/command.h"
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
  if (!sample) {
    host::sqlite::StandIn::Create(path, false);
    return kExitOk;
  }
  host::sqlite::RegisterErrorTexts();
  std::string problem;
  if (!CreateSampleDatabase(path, problem)) {
    PrintError("init: " + problem + "; " + path + " was removed");
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

KELHOST_COMMAND({"init", "DB [--sample]", "create a new host database (with --sample: the sample data)",
                 RunInit});

}  // namespace kelhost
