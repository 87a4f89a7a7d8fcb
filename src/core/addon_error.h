// Error reporting of the add-on: the reporter CAddonError and the four ways
// a trapped procedure reports an error.
//
// Every procedure that does real work traps errors (catches rt::Error) and
// reports in one fixed way:
//   reporter        ReportError: gAddonError->ShowErrText, then the
//                   procedure ends normally (a function returns false);
//   own message box ShowOwnErrorBox: "Fehler &H<hex>" CRLF "(<description>)"
//                   CRLF "in <sourceName><procedure>", OK only, no icon, no
//                   title of its own; then the procedure ends normally;
//   re-raise        rt::Reraise(e, sourceName + procedure);
//   none            errors ignored (the cent rounding).
// A source text is always the error-source name followed directly by the
// procedure text, e.g. "CKT" ".NewContract".
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "host/application.h"
#include "platform/error.h"

class CAddonError {
 public:
  // Creates the host's error-text object through the runtime's class
  // registry (host::kErrorTextsClass).
  CAddonError();

  // Shows one message box titled "Fehler in " & sSource, reading
  // "Fehler &H" & Hex(number) & " in " & err.source() & CRLF & the host's
  // text for the number, OK only with the exclamation icon (style 48).
  // When the host's text cannot be read, the error's own description is
  // shown in its place.
  void ShowErrText(std::string_view sSource, const rt::Error& err);

 private:
  std::shared_ptr<host::HostErrorTexts> errorTexts_;
};

// Reporter style: shows `err` through the process-wide reporter. While no
// CKT object lives there is no reporter, and the report itself fails with
// error 91 (object variable not set), which goes to the caller.
void ReportError(std::string_view source, const rt::Error& err);

// Own-message-box style (see above).
void ShowOwnErrorBox(std::string_view sourceName, std::string_view procedure, const rt::Error& err);
