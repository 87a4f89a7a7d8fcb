// A user-interface service for tests: answers message boxes from a queue,
// plays a script for each modal form, and records everything shown.
//
//   auto ui = std::make_shared<ui::test::ScriptedService>();
//   ui::SetService(ui);
//   ui->AnswerNext(ui::MsgResult::Yes, "wirklich löschen");
//   ui->OnModal<frmPosition>([&](frmPosition& f) { user.Click(f.cmdOk); });
//   ... run the code under test ...
//   EXPECT_EQ(ui->Messages().at(0).prompt, "...");
//
// Message boxes: an OK-only box is answered Ok at once. A question (Yes/No)
// takes the next queued answer; a question with no answer queued, an answer
// that is not Yes or No, or a prompt that lacks the text the answer expects
// is a broken script. Modal forms: each display plays the next script
// queued for the form's class; a form without a script, or one still shown
// when its script ends, is a broken script. A broken script is recorded in
// Failures() and thrown as ui::ScriptFailure, which no event boundary or
// run-time error trap catches, so the test sees it.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <typeindex>
#include <vector>

#include "platform/ui/event_boundary.h"
#include "platform/ui/form.h"
#include "platform/ui/service.h"

namespace ui::test {

struct MsgBoxCall {
  std::string prompt;
  int style = 0;
  std::optional<std::string> title;  // nullopt: no title of its own
  MsgResult answer = MsgResult::Ok;
};

struct ModalCall {
  std::string form;     // the form's Name
  std::string caption;  // its caption when it was shown
};

class ScriptedService : public Service {
 public:
  // Queues the answer to the next question; when `expectPromptContains` is
  // given, that question's prompt must contain it.
  void AnswerNext(MsgResult answer, std::optional<std::string> expectPromptContains = {});

  // Queues a script for the next modal display of a form of class F.
  // Scripts for one class run in the order queued.
  template <class F>
  void OnModal(std::function<void(F&)> script) {
    scripts_.push_back(Script{std::type_index(typeid(F)), [script](Form& f) { script(static_cast<F&>(f)); }});
  }

  const std::vector<MsgBoxCall>& Messages() const { return messages_; }
  const std::vector<ModalCall>& ModalLog() const { return modals_; }
  int DoEventsCount() const { return doEvents_; }
  const std::vector<std::string>& Failures() const { return failures_; }
  size_t PendingAnswers() const { return answers_.size(); }
  size_t PendingScripts() const { return scripts_.size(); }

  MsgResult MessageBox(std::string_view prompt, int style, std::optional<std::string_view> title) override;
  void ShowModal(Form& form) override;
  void DoEvents() override { ++doEvents_; }

 private:
  struct Answer {
    MsgResult result;
    std::optional<std::string> expect;
  };
  struct Script {
    std::type_index type;
    std::function<void(Form&)> run;
  };
  [[noreturn]] void Fail(std::string what);

  std::deque<Answer> answers_;
  std::vector<Script> scripts_;
  std::vector<MsgBoxCall> messages_;
  std::vector<ModalCall> modals_;
  std::vector<std::string> failures_;
  int doEvents_ = 0;
};

}  // namespace ui::test
