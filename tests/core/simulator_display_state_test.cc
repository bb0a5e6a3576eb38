// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated display's state from the command lines it received, and the
// board of LEDs drawn from it.
#include "simulator/display_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/picture/picture_reader.h"
#include "simulator/display_board.h"

namespace zielwerk {
namespace {

const std::string kDefaultSettings = "!100010000100000040";
const std::string kRow0 = "0" + std::string(40, 'F') + std::string(40, '0');

struct LineCase {
  const char* name;
  std::string line;
  DisplayLineKind kind;
  std::string summary;
};

class DisplayStateLineTest : public ::testing::TestWithParam<LineCase> {};

// Every kind of line is counted and described; only well-formed commands
// change what the display holds.
TEST_P(DisplayStateLineTest, TakesWhatTheDisplayWould) {
  const LineCase& test = GetParam();
  DisplayState state;
  state.TakeLine("!91-11999910001312" "71");
  state.TakeLine("Chur-Arosa");
  const SettingsCommandFields settings_before = state.settings();
  const DisplayRoute route_before = state.route();

  const DisplayLineSummary summary = state.TakeLine(test.line);
  EXPECT_EQ(summary.kind, test.kind);
  EXPECT_EQ(summary.text, test.summary);
  EXPECT_EQ(state.lines_received(), 3);
  if (test.kind != DisplayLineKind::kSettings) {
    EXPECT_EQ(SettingsCommand(state.settings()), SettingsCommand(settings_before));
  }
  if (test.kind != DisplayLineKind::kRoute) {
    EXPECT_EQ(state.route(), route_before);
  }
  if (test.kind != DisplayLineKind::kPictureRows) {
    EXPECT_FALSE(state.PictureDot(0, 0));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DisplayStateLineTest,
    ::testing::Values(
        LineCase{"Settings", kDefaultSettings, DisplayLineKind::kSettings,
                 "Einstellungen \xE2\x80\x9E!100010000100000040\xE2\x80\x9C"},
        LineCase{"Route", "St. Moritz-Alp Gr%m-Tirano", DisplayLineKind::kRoute,
                 "Lauftext \xE2\x80\x9ESt. Moritz-Alp Gr\xC3\xBCm-Tirano\xE2\x80\x9C"},
        LineCase{"PictureRows", kRow0, DisplayLineKind::kPictureRows, "Bildzeilen 0 und 1"},
        LineCase{"SettingsTooShort", "!1000", DisplayLineKind::kMalformed,
                 "Fehlerhafte Einstellungen \xE2\x80\x9E!1000\xE2\x80\x9C"},
        LineCase{"RowNotHex", "3" + std::string(79, '0') + "G", DisplayLineKind::kMalformed,
                 "Fehlerhafte Bildzeilen \xE2\x80\x9E" "3" + std::string(79, '0') +
                     "G\xE2\x80\x9C"},
        LineCase{"Unknown", "7abc\r", DisplayLineKind::kUnknown,
                 "Unbekannter Befehl \xE2\x80\x9E" "7abc\\x0D\xE2\x80\x9C"},
        LineCase{"Empty", "", DisplayLineKind::kEmpty, "Leere Zeile"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RouteCase {
  const char* name;
  std::string command;
  DisplayRoute route;
};

class ParseRouteCommandTest : public ::testing::TestWithParam<RouteCase> {};

TEST_P(ParseRouteCommandTest, SplitsAtTheFirstAndLastHyphen) {
  EXPECT_EQ(ParseRouteCommand(GetParam().command), GetParam().route);
}

INSTANTIATE_TEST_SUITE_P(
    Routes, ParseRouteCommandTest,
    ::testing::Values(
        RouteCase{"Default",
                  "St. Moritz-Pontresina-Ospizio Bernina-Alp Gr%m-Tirano",
                  {"St. Moritz", "Pontresina-Ospizio Bernina-Alp Gr\xC3\xBCm", "Tirano"}},
        RouteCase{"EmptyScrollText", "Chur--Arosa", {"Chur", "", "Arosa"}},
        RouteCase{"EmptyEndStation", "Chur-Lenzerheide-", {"Chur", "Lenzerheide", ""}},
        RouteCase{"OneHyphen", "Chur-Arosa", {"Chur", "", "Arosa"}},
        RouteCase{"NoHyphen", "Chur", {"Chur", "", ""}},
        RouteCase{"UmlautsEverywhere", "B#r-K$ln-M%hle", {"B\xC3\xA4r", "K\xC3\xB6ln", "M\xC3\xBChle"}},
        RouteCase{"IllFormedBytes", "\xFF" "a-b-c", {"\xEF\xBF\xBD" "a", "b", "c"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The bit of (x, y) as the seven row commands carry it: command y / 2, its
// row y % 2, hexadecimal digit x / 4, the leftmost pixel in the digit's top bit.
bool CommandBit(const std::array<std::string, kPictureRowCommandCount>& commands, int x, int y) {
  const char digit = commands[static_cast<size_t>(y / 2)][static_cast<size_t>(1 + (y % 2) * 40 + x / 4)];
  const int value = digit <= '9' ? digit - '0' : digit - 'A' + 10;
  return (value >> (3 - x % 4)) & 1;
}

TEST(DisplayStatePictureTest, RowCommandsUpdateTheirTwoRowsAtOnce) {
  const std::optional<TrainPicture> picture =
      ReadPictureFile(ZIELWERK_PROJECT_DATA_DIR "/wagen_BERNINA_EXPRESS.bmp");
  ASSERT_TRUE(picture.has_value());
  DisplayState state;
  const auto commands = PictureRowCommands(*picture);
  state.TakeLine(commands[3]);
  for (int y = 0; y < kDisplayPictureHeight; ++y) {
    for (int x = 0; x < kDisplayPictureWidth; ++x) {
      ASSERT_EQ(state.PictureDot(x, y), (y == 6 || y == 7) && CommandBit(commands, x, y))
          << x << "," << y;
    }
  }
  for (const std::string& command : commands) state.TakeLine(command);
  int lit = 0;
  for (int y = 0; y < kDisplayPictureHeight; ++y) {
    for (int x = 0; x < kDisplayPictureWidth; ++x) {
      ASSERT_EQ(state.PictureDot(x, y), CommandBit(commands, x, y)) << x << "," << y;
      lit += state.PictureDot(x, y);
    }
  }
  EXPECT_GT(lit, 0);
  EXPECT_FALSE(state.PictureDot(kDisplayPictureWidth, 0));
  EXPECT_FALSE(state.PictureDot(0, -1));
}

// A form sent as the program sends it, and what the display shows of it:
// the two stations, and the running text's window after chosen ticks.
struct FormCase {
  const char* name;
  SettingsCommandFields settings;
  std::string start_station, scroll_text, end_station;
  std::string shown_start, shown_end;
  std::vector<std::pair<int, std::string>> windows;  // (tick counted from 0, window)
};

class DisplayStatePreviewTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(DisplayStatePreviewTest, RunsTheTextAsSent) {
  const FormCase& form = GetParam();
  DisplayState state;
  state.TakeLine(SettingsCommand(form.settings));
  state.TakeLine(ScrollTextCommand(form.start_station,
                                   PrepareScrollText(form.scroll_text, form.settings.invert_direction == 1),
                                   form.end_station));
  EXPECT_EQ(state.Stations().start_text, form.shown_start);
  EXPECT_EQ(state.Stations().end_text, form.shown_end);
  int ticks = 0;
  for (const auto& [tick, window] : form.windows) {
    while (ticks <= tick) {
      state.Tick();
      ++ticks;
    }
    EXPECT_EQ(state.window(), window) << "tick " << tick;
  }
}

SettingsCommandFields Modes(int start_mode, const char* start_time, int end_mode,
                            const char* end_time, int invert = 0) {
  SettingsCommandFields fields;
  fields.start_mode = start_mode;
  fields.start_time_text = start_time;
  fields.end_mode = end_mode;
  fields.end_time_text = end_time;
  fields.invert_direction = invert;
  return fields;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DisplayStatePreviewTest,
    ::testing::Values(
        // Stands 1000 / 100 + 1 ticks at the start, then moves on by one.
        FormCase{"StampAndStop", Modes(0, "1000", 0, "1000"), "St. Moritz",
                 "Pontresina-Morteratsch-Alp Gr\xC3\xBCm", "Tirano", "St. Moritz", "Tirano",
                 {{0, "Pontresina-Mor"}, {10, "Pontresina-Mor"}, {11, "ontresina-Mort"}}},
        // 13 blanks before and after the text, no stop at either end.
        FormCase{"RunInAndOut", Modes(1, "0500", 1, "0500"), "Chur", "Pontresina-Morteratsch",
                 "Arosa", "Chur", "Arosa",
                 {{0, "             P"}, {13, "Pontresina-Mor"}, {29, "ratsch        "}}},
        // No start mode chosen: no pause at the start; 3 ticks at the end,
        // then from the beginning.
        FormCase{"ShortPausesAndNoSelection", Modes(-1, "0050", 0, "0200"), "Chur",
                 "Landquart-Klosters-Davos", "Filisur", "Chur", "Filisur",
                 {{0, "Landquart-Klos"}, {9, "-Klosters-Davo"}, {10, "Klosters-Davos"},
                  {12, "Klosters-Davos"}, {13, "Landquart-Klos"}}},
        // The fields and the stations in the other order.
        FormCase{"Inverted", Modes(0, "0300", 1, "1000", 1), "Thusis",
                 " -Tiefencastel-Berg\xC3\xBCn-Preda- ", "Samedan", "Samedan", "Thusis",
                 {{3, "-Preda-Berg\xC3\xBCn-"}, {4, "Preda-Berg\xC3\xBCn-T"}}},
        FormCase{"ShortTextStandsStill", Modes(1, "1000", 1, "1000"), "Chur", "Reichenau", "Ilanz",
                 "Chur", "Ilanz", {{0, "Reichenau"}, {119, "Reichenau"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The board: text lines lit only where there is text, the picture in its
// rows, the car number in a dark box over the picture unless hidden.
TEST(LedBoardTest, ShowsTextPictureAndCarNumberInTheirPlaces) {
  DisplayState state;
  state.TakeLine("!300010000100000040");
  state.TakeLine("Chur--");
  for (char k = '0'; k <= '6'; ++k) state.TakeLine(std::string(1, k) + std::string(80, 'F'));
  state.Tick();

  const auto lit_in = [](const LedBoard& board, int left, int top, int right, int bottom) {
    int lit = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) lit += board.Lit(x, y);
    }
    return lit;
  };
  const LedBoard shown = ComposeLedBoard(state);
  EXPECT_GT(lit_in(shown, 0, kLedStartLineTop, kLedBoardWidth, kLedWindowLineTop), 10);
  EXPECT_EQ(lit_in(shown, 0, kLedWindowLineTop, kLedBoardWidth, kLedPictureTop), 0);
  // In the all-lit picture only the car number's margin and the gaps of its
  // digit are dark, and the digit lights part of its place.
  const int picture_dots = kDisplayPictureWidth * kDisplayPictureHeight;
  const int dark = picture_dots - lit_in(shown, 0, kLedPictureTop, kLedBoardWidth, kLedBoardHeight);
  EXPECT_GT(dark, 30);
  EXPECT_LT(dark, 150);
  const int middle = kLedPictureTop + kDisplayPictureHeight / 2;
  EXPECT_EQ(lit_in(shown, 0, middle, kLedCarNumberLeft - 1, middle + 1), kLedCarNumberLeft - 1);
  EXPECT_LT(lit_in(shown, kLedCarNumberLeft - 1, middle, kLedCarNumberLeft + 3, middle + 1), 4);
  EXPECT_EQ(lit_in(shown, kLedCarNumberLeft + 14, middle, kLedBoardWidth, middle + 1),
            kLedBoardWidth - kLedCarNumberLeft - 14);
  EXPECT_GT(lit_in(shown, kLedCarNumberLeft, kLedPictureTop, kLedCarNumberLeft + 10, kLedBoardHeight),
            10);

  state.TakeLine("!310010000100000040");
  EXPECT_EQ(lit_in(ComposeLedBoard(state), 0, kLedPictureTop, kLedBoardWidth, kLedBoardHeight),
            picture_dots);
  EXPECT_FALSE(shown.Lit(-1, 0));
  EXPECT_FALSE(shown.Lit(0, kLedBoardHeight));
}

TEST(LedBoardTest, FitsTheBoardCentredAtAnySize) {
  for (const auto& [width, height] : {std::pair{980.0, 400.0}, {324.0, 1000.0}, {3000.0, 300.0}}) {
    const LedGeometry geometry = FitLedBoard(kLedBoardWidth, kLedBoardHeight, width, height);
    EXPECT_GE(geometry.CentreX(0) - geometry.pitch * 1.5, -1e-9) << width;
    EXPECT_GE(geometry.CentreY(0) - geometry.pitch * 1.5, -1e-9) << width;
    EXPECT_NEAR(geometry.CentreX(0) + geometry.CentreX(kLedBoardWidth - 1), width, 1e-9);
    EXPECT_NEAR(geometry.CentreY(0) + geometry.CentreY(kLedBoardHeight - 1), height, 1e-9);
    // As large as it can be: the board and its border fill one of the two sides.
    EXPECT_NEAR(std::max(geometry.pitch * (kLedBoardWidth + 2) / width,
                         geometry.pitch * (kLedBoardHeight + 2) / height),
                1.0, 1e-9);
  }
}

}  // namespace
}  // namespace zielwerk
