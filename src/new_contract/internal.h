// Names and values shared by the sources of the new-contract dialog; not
// part of its interface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/tables.h"
#include "host/table.h"
#include "platform/variant.h"

namespace new_contract {

// Error-source name of the dialog in its own error box.
inline constexpr const char* kErrSource = "kt_FNewContract";
// Title of the dialog's messages and questions.
inline constexpr const char* kTitle = "Kelmaris Paktor";

// Flags handed to the host unchanged.
inline constexpr host::Flags kNoFlags = 0;
inline constexpr host::Flags kFlags = 256;

inline constexpr const char* kReceivable = "D";
inline constexpr const char* kPayable = "K";
inline constexpr int32_t kRenewable = 1;
inline constexpr int32_t kOpenEnded = 3;

// A check box's value when ticked.
inline constexpr int16_t kTicked = 1;

// A field of the table's current record, converted by the standard rules.
inline std::string Text(const std::shared_ptr<host::DbTable>& table, const char* field) {
  return rt::CStr(kp::FieldValue(table, field));
}
inline int32_t Long(const std::shared_ptr<host::DbTable>& table, const char* field) {
  return rt::CLng(kp::FieldValue(table, field));
}
inline double Number(const std::shared_ptr<host::DbTable>& table, const char* field) {
  return rt::CDbl(kp::FieldValue(table, field));
}

}  // namespace new_contract
