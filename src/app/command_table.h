// From menu and toolbar ids, and from controls, to the procedures they run.
#pragma once

#include "app/ui/main_window.h"

namespace zielwerk {

// Runs the command of a menu item (0..10) or toolbar button (11..20); other
// ids do nothing.
void RunCommand(CommandId id);

// Connects every control that has a handler to it, through the gate that
// keeps program-side changes from raising events.
void ConnectControlHandlers(MainWindow& window);

}  // namespace zielwerk
