#include "platform/ui/service.h"

#include <mutex>

namespace ui {

namespace {

// Shows nothing: every box is answered with its default button and a modal
// display ends at once. Used until a front end or a test installs its own.
class SilentService : public Service {
 public:
  MsgResult MessageBox(std::string_view, int style, std::optional<std::string_view>) override {
    return DefaultAnswer(style);
  }
  void ShowModal(Form&) override {}
  void DoEvents() override {}
};

std::mutex& ServiceMutex() {
  static std::mutex m;
  return m;
}

std::shared_ptr<Service>& Installed() {
  static std::shared_ptr<Service> installed;
  return installed;
}

}  // namespace

MsgResult DefaultAnswer(int style) {
  const int buttons = style & 0xF;
  if (buttons != mb::YesNo) return MsgResult::Ok;
  return (style & mb::DefaultButton2) != 0 ? MsgResult::No : MsgResult::Yes;
}

std::string NewlineText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '\n') {
      // CR LF: the LF follows as it is.
    } else {
      out += '\n';
    }
  }
  return out;
}

std::string BoxLine(std::string_view prompt, std::optional<std::string_view> title) {
  const std::string_view shown = title && !title->empty() ? *title : kDefaultTitle;
  std::string line = "[";
  line += NewlineText(shown);
  line += "] ";
  line += NewlineText(prompt);
  return line;
}

void SetService(std::shared_ptr<Service> service) {
  std::lock_guard<std::mutex> lock(ServiceMutex());
  Installed() = std::move(service);
}

std::shared_ptr<Service> CurrentService() {
  static const auto silent = std::make_shared<SilentService>();
  std::lock_guard<std::mutex> lock(ServiceMutex());
  if (Installed()) return Installed();
  return silent;
}

MsgResult MsgBox(std::string_view prompt, int style, std::optional<std::string_view> title) {
  return CurrentService()->MessageBox(prompt, style, title);
}

void DoEvents() { CurrentService()->DoEvents(); }

}  // namespace ui
