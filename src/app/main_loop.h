// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one main loop, and the close request that ends it.
#pragma once

namespace zielwerk {

// Creates the loop; called once, after the toolkit is initialised.
void CreateMainLoop();
// Runs the loop until a close request; returns at once when one came
// before (during start-up, say).
void RunMainLoop();
// Releases the loop after the shut-down.
void ReleaseMainLoop();

// Ends the loop. A request made while the loop does not run (during
// start-up, or while a message box waits) is kept; the loop ends as soon as
// it runs.
void RequestClose();

}  // namespace zielwerk
