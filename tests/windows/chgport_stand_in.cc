// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what "chgport /query" prints on a machine with a few serial ports,
// with CR LF line ends (stdout is in text mode), and exits 0; a port named in
// ZIELWERK_STAND_IN_PORT is listed last. "/console" instead prints whether the
// program was given a console window ("console" or "no console"), so that a
// test can see that it was started without one. Anything else: exit 1.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "/query") == 0) {
    std::fputs("AUX = \\DosDevices\\COM1\n"
               "COM1 = \\Device\\Serial0\n"
               "COM10 = \\Device\\Serial9\n"
               "COM100 = \\Device\\Serial99\n"
               "COMX = \\Device\\Nothing\n"
               "   COM4 = \\Device\\Serial3\n",
               stdout);
    if (const char* extra = std::getenv("ZIELWERK_STAND_IN_PORT")) {
      std::printf("%s = \\Device\\Extra\n", extra);
    }
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "/console") == 0) {
    HWND window = GetConsoleWindow();
    std::fputs(window != nullptr && IsWindowVisible(window) ? "console\n" : "no console\n", stdout);
    return 0;
  }
  return 1;
}
