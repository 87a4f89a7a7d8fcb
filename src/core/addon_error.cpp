#include "core/addon_error.h"

#include <string>

#include "core/globals.h"
#include "platform/object.h"
#include "platform/text.h"
#include "platform/ui/service.h"

CAddonError::CAddonError() {
  rt::ObjectPtr texts = rt::CreateObject(host::kErrorTextsClass);
  errorTexts_ = std::dynamic_pointer_cast<host::HostErrorTexts>(texts);
  if (!errorTexts_) rt::RaiseRuntime(rt::errc::TypeMismatch);
}

void CAddonError::ShowErrText(std::string_view sSource, const rt::Error& err) {
  std::string title = "Fehler in ";
  title += sSource;

  // A reporter must not fail while it reports: when the host cannot give
  // its text for the number, the error's own description stands in.
  std::string hostText;
  try {
    hostText = errorTexts_->Text(err.number());
  } catch (...) {
    hostText = err.description();
  }

  std::string message = "Fehler &H" + rt::Hex(err.number()) + " in " + err.source();
  message += rt::kCrLf;
  message += hostText;
  ui::MsgBox(message, ui::mb::OkOnly + ui::mb::IconExclamation, title);
}

void ReportError(std::string_view source, const rt::Error& err) {
  // Held for the call: the box runs the message loop, and the reporter must
  // outlive it even if the last CKT object ends meanwhile.
  std::shared_ptr<CAddonError> reporter = gAddonError;
  if (!reporter) rt::RaiseRuntime(rt::errc::ObjectNotSet);
  reporter->ShowErrText(source, err);
}

void ShowOwnErrorBox(std::string_view sourceName, std::string_view procedure, const rt::Error& err) {
  std::string message = "Fehler &H" + rt::Hex(err.number());
  message += rt::kCrLf;
  message += "(" + err.description() + ")";
  message += rt::kCrLf;
  message += "in ";
  message += sourceName;
  message += procedure;
  ui::MsgBox(message, ui::mb::OkOnly);
}
