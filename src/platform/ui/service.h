// The user-interface service: one per process. Every message box, every
// modal display of a form and every "yield to pending window messages" goes
// through it. A real front end, the stand-in host's console and the tests'
// scripted service each install their own.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

class Form;

// Message-box style values, combined by adding: buttons + icon + default.
namespace mb {
inline constexpr int OkOnly = 0;
inline constexpr int YesNo = 4;
inline constexpr int IconQuestion = 32;
inline constexpr int IconExclamation = 48;
inline constexpr int IconInformation = 64;
inline constexpr int DefaultButton2 = 256;
}  // namespace mb

enum class MsgResult { Ok = 1, Yes = 6, No = 7 };

// The title a message box shows when it has none of its own.
inline constexpr std::string_view kDefaultTitle = "kelPaktor2";

class Service {
 public:
  virtual ~Service() = default;
  // Shows a modal message box and returns the button chosen. `title` is
  // nullopt when the box has no title of its own (it then shows
  // kDefaultTitle).
  virtual MsgResult MessageBox(std::string_view prompt, int style,
                               std::optional<std::string_view> title) = 0;
  // Shows the form modally; returns when the form has been hidden.
  // Form::ShowModal calls it after loading the form, marking it shown and
  // running its Form_Activate, and marks it hidden once this returns.
  virtual void ShowModal(Form& form) = 0;
  // Lets pending window messages run once.
  virtual void DoEvents() = 0;
};

// Installs the process-wide service (nullptr: the default service, which
// answers every box with its default button and shows nothing).
void SetService(std::shared_ptr<Service> service);
// The service now installed, never null. Callers hold on to it for the
// whole call, so that a handler installing another service meanwhile does
// not destroy the one still running.
std::shared_ptr<Service> CurrentService();

// The answer of a box whose user just confirms its default button: OK for
// an OK-only box; for a Yes/No box Yes, or No when the style carries
// mb::DefaultButton2.
MsgResult DefaultAnswer(int style);

// `text` with each CR LF (and any lone CR) turned into a newline, as a
// console or a log shows a box's text.
std::string NewlineText(std::string_view text);
// A box as a console shows it: "[<title>] <text>", with kDefaultTitle for a
// box without a title of its own (or with an empty one) and line breaks as
// NewlineText makes them; no newline at the end.
std::string BoxLine(std::string_view prompt, std::optional<std::string_view> title);

// Shorthands for the current service.
MsgResult MsgBox(std::string_view prompt, int style = mb::OkOnly,
                 std::optional<std::string_view> title = std::nullopt);
void DoEvents();

}  // namespace ui
