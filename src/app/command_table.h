// SPDX-License-Identifier: GPL-3.0-or-later
// The table of the menu and toolbar commands, from which the window builds
// its menu and toolbar and by which a chosen command runs its procedure; and
// the connection of the controls to their handlers.
#pragma once

#include <span>

#include "app/command.h"

namespace zielwerk {

class MainWindow;

// Every command, in menu order; the window builds its menu and toolbar from it.
std::span<const CommandEntry> CommandTable();

// Runs the procedure of `command`.
void RunCommand(Command command);

// Connects every control that has a handler to it, through the gate that
// keeps program-side changes from raising events.
void ConnectControlHandlers(MainWindow& window);

}  // namespace zielwerk
