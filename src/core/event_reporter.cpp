// Errors that escape a user's event in one of the add-on's dialogs (a
// handler without a trap of its own, such as the position dialog's
// cmdOk_Click) are shown as every other error of the add-on is: through the
// reporter, under the event's name ("Fehler in frmFEditDefPositions.
// cmdOk_Click"). Installed when the library is loaded. While no CKT object
// lives there is no reporter; the error is then only recorded by the
// boundary.
#include <string>

#include "core/addon_error.h"
#include "core/globals.h"
#include "platform/ui/event_boundary.h"

namespace {

void ReportEventError(const std::string& event, const rt::Error& err) {
  if (gAddonError) ReportError(event, err);
}

struct Registrar {
  Registrar() { ui::SetEventErrorReporter(&ReportEventError); }
  ~Registrar() { ui::SetEventErrorReporter({}); }
};
const Registrar registrar;

}  // namespace
