// Helpers shared by the modAPI sources; not part of the module's interface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "core/globals.h"
#include "host/application.h"
#include "platform/error.h"
#include "platform/object.h"
#include "platform/variant.h"

namespace modAPI::internal {

// Error-source name of the module.
inline constexpr const char* kErrSource = "modAPI";

// Flags handed to the host unchanged.
inline constexpr host::Flags kNoFlags = 0;
inline constexpr host::Flags kFlags = 256;

using rt::Need;

// The payment periods of the standard list: 1, 3, 6, 12, 24, 36, 48 and
// 60 months.
inline bool IsStandardPeriod(int32_t months) {
  return months == 1 || months == 3 || months == 6 || months == 12 || months == 24 || months == 36 ||
         months == 48 || months == 60;
}

// A new table object on the named table, through a fresh connection.
inline std::shared_ptr<host::DbTable> OpenTable(const std::string& name) {
  return Need(Need(Need(gDB)->Connection())->Table(name));
}

// Puts one field of the table's current or prepared record.
inline void Put(const std::shared_ptr<host::DbFields>& fields, const std::string& name,
                const rt::Variant& value) {
  Need(Need(fields)->Item(name))->SetValue(value);
}

// Starts a new record in `table` from the host's default values.
inline void PrepareNew(const std::shared_ptr<host::DbTable>& table) {
  rt::Variant values;
  table->NewValues(kNoFlags, &values);
  table->SetValues(values);
}

// Runs `body`; any error it raises is raised again with the same number and
// description and the source "modAPI" & `procedure`.
template <class F>
auto Reraising(const char* procedure, F&& body) -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    rt::Reraise(rt::CurrentError(), std::string(kErrSource) + procedure);
  }
}

// Runs `restore` after an error: its own failure must not hide the error
// being handled, so it is dropped (a broken test script still goes on).
template <class F>
void RestoreQuietly(F&& restore) {
  try {
    restore();
  } catch (const rt::Unrecoverable&) {
    throw;
  } catch (...) {
  }
}

}  // namespace modAPI::internal
