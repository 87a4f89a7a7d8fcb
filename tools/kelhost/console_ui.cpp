#include "kelhost/console_ui.h"

#include <iostream>
#include <memory>

namespace kelhost {

ui::MsgResult ConsoleService::MessageBox(std::string_view prompt, int style,
                                         std::optional<std::string_view> title) {
  std::cerr << ui::BoxLine(prompt, title) << "\n" << std::flush;
  return ui::DefaultAnswer(style);
}

void ConsoleService::ShowModal(ui::Form&) {}

void ConsoleService::DoEvents() {}

void InstallConsoleService() { ui::SetService(std::make_shared<ConsoleService>()); }

}  // namespace kelhost
