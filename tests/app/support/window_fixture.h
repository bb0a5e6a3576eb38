// SPDX-License-Identifier: GPL-3.0-or-later
// Running the real program in-process for window tests: GTK initialised once
// per test executable, a fresh working folder with the data files for every
// test, start-up and shut-down as the program runs them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/test_files.h"

namespace zielwerk::testing {

// Initialises GTK (X11 backend) and runs all tests; use as the test main.
int RunWindowTests(int argc, char** argv);

// Handles every pending GTK event, then waits briefly for more until
// `done()` holds or `timeout_ms` has passed. Returns done().
bool PumpEventsUntil(const std::function<bool()>& done, int timeout_ms = 2000);
void PumpEvents(int milliseconds = 50);
// For PumpEventsUntil: whether the status bar shows `text`.
std::function<bool()> StatusShows(std::string text);

// Makes `folder`/.bin holding an "ls" that prints `listing` (printf
// escapes allowed), to stand first in PATH: the program lists its serial
// ports from "ls -1 /dev", and tests need the same list on every machine.
// Returns the .bin folder.
std::string MakeStandInLs(const std::string& folder, const std::string& listing);

// The names of the file filters a chooser makes of `filter_text`, each with
// whether it lists a file called `file_name`.
std::vector<std::pair<std::string, bool>> FiltersListing(const std::string& filter_text,
                                                         const std::string& file_name);

// A working folder made from data/ and entered for the test's lifetime.
class WorkingFolder {
 public:
  WorkingFolder();
  ~WorkingFolder();
  const TempDir& dir() const { return dir_; }
  std::string File(const std::string& name) const { return dir_.File(name); }

 private:
  TempDir dir_;
  std::string previous_;
};

// A test with a working folder in which the program has started up; the
// program is shut down (settings and Zielstell.ini written) by ShutDownNow()
// or at the end of the test.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Files to place in the working folder before start-up.
  virtual void PrepareFolder(WorkingFolder&) {}
  void ShutDownNow();
  WorkingFolder& folder() { return *folder_; }

 private:
  std::unique_ptr<WorkingFolder> folder_;
  bool running_ = false;
};

}  // namespace zielwerk::testing
