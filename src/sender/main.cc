// SPDX-License-Identifier: GPL-3.0-or-later
// zielwerk-senden: sends a Zielwerk settings file to the car's display from
// the command line, for scripts, a train of several cars and machines
// without a desktop.
#include <iostream>

#include "core/console/console.h"
#include "sender/sender.h"

int main(int argc, char** argv) {
  zielwerk::PrepareConsoleOutput();
  return zielwerk::SenderMain(zielwerk::CommandLineArguments(argc, argv), std::cout, std::cerr);
}
