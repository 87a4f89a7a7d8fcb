// The one call kelhost makes to have a contract created without a dialog:
// CKT.NewContractDebitor on a CKT created through the add-on's class
// factory, as a host program does it.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "host/sqlite/stand_in.h"
#include "platform/object.h"

namespace kelhost {

// Calls CKT.NewContractDebitor(host's application, contract, articles) once,
// as one host call (RunHostCall), and reports on it:
//  - an error raised by the add-on goes to standard error (PrintAddonError);
//  - `out` receives "Vertragnummer <number>" when a contract was written,
//    then every record the call wrote (PrintRecords);
//  - when the add-on found articles missing ("Es wurden nicht alle Artikel
//    gefunden."), `missingArticles`, if given, receives MissingArticleIds,
//    looked up in the same host call, so in the records the add-on saw.
// Returns kExitOk when the call raised nothing and wrote a contract, else
// kExitFailed; when the host refused the call (nothing was called), the
// status RunUnlessRefused gives. Message boxes go wherever the installed UI
// service sends them.
int CallNewContractDebitor(host::sqlite::StandIn& host, const rt::ObjectPtr& contract,
                           const std::shared_ptr<rt::Collection>& articles, std::ostream& out,
                           std::vector<std::string>* missingArticles = nullptr);

// The sArtikelID of each article line in `articles` that Artikel lacks,
// found as the add-on finds them: a Seek of the whole ID in Artikel's index
// "Id" through the host, which ignores letter case and counts every blank.
// Each ID once, as its first line spells it, in the order of the lines.
// Empty when the lookup itself fails.
std::vector<std::string> MissingArticleIds(host::sqlite::StandIn& host, const rt::Collection& articles);

}  // namespace kelhost
