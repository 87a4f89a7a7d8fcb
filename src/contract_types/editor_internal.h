// Helpers shared by the sources of frmFEditDefinitions; not part of its
// interface.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "platform/format.h"
#include "platform/ui/combo_box.h"

namespace editor {

// Error-source name of the editor.
inline constexpr const char* kErrSource = "kt_FEditDefinitions";

// The source of a procedure's reports: "kt_FEditDefinitions" & procedure.
inline std::string Source(const char* procedure) { return std::string(kErrSource) + procedure; }

// Flags handed to the host unchanged.
inline constexpr int32_t kFlags = 256;

// The columns of lvwPositionen: the item text, then the sub-items 1 .. 22.
// The names are the column headings ("Anz." and "G-Preis" without their
// dot and hyphen).
enum PositionColumn : int32_t {
  RecordOID = 0,
  Artikel,
  Anz,
  Nettopreis,
  GPreis,
  Artikelnummer,
  Artikelart,
  Einheit,
  USTSatz,
  Beschreibung,
  Erloeskonto,
  ArtikelID,
  PreisM1,
  PreisM3,
  PreisM6,
  PreisM12,
  PreisM24,
  PreisM36,
  PreisM48,
  PreisM60,
  Preis,
  PreisOhne,
  Gruppierung,
};
inline constexpr int32_t kPositionColumns = Gruppierung + 1;

// The kind words stored in ArtStr: 1 "verlängerbar", 2 "einmalig", 3
// "unbefristet"; "" for any other kind.
inline std::string ArtStrOf(int32_t art) {
  switch (art) {
    case 1:
      return "verlängerbar";
    case 2:
      return "einmalig";
    case 3:
      return "unbefristet";
    default:
      return "";
  }
}

// Entry i of a key array parallel to a combo; 9 outside the array (a combo
// with nothing selected gives -1).
inline const std::string& KeyAt(const std::vector<std::string>& keys, int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= keys.size()) rt::RaiseRuntime(rt::errc::SubscriptRange);
  return keys[static_cast<size_t>(i)];
}

// Selects the first entry whose ItemData is `data`; with none the
// selection stays.
inline void SelectByItemData(ui::ComboBox& combo, int32_t data) {
  for (int32_t i = 0; i < combo.ListCount(); ++i) {
    if (combo.ItemData(i) == data) {
      combo.SetListIndex(i);
      return;
    }
  }
}

inline std::string Fixed(double value) { return rt::FormatNumber(value, "Fixed"); }

// A duration (txtDauer, txtDauer2) in months: digits only, a whole number
// from 0 to 2147483647; leading zeros do not count ("00000000012" is 12).
// Anything else (empty, a sign, a blank, a fraction, too large) is no
// duration. Every reader of a duration field goes through this.
inline std::optional<int32_t> ParseDuration(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

// The same where no duration means a failure: raises 13, as converting an
// empty text does, for anything that is no duration.
inline int32_t DurationOf(std::string_view text) {
  const std::optional<int32_t> months = ParseDuration(text);
  if (!months) rt::RaiseRuntime(rt::errc::TypeMismatch);
  return *months;
}

// Sets a flag for a stretch of code and puts back its earlier value on
// every way out, an error included.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), saved_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = saved_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;
  // Puts the earlier value back now.
  void End() { flag_ = saved_; }

 private:
  bool& flag_;
  bool saved_;
};

}  // namespace editor
