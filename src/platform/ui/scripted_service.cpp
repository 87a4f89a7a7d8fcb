#include "platform/ui/scripted_service.h"

#include <typeinfo>

namespace ui::test {

void ScriptedService::AnswerNext(MsgResult answer, std::optional<std::string> expectPromptContains) {
  answers_.push_back(Answer{answer, std::move(expectPromptContains)});
}

void ScriptedService::Fail(std::string what) {
  failures_.push_back(what);
  throw ScriptFailure(what);
}

MsgResult ScriptedService::MessageBox(std::string_view prompt, int style, std::optional<std::string_view> title) {
  MsgBoxCall call{std::string(prompt), style, title ? std::optional<std::string>(std::string(*title)) : std::nullopt,
                  MsgResult::Ok};
  if ((style & 0xF) == mb::YesNo) {
    if (answers_.empty()) {
      messages_.push_back(call);
      Fail("unexpected question: " + call.prompt);
    }
    Answer a = answers_.front();
    answers_.pop_front();
    call.answer = a.result;
    messages_.push_back(call);
    if (a.result != MsgResult::Yes && a.result != MsgResult::No) {
      Fail("a question answered with neither Yes nor No: " + call.prompt);
    }
    if (a.expect && call.prompt.find(*a.expect) == std::string::npos) {
      Fail("question \"" + call.prompt + "\" does not contain \"" + *a.expect + "\"");
    }
    return a.result;
  }
  messages_.push_back(call);
  return MsgResult::Ok;
}

void ScriptedService::ShowModal(Form& form) {
  modals_.push_back(ModalCall{form.Name(), form.Caption()});
  const std::type_index type(typeid(form));
  for (auto it = scripts_.begin(); it != scripts_.end(); ++it) {
    if (it->type != type) continue;
    std::function<void(Form&)> run = std::move(it->run);
    scripts_.erase(it);
    run(form);
    if (form.IsShown()) Fail("form " + form.Name() + " is still shown after its script");
    return;
  }
  Fail("unexpected modal form " + form.Name());
}

}  // namespace ui::test
