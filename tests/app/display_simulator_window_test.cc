// SPDX-License-Identifier: GPL-3.0-or-later
// The display simulator's window, played through a pseudo-terminal as
// Zielwerk would: what arrives on the line is what the window holds and what
// the X server shows.
#include <gdkmm/pixbuf.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "app/support/window_fixture.h"
#include "simulator/command_description.h"
#include "core/link/display_commands.h"
#include "core/link/serial_port.h"
#include "core/picture/picture_bits.h"
#include "core/picture/picture_reader.h"
#include "core/preview/scroll_preview.h"
#include "simulator_window.h"
#include "support/pseudo_terminal.h"

namespace zielwerk {
namespace {

using testing::PseudoTerminal;
using testing::PumpEvents;
using testing::PumpEventsUntil;

constexpr char kScrollText[] =
    "Pontresina-Morteratsch-Ospizio Bernina-Alp Gr\xC3\xBCm-Poschiavo-Brusio";

// Whether the screenshot shows the LED at `x`, `y` of the board lit: the LED
// colour is amber, a dark LED a dim brown.
bool ShownLit(const Glib::RefPtr<Gdk::Pixbuf>& shot, const SimulatorWindow& window, int x,
              int y) {
  const LedBoardView& view = window.board_view();
  const LedGeometry geometry = view.Geometry();
  // The view has no window of its own: its allocation is in the window's coordinates.
  const Gtk::Allocation place = view.get_allocation();
  const int window_x = place.get_x() + static_cast<int>(geometry.CentreX(x));
  const int window_y = place.get_y() + static_cast<int>(geometry.CentreY(y));
  const guint8* pixel =
      shot->get_pixels() + window_y * shot->get_rowstride() + window_x * shot->get_n_channels();
  return pixel[0] > 200 && pixel[1] > 120;
}

TEST(DisplaySimulatorWindowTest, ShowsSettingsRouteAndPictureFromTheLine) {
  PseudoTerminal terminal;
  SimulatorLine line(terminal.master(), kDisplayBaud);
  AnswerOptions options;
  options.delay_ms = 10;
  SimulatorWindow window(line, terminal.PortName(), options, 0, nullptr);
  window.show();
  ASSERT_TRUE(PumpEventsUntil([&] { return window.get_mapped(); }));
  EXPECT_EQ(window.get_title(), "Zielwerk-Display-Simulator \xE2\x80\x93 Port " + terminal.PortName());

  const std::optional<TrainPicture> picture =
      ReadPictureFile(ZIELWERK_PROJECT_DATA_DIR "/wagen_BERNINA_EXPRESS.bmp");
  ASSERT_TRUE(picture.has_value());
  SettingsCommandFields settings;
  settings.car_number = 3;
  const std::string route =
      ScrollTextCommand("St. Moritz", PrepareScrollText(kScrollText, false), "Tirano");
  std::string bytes = SettingsCommand(settings) + "\n";
  for (const std::string& row : PictureRowCommands(*picture)) bytes += row + "\n";
  bytes += route + "\n";

  SerialPort port;
  ASSERT_TRUE(port.Open(terminal.SlavePath()).ok);
  ASSERT_EQ(port.StartWrite(bytes), WriteProgress::kDone);
  std::string answers;
  const std::string expected_answers = [] {
    std::string all;
    for (int i = 0; i < 9; ++i) all += "OK\n";
    return all;
  }();
  ASSERT_TRUE(PumpEventsUntil(
      [&] {
        char chunk[64];
        answers.append(chunk, port.Read(chunk));
        return answers.size() >= expected_answers.size();
      },
      5000))
      << answers;
  EXPECT_EQ(answers, expected_answers);

  const DisplayState& state = window.state();
  EXPECT_EQ(state.lines_received(), 9);
  EXPECT_EQ(state.settings().car_number, 3);
  EXPECT_EQ(state.Stations().start_text, "St. Moritz");
  EXPECT_EQ(state.route().scroll_text, kScrollText);
  EXPECT_EQ(state.Stations().end_text, "Tirano");
  EXPECT_EQ(window.StatusText(),
            "Port " + terminal.PortName() +
                " \xC2\xB7 Zeilen: 9 \xC2\xB7 Antwort: \xE2\x80\x9EOK\xE2\x80\x9C \xC2\xB7 "
                "Empfangen: Lauftext \xE2\x80\x9ESt. Moritz-Pontresina-Morteratsch-Ospizio "
                "Bernina-Alp Gr\xC3\xBCm-Poschiavo-Brusio-Tirano\xE2\x80\x9C");

  // The running text stands at its start for 11 ticks, long enough to look at it.
  ASSERT_TRUE(PumpEventsUntil([&] { return state.window() == "Pontresina-Mor"; }));
  PumpEvents(50);
  const Glib::RefPtr<Gdk::Pixbuf> shot = Gdk::Pixbuf::create(
      window.get_window(), 0, 0, window.get_allocated_width(), window.get_allocated_height());
  ASSERT_TRUE(shot);
  // The README shows this picture (scripts/display-sim-screenshot.sh).
  shot->save(ZIELWERK_BINARY_DIR "/display-sim.png", "png", {"compression"}, {"9"});

  // Known places of the picture, as ImageMagick reads its colours: its lit
  // body and its dark windows.
  for (const auto& [x, y, lit] : {std::tuple{2, 7, true}, {5, 4, false}, {20, 4, false}, {60, 9, true},
                                  {159, 0, false}}) {
    EXPECT_EQ(ShownLit(shot, window, x, kLedPictureTop + y), lit) << x << "," << y;
  }
  // Every LED but the running line's shows what the board holds.
  const LedBoard& board = window.board_view().board();
  int lit = 0;
  for (int y = 0; y < kLedBoardHeight; ++y) {
    if (y >= kLedWindowLineTop && y < kLedEndLineTop) continue;
    for (int x = 0; x < kLedBoardWidth; ++x) {
      ASSERT_EQ(ShownLit(shot, window, x, y), board.Lit(x, y)) << x << "," << y;
      lit += board.Lit(x, y);
    }
  }
  EXPECT_GT(lit, 500);
}

}  // namespace
}  // namespace zielwerk

int main(int argc, char** argv) { return zielwerk::testing::RunWindowTests(argc, argv); }
