#include "kelhost/debitor_call.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>

#include "core/ckt.h"
#include "core/class_factory.h"
#include "kelhost/command.h"
#include "kelhost/host_call.h"
#include "platform/error.h"
#include "platform/object.h"
#include "platform/variant.h"

namespace kelhost {

namespace {

// The first line of the add-on's error for article lines whose article is
// not in Artikel. The error is told by this text, which the add-on keeps
// byte for byte; its number is the add-on's own and shared with no caller.
constexpr std::string_view kArticlesMissing = "Es wurden nicht alle Artikel gefunden.";

bool ReportsMissingArticles(const rt::Error& e) {
  const std::string& text = e.description();
  return text.compare(0, kArticlesMissing.size(), kArticlesMissing) == 0 &&
         (text.size() == kArticlesMissing.size() || text[kArticlesMissing.size()] == '\r');
}

}  // namespace

std::vector<std::string> MissingArticleIds(host::sqlite::StandIn& host, const rt::Collection& articles) {
  std::vector<std::string> missing;
  try {
    const std::shared_ptr<host::DbTable> table =
        rt::Need(rt::Need(rt::Need(host.Application()->Database())->Connection())->Table("Artikel"));
    rt::Need(table->Indexes())->Select("Id", 0);
    for (int32_t i = 1; i <= articles.Count(); ++i) {
      const std::string id = rt::CStr(rt::Need(articles.Item(i).AsObject())->Get("sArtikelID"));
      if (std::find(missing.begin(), missing.end(), id) == missing.end() && !table->Seek(id, 0)) missing.push_back(id);
    }
  } catch (const rt::Error&) {
    return {};
  }
  return missing;
}

int CallNewContractDebitor(host::sqlite::StandIn& host, const rt::ObjectPtr& contract,
                           const std::shared_ptr<rt::Collection>& articles, std::ostream& out,
                           std::vector<std::string>* missingArticles) {
  auto ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
  if (!ckt) rt::RaiseRuntime(rt::errc::CannotCreateObject);
  std::shared_ptr<host::HostApplication> app = host.Application();
  const HostCall call = RunHostCall(host, [&] {
    try {
      ckt->NewContractDebitor(app, contract, articles);
    } catch (const rt::Error& e) {
      if (missingArticles && articles && ReportsMissingArticles(e))
        *missingArticles = MissingArticleIds(host, *articles);
      throw;
    }
  });
  ckt.reset();
  if (!call.ran()) return call.refused;

  const bool contractWritten = PrintCallRecords(out, call.written);
  out << std::flush;

  if (call.raised) return kExitFailed;
  if (!contractWritten) {
    PrintError("no contract was written");
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace kelhost
