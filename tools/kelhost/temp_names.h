// The temporary files that init and demo build a database in, and how long
// a database's name may be.
//
// A temporary file lies in the database's folder, named
// "<stem>.kelhost-tmp-" and six letters or digits, where the stem is the
// database's file name, cut short where the temporary file's name or full
// path would be too long for the file system or for SQLite. SQLite's
// "-wal", "-shm" and "-journal" files lie beside it while it is built.
#pragma once

#include <cstddef>
#include <string>

namespace kelhost {

inline constexpr const char* kTempMark = ".kelhost-tmp-";

// True when the file name `entry` is one of the temporary files of a
// database whose name begins with `stem`, alone or with a log file's
// suffix.
bool IsTempFileOf(const std::string& stem, const std::string& entry);

// True when the file name `entry` is a temporary file of any database
// name, which a later run would remove as a leftover.
bool IsAnyTempFile(const std::string& entry);

// A new temporary file name for `stem` (the letters are random).
std::string NewTempName(const std::string& stem);

// Whether the database file `name`, in the folder whose full path (links
// resolved) is `realFolder` and whose file names may have `nameMax`
// bytes, can be made and opened, and the stem of its temporary files.
struct NameRoom {
  std::string stem;     // what of the name the temporary file's name keeps
  std::string tooLong;  // "" when it fits, else why not, after the database's name ("is too long: ...")
};
NameRoom RoomFor(const std::string& name, const std::string& realFolder, size_t nameMax);

}  // namespace kelhost
