// SPDX-License-Identifier: GPL-3.0-or-later
// A command of the menu and the toolbar: its name and what the window shows
// for it. The window is built from rows of this kind without knowing the
// table that holds them or the procedures they run.
#pragma once

#include "core/picture/icon_file.h"

namespace zielwerk {

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

}  // namespace zielwerk
