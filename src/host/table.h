// The host's tables: a table object is a cursor on one current record of a
// host table, opened by name through DbConnection::Table.
//
// What the add-on relies on:
//  - every table object opened on one table name shares that table's
//    current record, current index, flags and pending edit;
//  - a detail table shows, and takes new records under, the current record
//    of its master (Adressen > kt_Vertraege > kt_Vertragsstaende >
//    kt_Vertragspositionen, ...); the add-on writes no key field for it;
//  - a record stored with Insert becomes the current record, and Oid() is
//    then its id; puts on the current record followed by Update change it,
//    with or without BeginEdit;
//  - Eof() is true when there is no current record; Oid() is then "".
//
// Flags (0, 256, 768) are passed through from the callers unchanged.
// A failing call raises rt::Error with the host's (negative) number.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/variant.h"

namespace host {

using Flags = int32_t;

class DbTable;
class DbFields;
class HostSettings;

class DbField {
 public:
  virtual ~DbField() = default;
  // The field's value on the current (or prepared) record, typed as stored;
  // at end of file the type's empty value ("", 0, false, date 0, Nothing).
  virtual rt::Variant Value() = 0;
  // Converts the value to the field's type (German locale for text into
  // numbers) or raises.
  virtual void SetValue(const rt::Variant& value) = 0;
  virtual std::string Name() = 0;
  virtual int32_t Size() = 0;  // width of a text field in characters
  virtual std::shared_ptr<DbFields> Parent() = 0;
};

class DbFields {
 public:
  virtual ~DbFields() = default;
  // By name, without regard to letter case.
  virtual std::shared_ptr<DbField> Item(std::string_view name) = 0;
  virtual bool Exists(std::string_view name) = 0;
  virtual std::shared_ptr<DbTable> Parent() = 0;

  // Item(name) followed by the field's SetValue or Value, in one call: the
  // put and the read by name that every writer and reader makes. A host
  // may answer them without handing out a field object, but must fail
  // where the two calls would, in their order.
  virtual void PutValue(std::string_view name, const rt::Variant& value) {
    const std::shared_ptr<DbField> field = Item(name);
    if (!field) rt::RaiseRuntime(rt::errc::ObjectNotSet);
    field->SetValue(value);
  }
  virtual rt::Variant ValueOf(std::string_view name) {
    const std::shared_ptr<DbField> field = Item(name);
    if (!field) rt::RaiseRuntime(rt::errc::ObjectNotSet);
    return field->Value();
  }
};

class DbIndex {
 public:
  virtual ~DbIndex() = default;
  virtual std::string Name() = 0;  // "" for the natural order
  // The key of the current record in this index (upper-cased key fields
  // joined without separator); "" at end of file.
  virtual std::string KeyValue() = 0;
};

class DbIndexes {
 public:
  virtual ~DbIndexes() = default;
  // Makes the named index current ("" = natural order); an unknown name
  // raises. Keeps the current record when it lies in the new view.
  virtual void Select(const std::string& name, Flags flags) = 0;
  virtual void Select(const std::shared_ptr<DbIndex>& index, Flags flags) = 0;
  virtual std::shared_ptr<DbIndex> Current() = 0;  // never null
  virtual void SetCurrent(const std::shared_ptr<DbIndex>& index) = 0;
  virtual void Reset(Flags flags) = 0;  // back to the natural order
};

class DbTable {
 public:
  virtual ~DbTable() = default;

  virtual std::shared_ptr<DbFields> Fields() = 0;
  virtual std::shared_ptr<DbIndexes> Indexes() = 0;
  virtual std::string Name() = 0;
  virtual bool Eof() = 0;  // the host's EOF

  virtual void MoveFirst(Flags flags) = 0;
  virtual void Move(int32_t n, Flags flags) = 0;
  // Seek and FindKey look the whole key up in the current index and land on
  // the first match; on a miss the current record stays. The result is the
  // found flag, also stored through `found` when given.
  virtual bool Seek(const std::string& key, Flags flags, bool* found = nullptr) = 0;
  virtual bool FindKey(const std::string& key, Flags flags, bool* found = nullptr) = 0;
  virtual bool GotoOid(const std::string& oid, Flags flags, bool* found = nullptr) = 0;
  virtual std::string Oid() = 0;
  virtual void SelectOid(const std::string& oid) = 0;

  // The default values of a new record, one per field (also stored through
  // `values` when given); SetValues starts a new record from them.
  virtual rt::Variant NewValues(Flags flags, rt::Variant* values = nullptr) = 0;
  virtual void SetValues(const rt::Variant& values) = 0;
  virtual void Insert(Flags flags) = 0;
  virtual void BeginEdit() = 0;
  virtual void Update(Flags flags) = 0;
  virtual void Delete(Flags flags) = 0;

  virtual std::shared_ptr<HostSettings> Settings() = 0;
  virtual int32_t SelectionCount() = 0;  // records in the current view
  virtual void Reset() = 0;              // leaves the current record
  virtual std::shared_ptr<DbFields> Record() = 0;  // fields of the current record

  virtual int16_t FlagA() = 0;
  virtual void SetFlagA(int16_t value) = 0;
  virtual int16_t FlagB() = 0;
  virtual void SetFlagB(int16_t value) = 0;
  virtual void ModeA(bool on, Flags flags) = 0;
  virtual void ModeB(bool on, Flags flags) = 0;
};

}  // namespace host
