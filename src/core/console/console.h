// SPDX-License-Identifier: GPL-3.0-or-later
// The arguments and console of the command-line programs, which the two
// systems hand over differently.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zielwerk {

// The arguments after the program's name, as UTF-8: on Linux as given; on
// Windows from the wide command line, since the narrow argv loses every
// character outside the ANSI code page.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// An argument read as an option: "--name=value" gives the name and the
// value; any other argument ("-o", "--invert") is the name alone.
struct OptionArgument {
  std::string name;
  std::optional<std::string> value;
};
OptionArgument SplitOption(const std::string& argument);

// Makes what the program prints readable in the console it was started from:
// nothing to do on Linux; on Windows the console is told the output is UTF-8.
void PrepareConsoleOutput();

}  // namespace zielwerk
