// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/console.h"

namespace zielwerk {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void PrepareConsoleOutput() {}

}  // namespace zielwerk
