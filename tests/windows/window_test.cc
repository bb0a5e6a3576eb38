// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows program's window under Wine, at the text size the Wine prefix's
// LogPixels sets: the form at its scaled places, every text whole, the
// preview's three lines whole. scripts/windows/test-windows.sh runs it on its
// private display at 96, 120, 144 and 192 dpi, naming in ZIELWERK_TEST_FACTOR
// the text size it asks for beyond GTK's own whole-number scale.
#include <gtest/gtest.h>
#include <gtkmm/main.h>

#include <cstdlib>

#include "app/support/form_checks.h"
#include "app/support/window_fixture.h"
#include "app/ui/control_events.h"
#include "app/ui/main_window.h"
#include "core/layout/form_layout.h"

namespace zielwerk {
namespace {

using WindowsWindow = testing::WindowTest;

TEST_F(WindowsWindow, FormTakesTheTextSizeAndEveryTextReadsInFull) {
  MainWindow& w = Form();
  const char* asked = std::getenv("ZIELWERK_TEST_FACTOR");
  const double factor = asked ? std::atof(asked) : 1.0;
  if (factor == 1.0) {
    EXPECT_EQ(w.factor(), 1.0);
  } else {
    EXPECT_GE(w.factor(), factor);
    EXPECT_LE(w.factor(), factor * 1.1);
  }
  EXPECT_EQ(w.get_allocated_width(), ScaleLength(kMainWindowWidth, w.factor()));
  EXPECT_EQ(w.get_allocated_height(), ScaleLength(kMainWindowHeight, w.factor()));
  testing::ExpectEveryControlInItsScaledPlace(w);
  testing::ExpectEveryTextFits(w);
  testing::ExpectPreviewLinesWhole(w);
}

}  // namespace
}  // namespace zielwerk

// GTK under Wine warns about what Wine's registry lacks (keyboard layouts,
// font descriptions); unlike the Linux window tests, warnings fail nothing.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  Gtk::Main kit(argc, argv);
  return RUN_ALL_TESTS();
}
