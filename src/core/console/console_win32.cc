// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/console.h"

#include <windows.h>
#include <shellapi.h>

#include "text/wide_text_win32.h"

namespace zielwerk {

std::vector<std::string> CommandLineArguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
  LocalFree(wide);
  return arguments;
}

void PrepareConsoleOutput() { SetConsoleOutputCP(CP_UTF8); }

}  // namespace zielwerk
