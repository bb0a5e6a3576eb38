// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell_commands.h"

#include <string>

#include "app/desktop.h"
#include "app/main_loop.h"
#include "app/ui/main_window.h"
#include "app/ui/message_box.h"
#include "core/file/help_page.h"
#include "core/settings/settings_path.h"

namespace zielwerk {

void ExitCommand() { RequestClose(); }

// The manual that came with the program, offline; the web address only where
// an installation has lost it.
void HelpCommand() {
  const std::optional<std::string> page = FindHelpPage(ProgramFolder());
  const std::string where = page ? *page : std::string(kHelpPageWebAddress);
  if (!(page ? OpenLocalPage(where) : OpenInBrowser(where))) {
    // Named, so that the user can open it by hand.
    Form().SetStatusText(ComposeMessage(Message::kHelpNotOpened, {where}));
  }
}

void AboutCommand() {
  ShowMessageBox(MessageText(Message::kAboutTitle),
                 ComposeMessage(Message::kAboutText, {kAppNameAndVersion}),
                 MessageIcon::kInformation);
}

}  // namespace zielwerk
