#include "picture_maker/command_line.h"

#include <windows.h>

#include <glib.h>

namespace zielwerk {

std::vector<std::string> CommandLineArguments(int, char**) {
  std::vector<std::string> arguments;
  gchar** utf8 = g_win32_get_command_line();
  for (gchar** argument = utf8 != nullptr && *utf8 != nullptr ? utf8 + 1 : utf8;
       argument != nullptr && *argument != nullptr; ++argument) {
    arguments.emplace_back(*argument);
  }
  g_strfreev(utf8);
  return arguments;
}

void PrepareConsoleOutput() { SetConsoleOutputCP(CP_UTF8); }

}  // namespace zielwerk
