// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/preview/scroll_preview.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/text/utf8.h"

namespace zielwerk {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
const std::string kBlanks13(13, ' ');
const std::string kReplacement = "\xEF\xBF\xBD";
constexpr std::string_view kRoute = "Pontresina-Morteratsch";  // 22 characters
constexpr std::string_view kAlphabet20 = "ABCDEFGHIJKLMNOPQRST";

PreviewTickInput Input(std::string_view text, int start_mode, std::string_view start_time,
                       int end_mode, std::string_view end_time) {
  return {text, start_mode, start_time, end_mode, end_time};
}

struct Trace {
  std::vector<int64_t> positions;  // the position each tick showed
  std::vector<std::string> windows;
  PreviewState end_state;
};

Trace RunTicks(const PreviewTickInput& input, PreviewState state, int ticks) {
  Trace trace;
  for (int i = 0; i < ticks; ++i) {
    PreviewTickResult result = TickPreview(state, input);
    trace.positions.push_back(state.position);
    trace.windows.push_back(std::move(result.window));
    state = result.next;
  }
  trace.end_state = state;
  return trace;
}

// Positions `from` to `to`, each shown `times` ticks.
void Append(std::vector<int64_t>& out, int64_t from, int64_t to, int times = 1) {
  for (int64_t p = from; p <= to; ++p) out.insert(out.end(), times, p);
}

int TicksAt(const PreviewTickInput& input, PreviewState state) {
  const int64_t at = state.position;
  int ticks = 0;
  while (state.position == at && ticks < 100000) {
    state = TickPreview(state, input).next;
    ++ticks;
  }
  return ticks;
}

// --- text preparation -----------------------------------------------------

TEST(PrepareScrollText, TrimsHyphensThenBlanksAndReversesFields) {
  struct Case {
    std::string_view text;
    bool invert;
    std::string_view expected;
  };
  const Case cases[] = {
      {"- A-B -", false, "A-B"},
      {" -A-B- ", false, "-A-B-"},
      {" -A-B- ", true, "-B-A-"},
      {"-A-B-", true, "B-A"},
      {"A--B", true, "B--A"},
      {"A - B", true, " B-A "},
      {"Ohne Trennstrich", true, "Ohne Trennstrich"},
      {"Pontresina-Morteratsch-Ospizio Bernina-Alp Grüm-Poschiavo-Brusio", false,
       "Pontresina-Morteratsch-Ospizio Bernina-Alp Grüm-Poschiavo-Brusio"},
      {"Pontresina-Morteratsch-Ospizio Bernina-Alp Grüm-Poschiavo-Brusio", true,
       "Brusio-Poschiavo-Alp Grüm-Ospizio Bernina-Morteratsch-Pontresina"},
      {"", false, ""},
      {"", true, ""},
      {"---", true, ""},
      {"   ", false, ""},
      {"- - -", true, "-"},
      {"\tA-B\t", true, "B\t-\tA"},  // only U+0020 counts as a blank
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PrepareScrollText(c.text, c.invert), c.expected)
        << "'" << c.text << "' invert " << c.invert;
  }
}

TEST(PrepareScrollText, ReversesMoreThan128Fields) {
  std::string forward, backward;
  for (int i = 0; i < 300; ++i) {
    forward += (i ? "-S" : "S") + std::to_string(i);
    backward += (i ? "-S" : "S") + std::to_string(299 - i);
  }
  EXPECT_EQ(PrepareScrollText(forward, true), backward);
}

TEST(PrepareStations, StripsOuterHyphensAndSwapsWhenInverted) {
  struct Case {
    std::string_view start, end;
    bool invert;
    std::string_view shown_start, shown_end;
  };
  const Case cases[] = {
      {"St. Moritz", "Tirano", false, "St. Moritz", "Tirano"},
      {"St. Moritz", "Tirano", true, "Tirano", "St. Moritz"},
      {" St. Moritz-", "--Tirano--", false, " St. Moritz", "Tirano"},
      {"-Chur-West-", " - ", true, " - ", "Chur-West"},
      {"---", "", false, "", ""},
  };
  for (const Case& c : cases) {
    const PreviewStations shown = PrepareStations(c.start, c.end, c.invert);
    EXPECT_EQ(shown.start_text, c.shown_start) << c.start << " / " << c.end;
    EXPECT_EQ(shown.end_text, c.shown_end) << c.start << " / " << c.end;
  }
}

TEST(ParsePreviewInteger, ReadsLeadingNumberInThreeBases) {
  struct Case {
    std::string_view text;
    int64_t expected;
  };
  const Case cases[] = {
      {"1000", 1000},
      {" \t 42ms", 42},
      {"+7", 7},
      {"-150", -150},
      {"", 0},
      {"abc", 0},
      {"-", 0},
      {"\n5", 0},
      {"12 34", 12},
      {"$FF", 255},
      {"$ff", 255},
      {"-$10", -16},
      {"$", 0},
      {"$1G", 1},
      {"%101", 5},
      {"%102", 2},
      {"%", 0},
      {"9223372036854775807", kMax},
      {"9223372036854775808", kMax},
      {"99999999999999999999999999", kMax},
      {"-9223372036854775808", kMin},
      {"-99999999999999999999999999", kMin},
      {"$FFFFFFFFFFFFFFFFFFFF", kMax},
  };
  for (const Case& c : cases) EXPECT_EQ(ParsePreviewInteger(c.text), c.expected) << c.text;
}

// --- the tick ---------------------------------------------------------------

TEST(TickPreview, StandingStillAtBothEndsTakes29TicksPerCycle) {
  const auto input = Input(kRoute, kStartModeStamp, "1000", kEndModeStop, "1000");
  std::vector<int64_t> cycle;
  Append(cycle, 1, 1, 11);
  Append(cycle, 2, 8);
  Append(cycle, 9, 9, 11);
  ASSERT_EQ(cycle.size(), 29u);
  std::vector<int64_t> expected = cycle;
  expected.insert(expected.end(), cycle.begin(), cycle.end());

  const Trace trace = RunTicks(input, {}, 58);
  EXPECT_EQ(trace.positions, expected);
  EXPECT_EQ(trace.windows.front(), "Pontresina-Mor");
  EXPECT_EQ(trace.windows[11], "ontresina-Mort");
  EXPECT_EQ(trace.windows[28], "na-Morteratsch");
  EXPECT_EQ(trace.end_state, (PreviewState{1, 0}));
}

TEST(TickPreview, RunningInAndOutPadsTo48CharactersAnd35Ticks) {
  const auto input = Input(kRoute, kStartModeRunIn, "1000", kEndModeRunOut, "1000");
  std::vector<int64_t> expected;
  Append(expected, 1, 35);
  Append(expected, 1, 35);

  const Trace trace = RunTicks(input, {}, 70);
  EXPECT_EQ(trace.positions, expected);
  EXPECT_EQ(trace.windows[0], kBlanks13 + "P");
  EXPECT_EQ(trace.windows[13], "Pontresina-Mor");
  EXPECT_EQ(trace.windows[34], "h" + kBlanks13);
  EXPECT_EQ(trace.windows[35], trace.windows[0]);
  for (const std::string& window : trace.windows) EXPECT_EQ(Utf16Length(window), 14u);
  EXPECT_EQ(trace.end_state, (PreviewState{1, 0}));
}

TEST(TickPreview, OnePaddingAndOnePause) {
  // Run in (35 characters, last 22), stand still at the end for 200 ms.
  const auto input = Input(kRoute, kStartModeRunIn, "", kEndModeStop, "200");
  std::vector<int64_t> expected;
  Append(expected, 1, 21);
  Append(expected, 22, 22, 3);
  const Trace trace = RunTicks(input, {}, 24);
  EXPECT_EQ(trace.positions, expected);
  EXPECT_EQ(trace.windows[21], "na-Morteratsch");
  EXPECT_EQ(trace.end_state, (PreviewState{1, 0}));
}

TEST(TickPreview, TextOfAtMost14CharactersStandsStill) {
  const std::string_view texts[] = {"", "ABCDEFGHIJKLMN", "Alp Grüm",
                                    "\xF0\x9F\x9A\x82\xF0\x9F\x9A\x82\xF0\x9F\x9A\x82"
                                    "\xF0\x9F\x9A\x82\xF0\x9F\x9A\x82\xF0\x9F\x9A\x82"
                                    "\xF0\x9F\x9A\x82"};  // 7 locomotives, 14 units
  const PreviewState state{3, 5};
  for (std::string_view text : texts) {
    const PreviewTickResult result =
        TickPreview(state, Input(text, kStartModeRunIn, "1000", kEndModeRunOut, "1000"));
    EXPECT_EQ(result.window, text);
    EXPECT_EQ(result.next, state);
  }
}

TEST(TickPreview, FifteenCharactersScrollWithLastPosition2) {
  const std::string_view text = "ABCDEFGHIJKLMNO";
  const auto no_modes = RunTicks(Input(text, -1, "1000", -1, "1000"), {}, 4);
  EXPECT_EQ(no_modes.positions, (std::vector<int64_t>{1, 2, 1, 2}));
  EXPECT_EQ(no_modes.windows[0], "ABCDEFGHIJKLMN");
  EXPECT_EQ(no_modes.windows[1], "BCDEFGHIJKLMNO");

  const auto pauses = RunTicks(Input(text, kStartModeStamp, "100", kEndModeStop, "1"), {}, 6);
  EXPECT_EQ(pauses.positions, (std::vector<int64_t>{1, 1, 2, 1, 1, 2}));
}

TEST(TickPreview, ModeWithoutSelectionAddsNoBlanksAndNoPause) {
  const Trace trace = RunTicks(Input(kAlphabet20, -1, "5000", -1, "5000"), {}, 8);
  EXPECT_EQ(trace.positions, (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7, 1}));
  EXPECT_EQ(trace.windows[6], "GHIJKLMNOPQRST");
}

TEST(TickPreview, PauseLengthFollowsTimeTextReadAtEveryTick) {
  struct Case {
    std::string_view time;
    int ticks;
  };
  const Case cases[] = {
      {"1", 1},       {"99", 1},        {"", 1},         {"0", 1},       {"-500", 1},
      {"abc", 1},     {"100", 2},       {"199", 2},      {"250ms", 3},   {" \t1000", 11},
      {"9999", 100},  {"$64", 2},       {"%1100100", 2}, {"25500", 256}, {"30000", 301},
  };
  for (const Case& c : cases) {
    const auto at_start = Input(kAlphabet20, kStartModeStamp, c.time, kEndModeRunOut, "");
    EXPECT_EQ(TicksAt(at_start, {1, 0}), c.ticks) << "start " << c.time;
    const auto at_end = Input(kAlphabet20, -1, "", kEndModeStop, c.time);
    EXPECT_EQ(TicksAt(at_end, {7, 0}), c.ticks) << "end " << c.time;
  }
}

TEST(TickPreview, ChangedTimeAppliesAtTheNextTick) {
  PreviewState state{1, 0};
  for (int i = 0; i < 5; ++i) {
    state = TickPreview(state, Input(kRoute, kStartModeStamp, "1000", kEndModeStop, "")).next;
  }
  EXPECT_EQ(state, (PreviewState{1, 5}));
  state = TickPreview(state, Input(kRoute, kStartModeStamp, "500", kEndModeStop, "")).next;
  EXPECT_EQ(state, (PreviewState{2, 0}));
}

TEST(TickPreview, HugePauseCountsAndTimesStayDefined) {
  const auto huge = Input(kRoute, kStartModeStamp, "99999999999999999999", kEndModeStop,
                          "-99999999999999999999");
  EXPECT_EQ(TickPreview({1, 7}, huge).next, (PreviewState{1, 8}));
  EXPECT_EQ(TickPreview({1, kMax - 1}, huge).next, (PreviewState{2, 0}));
  EXPECT_EQ(TickPreview({1, kMax}, huge).next, (PreviewState{2, 0}));
  EXPECT_EQ(TickPreview({9, 0}, huge).next, (PreviewState{1, 0}));
}

TEST(TickPreview, ShrinkingAndGrowingTextKeepsPositionAndPause) {
  const auto long_text = Input(kRoute, kStartModeStamp, "1000", kEndModeStop, "1000");
  const auto short_text = Input("Tirano", kStartModeStamp, "1000", kEndModeStop, "1000");

  PreviewTickResult result = TickPreview({5, 0}, short_text);
  EXPECT_EQ(result.window, "Tirano");
  EXPECT_EQ(result.next, (PreviewState{5, 0}));
  result = TickPreview(result.next, long_text);
  EXPECT_EQ(result.window, "resina-Mortera");
  EXPECT_EQ(result.next, (PreviewState{6, 0}));

  // A pause interrupted by a short text goes on counting from where it was.
  PreviewState state = RunTicks(long_text, {1, 0}, 7).end_state;
  EXPECT_EQ(state, (PreviewState{1, 7}));
  state = RunTicks(short_text, state, 3).end_state;
  EXPECT_EQ(state, (PreviewState{1, 7}));
  EXPECT_EQ(TicksAt(long_text, state), 4);
}

TEST(TickPreview, PositionBeyondTheEndShowsWhatIsLeftThenRestarts) {
  struct Case {
    PreviewState state;
    std::string_view window;
  };
  // 20 characters without padding: last position 7.
  const Case cases[] = {
      {{8, 0}, "HIJKLMNOPQRST"}, {{20, 3}, "T"},  {{21, 0}, ""},
      {{kMax, 0}, ""},           {{0, 0}, "ABCDEFGHIJKLMN"}, {{-4, 2}, "ABCDEFGHIJKLMN"},
  };
  const auto input = Input(kAlphabet20, kStartModeStamp, "1000", kEndModeStop, "1000");
  for (const Case& c : cases) {
    const PreviewTickResult result = TickPreview(c.state, input);
    EXPECT_EQ(result.window, c.window) << c.state.position;
    EXPECT_EQ(result.next, (PreviewState{1, c.state.pause_ticks})) << c.state.position;
  }
}

TEST(TickPreview, SwitchingToRunningModeEndsPauseButKeepsItsCount) {
  const auto stamping = Input(kAlphabet20, kStartModeStamp, "1000", kEndModeStop, "1000");
  const auto running_in = Input(kAlphabet20, kStartModeRunIn, "1000", kEndModeStop, "1000");
  PreviewState state = RunTicks(stamping, {1, 0}, 4).end_state;
  ASSERT_EQ(state, (PreviewState{1, 4}));

  const PreviewTickResult result = TickPreview(state, running_in);
  EXPECT_EQ(result.window, kBlanks13 + "A");
  EXPECT_EQ(result.next, (PreviewState{2, 4}));

  // Padded to 33 characters, last 20: the end pause starts from the 4 ticks.
  const Trace trace = RunTicks(running_in, result.next, 26);
  std::vector<int64_t> expected;
  Append(expected, 2, 19);
  Append(expected, 20, 20, 7);
  expected.push_back(1);
  EXPECT_EQ(trace.positions, expected);
}

TEST(TickPreview, UmlautsAreNeverSplit) {
  const std::string_view text = "Alp Grüm-Ospizio Bernina-Morteratsch";
  const Trace trace = RunTicks(Input(text, kStartModeRunIn, "", kEndModeRunOut, ""), {}, 36);
  for (const std::string& window : trace.windows) {
    EXPECT_TRUE(IsValidUtf8(window)) << window;
    EXPECT_EQ(Utf16Length(window), 14u) << window;
    EXPECT_EQ(window.find(kReplacement), std::string::npos) << window;
  }
  EXPECT_EQ(trace.windows[13 + 6], "üm-Ospizio Ber");
  EXPECT_EQ(trace.windows[7], "      Alp Grüm");
}

TEST(TickPreview, WindowCuttingASurrogatePairStaysValidUtf8) {
  const std::string loco = "\xF0\x9F\x9A\x82";  // U+1F682, two UTF-16 units
  const std::string at_third = "AB" + loco + "CDEFGHIJKLMNOP";
  const std::string at_fourteenth = "ABCDEFGHIJKLM" + loco + "XYZ";
  const auto modes = [](const std::string& text) {
    return Input(text, kStartModeRunIn, "", kEndModeRunOut, "");
  };
  EXPECT_EQ(TickPreview({14, 0}, modes(at_third)).window, "AB" + loco + "CDEFGHIJKL");
  EXPECT_EQ(TickPreview({17, 0}, modes(at_third)).window, kReplacement + "CDEFGHIJKLMNO");
  EXPECT_EQ(TickPreview({14, 0}, modes(at_fourteenth)).window, "ABCDEFGHIJKLM" + kReplacement);
  EXPECT_EQ(TickPreview({1, 0}, modes(at_fourteenth)).window, kBlanks13 + "A");

  for (const std::string& text : {at_third, at_fourteenth, loco + loco + loco + loco + loco +
                                                               "x" + loco + loco + loco + loco}) {
    const Trace trace = RunTicks(modes(text), {}, 60);
    for (const std::string& window : trace.windows) {
      EXPECT_TRUE(IsValidUtf8(window));
      EXPECT_EQ(Utf16Length(window), 14u);
    }
  }
}

TEST(TickPreview, ThousandCharacterTextScrollsToItsEndAndWraps) {
  std::string text;
  for (int i = 0; i < 199; ++i) text += "Grüm-";
  text += "Ende!";
  ASSERT_EQ(Utf16Length(text), 1000u);

  const Trace plain = RunTicks(Input(text, kStartModeStamp, "1", kEndModeStop, "1"), {}, 988);
  std::vector<int64_t> expected;
  Append(expected, 1, 987);
  expected.push_back(1);
  EXPECT_EQ(plain.positions, expected);
  EXPECT_EQ(plain.windows[986], "rüm-Grüm-Ende!");

  const Trace padded = RunTicks(Input(text, kStartModeRunIn, "", kEndModeRunOut, ""), {}, 1014);
  expected.clear();
  Append(expected, 1, 1013);
  expected.push_back(1);
  EXPECT_EQ(padded.positions, expected);
  EXPECT_EQ(padded.windows[1012], "!" + kBlanks13);
}

}  // namespace
}  // namespace zielwerk
