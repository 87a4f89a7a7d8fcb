#include "kelhost/console_ui.h"

#include <iostream>
#include <memory>

namespace kelhost {

std::string ConsoleLines(std::string_view text) {
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

ui::MsgResult ConsoleService::MessageBox(std::string_view prompt, int style,
                                         std::optional<std::string_view> title) {
  const std::string_view shown = title && !title->empty() ? *title : ui::kDefaultTitle;
  std::cerr << "[" << ConsoleLines(shown) << "] " << ConsoleLines(prompt) << "\n" << std::flush;
  return ui::DefaultAnswer(style);
}

void ConsoleService::ShowModal(ui::Form&) {}

void ConsoleService::DoEvents() {}

void InstallConsoleService() { ui::SetService(std::make_shared<ConsoleService>()); }

}  // namespace kelhost
