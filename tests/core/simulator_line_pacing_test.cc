// SPDX-License-Identifier: GPL-3.0-or-later
// Cutting the line's bytes into command lines, dated by the line's speed.
#include "simulator/line_pacing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zielwerk {
namespace {

using std::chrono::nanoseconds;
using std::chrono::milliseconds;
using Clock = LinePacer::Clock;

const Clock::time_point kStart{std::chrono::seconds(1000)};

struct Chunk {
  int at_ms;
  std::string bytes;
};

struct PacingCase {
  const char* name;
  long baud;
  std::vector<Chunk> chunks;
  // Each complete line and the nanoseconds after kStart its line feed arrives.
  std::vector<std::pair<std::string, long long>> lines;
};

class LinePacerTest : public ::testing::TestWithParam<PacingCase> {};

TEST_P(LinePacerTest, LineIsCompleteWhenItsLastByteCouldHaveArrived) {
  const PacingCase& test = GetParam();
  LinePacer pacer(test.baud);
  for (const Chunk& chunk : test.chunks) pacer.Take(chunk.bytes, kStart + milliseconds(chunk.at_ms));
  for (const auto& [text, complete_ns] : test.lines) {
    const Clock::time_point complete = kStart + nanoseconds(complete_ns);
    ASSERT_EQ(pacer.NextDue(), complete) << text;
    // Not a nanosecond early: nothing is handed out before the line feed.
    EXPECT_EQ(pacer.NextLine(complete - nanoseconds(1)), std::nullopt) << text;
    const std::optional<PacedLine> line = pacer.NextLine(complete);
    ASSERT_TRUE(line.has_value()) << text;
    EXPECT_EQ(line->text, text);
  }
  EXPECT_EQ(pacer.NextDue(), std::nullopt);
}

const std::string kRow = "0" + std::string(80, 'F');  // 81 characters, 82 bytes with the line feed

INSTANTIATE_TEST_SUITE_P(
    Lines, LinePacerTest,
    ::testing::Values(
        // 82 bytes of 10 bit times at 9600 baud: 85.4 ms, 1.04 ms a byte.
        PacingCase{"PictureRowAt9600", 9600, {{0, kRow + "\n"}}, {{kRow, 85416612}}},
        PacingCase{"PictureRowAt1200", 1200, {{0, kRow + "\n"}}, {{kRow, 683333306}}},
        PacingCase{"UnpacedLineIsCompleteOnArrival", 0, {{5, "Chur\n"}}, {{"Chur", 5000000}}},
        // The second line queues behind the first; the rest waits for its line feed.
        PacingCase{"LinesReadTogetherFollowEachOther",
                   9600,
                   {{0, "ab\ncd\nef"}},
                   {{"ab", 3124998}, {"cd", 6249996}}},
        // Bytes read while the line is still busy start when it is free;
        // bytes read after a pause start when they are read.
        PacingCase{"ChunkReadWhileBusyQueues",
                   9600,
                   {{0, "abcdefghi"}, {2, "\n"}, {50, "x\n"}},
                   {{"abcdefghi", 10416660}, {"x", 52083332}}},
        PacingCase{"EmptyLine", 9600, {{0, "\n"}}, {{"", 1041666}}},
        // An overlong line is cut, in whichever chunks it came, but takes its full time.
        PacingCase{"OverlongLineCut",
                   0,
                   {{0, std::string(kLongestPacedLine - 1, 'a')}, {1, "bc"}, {2, "d\nok\n"}},
                   {{std::string(kLongestPacedLine - 1, 'a') + "b", 2000000}, {"ok", 2000000}}},
        PacingCase{"OverlongLineTakesItsTime",
                   1'000'000'000,
                   {{0, std::string(kLongestPacedLine + 9, 'a') + "\n"}},
                   {{std::string(kLongestPacedLine, 'a'), 655460}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zielwerk
