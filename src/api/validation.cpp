// The checks of the article lines and of the contract's first term.
#include <string>

#include "api/internal.h"
#include "api/mod_api.h"
#include "core/addon_error.h"
#include "core/globals.h"
#include "core/records.h"
#include "core/table_properties.h"
#include "platform/number.h"
#include "platform/object.h"

namespace modAPI {

namespace {

using rt::Need;

// Visits every line of gColArt in order with the module's 16-bit line
// counter: a collection of 32767 lines or more overflows it (error 6). An
// item that is not a kt_CArticle raises 13, a missing collection 91.
template <class F>
void ForEachLine(F&& visit) {
  const std::shared_ptr<rt::Collection> lines = Need(gColArt);
  rt::For16(1, lines->Count(), [&](int16_t i) {
    const std::shared_ptr<kt_CArticle> line = rt::CastObject<kt_CArticle>(lines->Item(i));
    visit(*line);
  });
}

}  // namespace

bool ArticlesExist() {
  CTableProperties state;
  try {
    // A table of its own, so that the run's gArtikel is not moved.
    const std::shared_ptr<host::DbTable> articles = internal::OpenTable("Artikel");
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
      if (!(line.dblAnzahl > 0)) result = false;
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
  return internal::Reraising(".CheckFirstDuration", [&] {
    return (duration >= 1 && duration <= 12) || duration == 24 || duration == 36 || duration == 48 ||
           duration == 60;
  });
}

bool CheckFirstPeriods(int32_t duration, int32_t period) {
  return internal::Reraising(".CheckFirstPeriods", [&] { return rt::Mod(duration, period) == 0; });
}

}  // namespace modAPI
