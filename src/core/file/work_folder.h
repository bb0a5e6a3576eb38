// SPDX-License-Identifier: GPL-3.0-or-later
// The folder the program works in: where it reads and writes Zielstell.ini,
// the settings files, the icons and the train pictures.
#pragma once

#include <string>

namespace zielwerk {

struct WorkFolder {
  // The program is an installed copy, which works in a folder of the user's.
  bool installed = false;
  // Why that folder could not be made or entered, in German and naming it;
  // empty when all went well. The program then stays where it was started.
  std::string problem;
};

// Makes the folder the program works in its current folder, before anything
// is read. On Windows a copy with its data files in the folder "Daten" beside
// the program file (what the installer puts there; the zip has none) works in
// %APPDATA%\Zielwerk: made if missing and given every data file it lacks,
// never replacing one the user has. Everywhere else (the unpacked zip, a
// build folder, Linux, where the launcher script sets the folder up) the
// current folder stays as it is.
WorkFolder EnterWorkFolder();

}  // namespace zielwerk
