// The checks of the article lines and of the contract's first term.
#include <cmath>
#include <string>

#include "api/internal.h"
#include "api/mod_api.h"
#include "core/addon_error.h"
#include "core/globals.h"
#include "core/table_properties.h"
#include "core/tables.h"

namespace modAPI {

namespace {

using internal::ForEachLine;
using rt::Need;

}  // namespace

bool ArticlesExist() {
  CTableProperties state;
  try {
    // A table of its own: the run tables are opened only after the checks.
    const std::shared_ptr<host::DbTable> articles = kp::OpenTable("Artikel");
    state.Init(articles);
    state.Save();
    articles->ModeA(true, internal::kFlags);
    articles->ModeB(true, internal::kFlags);
    Need(articles->Indexes())->Select("Id", internal::kFlags);

    bool result = true;
    ForEachLine([&](const kt_CArticle& line) {
      bool found = false;
      articles->Seek(line.sArtikelID, internal::kFlags, &found);
      if (!found) result = false;
    });
    state.Restore(false);
    return result;
  } catch (...) {
    const rt::Error err = rt::CurrentError();
    internal::RestoreQuietly([&] { state.Restore(false); });
    ReportError(std::string(internal::kErrSource) + ".ArticlesExist", err);
    return false;
  }
}

bool CheckArtikelAnzahl() {
  return internal::Reraising(".CheckArtikelAnzahl", [] {
    bool result = true;
    ForEachLine([&](const kt_CArticle& line) {
      // An infinite quantity would be written to a position before the
      // contract value overflows; it is refused with the other bad ones.
      if (!(line.dblAnzahl > 0) || std::isinf(line.dblAnzahl)) result = false;
    });
    return result;
  });
}

bool CheckPreisdauer() {
  return internal::Reraising(".CheckPreisdauer", [] {
    bool result = true;
    ForEachLine([&](const kt_CArticle& line) {
      if (line.lPreisDauer < 1) result = false;
    });
    return result;
  });
}

bool CheckFirstDuration(int32_t duration) {
  return (duration >= 1 && duration <= 12) || duration == 24 || duration == 36 || duration == 48 ||
         duration == 60;
}

bool CheckFirstPeriods(int32_t duration, int32_t period) {
  return internal::Reraising(".CheckFirstPeriods", [&] { return rt::Mod(duration, period) == 0; });
}

}  // namespace modAPI
