// SPDX-License-Identifier: GPL-3.0-or-later
// Checks of the form as the window shows it, at whatever scale it was built
// with: shared by the Linux window tests and the Windows window test that
// runs under Wine.
#pragma once

#include "app/ui/main_window.h"

namespace zielwerk::testing {

// Every control lies at the place the window built it at, and those places
// are the table's scaled: the same x and width, the height to a pixel,
// inside the form area, each control inside the frames that hold it in the
// table.
void ExpectEveryControlInItsScaledPlace(MainWindow& window);

// Every text of the form reads in full: no label is cut with an ellipsis,
// what each draws lies inside its control's rectangle, and each list is wide
// and high enough for its longest entry.
void ExpectEveryTextFits(MainWindow& window);

// The preview's three lines in the preview font read in full, each on one
// line inside its own rectangle and apart from the others.
void ExpectPreviewLinesWhole(MainWindow& window);

}  // namespace zielwerk::testing
