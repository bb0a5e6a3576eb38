// SPDX-License-Identifier: GPL-3.0-or-later
// The menu and toolbar commands, each with everything the window needs to
// offer it and the procedure it runs, and the connection of the controls to
// their handlers.
#pragma once

#include <span>

#include "core/picture/icon_file.h"

namespace zielwerk {

class MainWindow;

// The commands in the order of the menu items; the toolbar offers those with
// a tooltip in the same order.
enum class Command {
  kLoadSettings,
  kSaveSettings,
  kSaveSettingsAs,
  kTransferSettings,
  kPrintSettings,
  kExit,
  kTransferScrollText,
  kLoadTrainPicture,
  kTransferPicture,
  kHelp,
  kAbout,
};
inline constexpr int kCommandCount = 11;

struct CommandEntry {
  Command command;
  const char* menu_title;  // non-null where a new menu title begins
  const char* menu_text;
  bool separator_after;    // a menu separator follows the item
  const char* tooltip;     // null: no toolbar button
  int toolbar_group;       // buttons of one group stand between two separators
  Icon icon;
  void (*procedure)();
};

// Every command, in menu order; the window builds its menu and toolbar from it.
std::span<const CommandEntry> CommandTable();

// Runs the procedure of `command`.
void RunCommand(Command command);

// Connects every control that has a handler to it, through the gate that
// keeps program-side changes from raising events.
void ConnectControlHandlers(MainWindow& window);

}  // namespace zielwerk
