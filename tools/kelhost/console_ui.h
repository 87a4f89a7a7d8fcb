// kelhost's user-interface service: it never waits for a user. Every
// message box goes to standard error as ui::BoxLine shows it ("[<title>]
// <text>") and is answered with its default button. Forms cannot
// be shown on a console: a modal display ends at once.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/service.h"

namespace kelhost {

class ConsoleService : public ui::Service {
 public:
  ui::MsgResult MessageBox(std::string_view prompt, int style, std::optional<std::string_view> title) override;
  void ShowModal(ui::Form& form) override;
  void DoEvents() override;
};

// Installs a ConsoleService as the process's service.
void InstallConsoleService();

}  // namespace kelhost
