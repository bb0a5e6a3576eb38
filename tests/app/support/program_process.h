// SPDX-License-Identifier: GPL-3.0-or-later
// The real program as a user starts it: a child process in a working folder
// on the test's X display, found, driven and closed through X11.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace zielwerk::testing {

class ProgramProcess {
 public:
  // Starts build/zielwerk in `folder` with the inherited DISPLAY; stderr goes
  // to a file that Stderr() returns.
  explicit ProgramProcess(const std::string& folder, std::vector<std::string> extra_env = {});
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  // Waits until the program's window is mapped with a title starting with
  // `title_prefix`; returns false after `timeout_ms`.
  bool WaitForWindow(const std::string& title_prefix = "Zielwerk V", int timeout_ms = 10000);
  unsigned long window() const { return window_; }
  pid_t pid() const { return pid_; }
  // Waits until one of the program's menus has popped up; false after
  // `timeout_ms`.
  bool WaitForMenu(int timeout_ms = 5000) const;
  std::string Title() const;
  // The texts of the window's text fields, in tree order, as a screen reader
  // reads them over AT-SPI (the program's accessibility bridge and this
  // process share the session bus; see tests/CMakeLists.txt). Reading them
  // makes the bridge send them over D-Bus, as on a desktop with a screen
  // reader. Empty when the program does not answer within `timeout_ms`.
  std::vector<std::string> AccessibleFieldTexts(int timeout_ms = 10000) const;
  // The window's client-area origin on the screen.
  bool Position(int& x, int& y) const;
  bool Size(int& width, int& height) const;

  // What the window manager's close button sends: WM_DELETE_WINDOW.
  void SendCloseRequest() const;
  // Runs xdotool with `args` against this display.
  int XDoTool(const std::string& args) const;

  // Waits for the program to end; its exit status, or -1 on timeout/signal.
  int WaitForExit(int timeout_ms = 10000);
  std::string Stderr() const;

 private:
  // The program's viewable top-level window for which `wanted` holds, once
  // there is one; 0 after `timeout_ms`.
  unsigned long WaitForOwnWindow(const std::function<bool(unsigned long)>& wanted,
                                 int timeout_ms) const;

  pid_t pid_ = -1;
  unsigned long window_ = 0;
  std::string stderr_path_;
  void* display_ = nullptr;
};

}  // namespace zielwerk::testing
