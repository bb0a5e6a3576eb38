// SPDX-License-Identifier: GPL-3.0-or-later
// The picture maker's arguments and console, which the two systems hand over
// differently.
#pragma once

#include <string>
#include <vector>

namespace zielwerk {

// The arguments after the program's name, as UTF-8: on Linux as given; on
// Windows from the wide command line, since the narrow argv loses every
// character outside the ANSI code page.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// `inputs` with every name holding * or ? replaced by the files it matches,
// sorted: the shell does that on Linux, so nothing changes there; on Windows
// the prompt passes "*.jpg" on as it is. A pattern that matches nothing is
// left out and added to `unmatched`.
std::vector<std::string> ExpandWildcards(const std::vector<std::string>& inputs,
                                         std::vector<std::string>& unmatched);

// Makes what the program prints readable in the console it was started from:
// nothing to do on Linux; on Windows the console is told the output is UTF-8.
void PrepareConsoleOutput();

}  // namespace zielwerk
