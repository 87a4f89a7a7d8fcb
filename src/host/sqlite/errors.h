// The stand-in host's own error numbers and their German texts.
//
// The numbers lie in 0x80041001.. and so never collide with 0x80041096 (which
// the stand-in raises only through the fault switch), with 0x80040002 or with
// the add-on's 0x80045001..0x8004500A.
#pragma once

#include <cstdint>
#include <string>

#include "platform/error.h"

namespace host::sqlite {

namespace hosterr {
inline constexpr int32_t UnknownTable = static_cast<int32_t>(0x80041001u);
inline constexpr int32_t UnknownField = static_cast<int32_t>(0x80041002u);
inline constexpr int32_t UnknownIndex = static_cast<int32_t>(0x80041003u);
inline constexpr int32_t UnknownFormula = static_cast<int32_t>(0x80041004u);
inline constexpr int32_t NoCurrentRecord = static_cast<int32_t>(0x80041005u);
inline constexpr int32_t NotConvertible = static_cast<int32_t>(0x80041006u);
inline constexpr int32_t TextTooLong = static_cast<int32_t>(0x80041007u);
inline constexpr int32_t NoMasterRecord = static_cast<int32_t>(0x80041008u);
inline constexpr int32_t NoIndexSelected = static_cast<int32_t>(0x80041009u);
inline constexpr int32_t UnknownSetting = static_cast<int32_t>(0x8004100Au);
inline constexpr int32_t UnknownUser = static_cast<int32_t>(0x8004100Bu);
inline constexpr int32_t Storage = static_cast<int32_t>(0x8004100Cu);
inline constexpr int32_t InvalidArgument = static_cast<int32_t>(0x8004100Du);
// Another connection kept its write lock longer than the busy wait.
inline constexpr int32_t Busy = static_cast<int32_t>(0x8004100Eu);
// The file is not a database of the stand-in (see ProbeFile in file_probe.h).
inline constexpr int32_t NotOwnDatabase = static_cast<int32_t>(0x8004100Fu);
// The database's record counter cannot be trusted (see DamagedCounter).
inline constexpr int32_t Damaged = static_cast<int32_t>(0x80041010u);
// SQLite cannot read the database without writing, and this process may
// not write it (see ReadNeedsWrite).
inline constexpr int32_t NeedsWrite = static_cast<int32_t>(0x80041011u);
// The database file was moved away, renamed, deleted or replaced while a
// connection wrote it (see FileMoved).
inline constexpr int32_t Moved = static_cast<int32_t>(0x80041012u);
}  // namespace hosterr

// What is wrong with a database's record counter, the last record id handed
// out (LastOid in _kelhost_meta).
enum class CounterFault {
  Missing,       // the file has none
  NotWhole,      // it is not an SQLite integer (a real, a text, ...)
  BelowHighest,  // it is below the highest record id in the file, or negative
  AtLargest,     // it is the largest id there is: no further id can follow
};

// hosterr::Damaged, raised for a record counter that cannot be trusted:
// ids drawn from it would collide with records that exist, or overflow.
// It carries what was found, so that a tool can say so in its own words;
// its description is the host's German text.
class DamagedCounter : public rt::Error {
 public:
  // `found`: the counter as SQL writes it (quote()): 0, 3.5, 'abc'; "" when
  // Missing. `highest`: the highest record id in the file (0 when it holds
  // no records).
  DamagedCounter(std::string file, CounterFault fault, std::string found, int64_t highest);

  const std::string& file() const { return file_; }
  CounterFault fault() const { return fault_; }
  const std::string& found() const { return found_; }
  int64_t highest() const { return highest_; }

 private:
  std::string file_;
  CounterFault fault_;
  std::string found_;
  int64_t highest_;
};

// What SQLite would have to write before a reader that may not write the
// database, or its folder, could read it.
enum class WriteNeeded {
  // The database is in WAL mode, and SQLite reads it only through its
  // write-ahead log and the log's index ("-wal", "-shm"); they are not
  // there (no process has the database open), and such a reader does not
  // make them (see Db).
  LogIndex,
  // The same, where a process that ended left the log and its index in a
  // state that SQLite sets right (recovers) before it reads through them.
  LogRecovery,
  // A process ended during a transaction and left its journal ("-journal"):
  // SQLite rolls it back into the database before anyone reads it.
  Rollback,
};

// hosterr::NeedsWrite, raised for a reader that may not write when SQLite
// refuses a read that would need writing. Such a reader is never given
// the file as it stands instead: its owner may be writing it meanwhile.
// Its description is the host's German text.
class ReadNeedsWrite : public rt::Error {
 public:
  ReadNeedsWrite(std::string file, WriteNeeded need);

  const std::string& file() const { return file_; }
  WriteNeeded need() const { return need_; }

 private:
  std::string file_;
  WriteNeeded need_;
};

// hosterr::Moved, raised where a write transaction ends on a database file
// that is no longer at its name. SQLite goes on writing such a file through
// the descriptors it holds, but in WAL mode finds the log by the name, and
// would leave what it logged beside whatever file has the name by then.
// `committed` false: the transaction was rolled back, and nothing of it is
// anywhere. True: it committed just as the file moved, and stays in the
// log under the old name, which other connections kept from going into the
// moved file within the busy wait. Its description is the host's German
// text.
class FileMoved : public rt::Error {
 public:
  FileMoved(std::string file, bool committed);

  const std::string& file() const { return file_; }
  bool committed() const { return committed_; }

 private:
  std::string file_;
  bool committed_;
};

// The source of every error the stand-in raises.
inline constexpr const char* kErrorSource = "KelDbServer31";

// The German text of one of the numbers above; "" for any other number.
std::string OwnErrorText(int32_t number);

// The host's message text for any error number: the stand-in's own text, a
// run-time error's text, or a generic text.
std::string ErrorText(int32_t number);

// Raises rt::Error with the number, kErrorSource and the number's text,
// followed by ": " and `detail` when that is not empty.
[[noreturn]] void RaiseHost(int32_t number, const std::string& detail = {});

}  // namespace host::sqlite
