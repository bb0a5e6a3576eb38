// SPDX-License-Identifier: GPL-3.0-or-later
// The preview in the display frame follows the form's fields and runs with
// the ticks.
#include <gtkmm/cssprovider.h>
#include <gtkmm/fixed.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>
#include <gtkmm/stylecontext.h>

#include <set>
#include <string>
#include <vector>

#include "app/preview/scroll_preview.h"
#include "app/support/drawn_pixels.h"
#include "app/ui/preview_text.h"
#include "app/support/window_fixture.h"
#include "app/ui/control_events.h"
#include "app/ui/main_window.h"

namespace zielwerk {
namespace {

using testing::WindowTest;

class ScrollPreviewWindow : public WindowTest {
 protected:
  // The windows shown over `ticks` ticks.
  std::vector<std::string> Run(int ticks) {
    std::vector<std::string> shown;
    for (int i = 0; i < ticks; ++i) {
      RunProgramCode(TickScrollPreview);
      shown.push_back(Form().preview_scroll_text.get_text());
    }
    return shown;
  }
};

TEST_F(ScrollPreviewWindow, StationsAndScrollTextFollowUserEdits) {
  MainWindow& w = Form();
  EXPECT_EQ(w.preview_start_text.get_text(), "St. Moritz");
  EXPECT_EQ(w.preview_end_text.get_text(), "Tirano");
  EXPECT_EQ(PreparedScrollText(),
            "Pontresina-Morteratsch-Ospizio Bernina-Alp Gr\xC3\xBCm-Poschiavo-Brusio");

  w.start_station_field.set_text("-Chur-");
  w.scroll_text_field.set_text(" -A-B- ");
  EXPECT_EQ(w.preview_start_text.get_text(), "Chur");
  EXPECT_EQ(PreparedScrollText(), "-A-B-");

  w.invert_direction_check.clicked();
  EXPECT_EQ(w.preview_start_text.get_text(), "Tirano");
  EXPECT_EQ(w.preview_end_text.get_text(), "Chur");
  EXPECT_EQ(PreparedScrollText(), "-B-A-") << "outer blanks protect the hyphens from trimming";
}

TEST_F(ScrollPreviewWindow, ShortTextStandsStill) {
  Form().scroll_text_field.set_text("Gr\xC3\xBCm-Poschiavo");  // 14 characters
  for (const std::string& window : Run(30)) EXPECT_EQ(window, "Gr\xC3\xBCm-Poschiavo");
}

TEST_F(ScrollPreviewWindow, RunningModesPadTheText) {
  MainWindow& w = Form();
  w.scroll_text_field.set_text("Pontresina-Morteratsch");
  w.start_mode_combo.set_active(1);
  w.end_mode_combo.set_active(1);
  const std::vector<std::string> windows = Run(70);
  const std::set<std::string> seen(windows.begin(), windows.end());
  EXPECT_EQ(seen.size(), 35u) << "one cycle of 35 positions, each shown once per cycle";
  EXPECT_TRUE(seen.count("             P"));
  EXPECT_TRUE(seen.count("h             "));
  EXPECT_TRUE(seen.count("Pontresina-Mor"));
}

TEST_F(ScrollPreviewWindow, PauseFollowsTheTimeFieldAtEveryTick) {
  MainWindow& w = Form();
  w.scroll_text_field.set_text("Pontresina-Morteratsch");
  RunProgramCode([&] {
    SelectEntry(w.start_mode_combo, 0);
    SelectEntry(w.end_mode_combo, 0);
    w.start_time_spin.SetText("300");
    w.end_time_spin.SetText("300");
  });
  // 22 characters: positions 1 and 9 pause 4 ticks each, 2..8 once: 15 ticks a cycle.
  std::vector<std::string> windows = Run(45);
  int first = 0, last = 0;
  for (const std::string& window : windows) {
    first += window == "Pontresina-Mor";
    last += window == "a-Morteratsch";
    last += window == "na-Morteratsch";
  }
  EXPECT_EQ(first + last, 24) << "three cycles of two pauses of four ticks";
}

// The running line puts its text straight onto the window, over what it
// kept of the window beneath it at GTK's last redraw. Whatever run of texts
// it showed, the window must look exactly as when GTK draws all of it, also
// when the window beneath the line changed since (a style sheet here) and
// where a neighbour overlaps the line's first row, as in the form.
TEST(PreviewTextDrawing, ShowsWhatAFullRedrawShows) {
  Gtk::Window window;
  Gtk::Fixed area;
  Gtk::Label above("Oberhalb");
  PreviewText line;
  Pango::FontDescription font("DejaVu Sans Bold 13");
  line.SetFont(font);
  above.set_size_request(170, 21);
  line.set_size_request(170, 21);
  area.put(above, 10, 10);
  area.put(line, 10, 30);
  window.add(area);
  window.set_default_size(200, 70);
  window.show_all();
  ASSERT_TRUE(testing::PumpEventsUntil([&] { return window.get_mapped(); }));
  testing::PumpEvents(300);  // drawn, with the theme's transitions over

  const auto expect_as_redrawn = [&window, &line](const std::string& when) {
    window.get_display()->sync();
    const auto shown = Gdk::Pixbuf::create(window.get_window(), 0, 0,
                                           window.get_allocated_width(),
                                           window.get_allocated_height());
    const auto redrawn = testing::RedrawnWindowPixels(window);
    EXPECT_EQ(testing::DifferingPixels(shown, redrawn, Gdk::Rectangle()).outside, 0)
        << when << ", showing \"" << line.get_text() << "\"";
  };
  const std::vector<std::vector<std::string>> runs = {
      {"Pontresina-Mor"},
      {"ontresina-Mort", "ntresina-Morte", "Äpfel gjq ÅÉ"},
      {"             P", "", "h             ", "Alp Gr\xC3\xBCm"},
  };
  for (const auto& texts : runs) {
    for (const std::string& text : texts) line.set_text(text);
    expect_as_redrawn("after " + std::to_string(texts.size()) + " texts");
  }

  line.set_text("St. Moritz");
  const auto css = Gtk::CssProvider::create();
  css->load_from_data("window { background-color: #b4d2f0; }");
  Gtk::StyleContext::add_provider_for_screen(window.get_screen(), css,
                                             GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  testing::PumpEvents(300);
  line.set_text("Tirano");
  line.set_text("Poschiavo");
  expect_as_redrawn("restyled");
  Gtk::StyleContext::remove_provider_for_screen(window.get_screen(), css);
}

}  // namespace
}  // namespace zielwerk

int main(int argc, char** argv) { return zielwerk::testing::RunWindowTests(argc, argv); }
