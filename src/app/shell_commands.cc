#include "app/shell_commands.h"

#include <string>

#include "app/desktop.h"
#include "app/main_loop.h"
#include "app/ui/message_box.h"
#include "core/settings/settings_path.h"

namespace zielwerk {
namespace {

constexpr const char* kHelpUrl = "http://www.zielwerk-modellbahn.de/laufschild/laufschild.html";

}  // namespace

void ExitCommand() { RequestClose(); }

void HelpCommand() { OpenInBrowser(kHelpUrl); }

void AboutCommand() {
  ShowMessageBox(MessageText(Message::kAboutTitle),
                 FormatMessage(Message::kAboutText, {kAppNameAndVersion}),
                 MessageIcon::kInformation);
}

}  // namespace zielwerk
