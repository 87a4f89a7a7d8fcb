// Helpers shared by the modAPI sources; not part of the module's interface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "core/globals.h"
#include "core/period_prices.h"
#include "core/records.h"
#include "core/tables.h"
#include "host/application.h"
#include "platform/error.h"
#include "platform/number.h"
#include "platform/object.h"
#include "platform/variant.h"

namespace modAPI::internal {

// Error-source name of the module.
inline constexpr const char* kErrSource = "modAPI";

// Flags handed to the host unchanged.
inline constexpr host::Flags kNoFlags = 0;
inline constexpr host::Flags kFlags = 256;

using rt::Need;

using kp::IsStandardPeriod;

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
// being handled, so it is dropped. An rt::Unrecoverable still goes on.
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
