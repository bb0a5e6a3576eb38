// SPDX-License-Identifier: GPL-3.0-or-later
// The command exchange over a real pseudo-terminal pair whose master side
// plays the display: the bytes on the wire, the acknowledgement texts and
// their timing.
#include "core/link/command_exchange.h"

#include <chrono>
#include <string>
#include <thread>

#include "core/link/display_commands.h"
#include "core/link/transfer_queue.h"
#include "support/pseudo_terminal.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using namespace std::string_literals;
using std::chrono::milliseconds;
using std::chrono::steady_clock;
using testing::PseudoTerminal;

// The master side of a pseudo-terminal as the display, with the port under
// test open on the slave side.
class ExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(port_.Open(pty_.SlavePath()).ok); }
  void TearDown() override {
    port_.Close();
    CloseFarEnd();
  }
  void CloseFarEnd() {
    pty_.CloseMaster();
    pty_.CloseSlave();
  }

  // The display answers before the exchange looks: the bytes are queued on
  // the port's side once this returns.
  void Answer(std::string_view bytes) {
    ASSERT_TRUE(pty_.Write(bytes));
    for (int i = 0; i < 400 && port_.WaitingBytes() < bytes.size(); ++i) {
      std::this_thread::sleep_for(milliseconds(5));
    }
    ASSERT_EQ(port_.WaitingBytes(), bytes.size());
  }

  PseudoTerminal pty_;
  SerialPort port_;
};

struct ReplyCase {
  const char* name;
  std::string reply;
  std::string result;
};

class AcknowledgeTest : public ExchangeTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(AcknowledgeTest, ShowsTheFirstLineOfTheAnswer) {
  const ReplyCase& c = GetParam();
  Answer(c.reply);
  EXPECT_EQ(CommandExchange(port_, "!100010000100000040", milliseconds(0)), c.result);
  EXPECT_EQ(pty_.ReadLine(), "!100010000100000040\n");
  EXPECT_EQ(port_.WaitingBytes(), 0u) << "the whole answer is taken";
}

const std::string k127 = std::string(120, 'x') + "1234567";
const std::string kReceived = "Empfangen: ";

INSTANTIATE_TEST_SUITE_P(
    Replies, AcknowledgeTest,
    ::testing::Values(
        ReplyCase{"Ok", "Ok\n", kReceived + "Ok"},
        ReplyCase{"TwoLinesShowTheFirst", "A\nB\n", kReceived + "A"},
        ReplyCase{"NoLineFeed", "fertig", kReceived + "fertig"},
        ReplyCase{"ZeroByteEndsTheText", "ab\0cd\n"s, kReceived + "ab"},
        ReplyCase{"ZeroByteFirst", "\0Ok\n"s, kReceived},
        ReplyCase{"CarriageReturnStays", "Ok\r\n", kReceived + "Ok\r"},
        ReplyCase{"Utf8Answer", "Gr\xC3\xBC\xC3\x9F" "e\n", kReceived + "Gr\xC3\xBC\xC3\x9F" "e"},
        ReplyCase{"InvalidUtf8IsReplaced", "A\xFF\xC3(\n", kReceived + "A\xEF\xBF\xBD\xEF\xBF\xBD("},
        ReplyCase{"ExactlyOneHundredTwentySevenBytes", k127, kReceived + k127},
        ReplyCase{"LongerAnswerIsCutAndItsRestDropped", k127 + "-tail-" + std::string(300, 'y'),
                  kReceived + k127},
        ReplyCase{"CutInsideACharacter", std::string(126, 'x') + "\xC3\xBC",
                  kReceived + std::string(126, 'x') + "\xEF\xBF\xBD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExchangeTest, LineOnTheWireIsTheUtf8CommandAndOneLineFeed) {
  Answer("Ok\n");
  CommandExchange(port_, SettingsCommand(SettingsCommandFields{}), milliseconds(0));
  const std::string settings = pty_.ReadLine();
  EXPECT_TRUE(testing::BytesEqual("!100010000100000040\n", settings));
  EXPECT_EQ(settings.size(), 20u);

  Answer("Ok\n");
  CommandExchange(port_, "Zug \xC3\x84pfel", milliseconds(0));
  EXPECT_TRUE(testing::BytesEqual("Zug \xC3\x84pfel\n", pty_.ReadLine()));

  // A line break inside a field would make two commands of one.
  Answer("Ok\n");
  CommandExchange(port_, "Alp\nGr%m\r-Tirano", milliseconds(0));
  EXPECT_TRUE(testing::BytesEqual("Alp Gr%m -Tirano\n", pty_.ReadLine()));
}

TEST_F(ExchangeTest, SilentDisplayAfterTheFullWaitAndItsLateAnswerGoesToTheNextCommand) {
  const auto started = steady_clock::now();
  EXPECT_EQ(CommandExchange(port_, "!100010000100000040"), "Keine Bestätigung empfangen");
  EXPECT_GE(steady_clock::now() - started, kAcknowledgeWait);
  EXPECT_EQ(pty_.ReadLine(), "!100010000100000040\n");

  Answer("sp\xC3\xA4t\n");
  EXPECT_EQ(CommandExchange(port_, "Tirano--", milliseconds(0)), kReceived + "sp\xC3\xA4t");
}

TEST_F(ExchangeTest, AnswerWithinTheWaitIsTaken) {
  std::thread display([&] {
    if (pty_.ReadLine().ends_with('\n')) {
      std::this_thread::sleep_for(milliseconds(100));
      ASSERT_TRUE(pty_.Write("Ok\n"));
    }
  });
  const auto started = steady_clock::now();
  const std::string result = CommandExchange(port_, "!100010000100000040");
  const auto took = steady_clock::now() - started;
  display.join();
  EXPECT_EQ(result, kReceived + "Ok");
  EXPECT_GE(took, kAcknowledgeWait);
  EXPECT_LT(took, kAcknowledgeWait + milliseconds(400));
}

TEST_F(ExchangeTest, ClosedLineIsReportedAtOnceAndNothingIsSent) {
  port_.Close();
  const auto started = steady_clock::now();
  EXPECT_EQ(CommandExchange(port_, "!100010000100000040"), "Serielle Schnittstelle nicht verfügbar");
  EXPECT_LT(steady_clock::now() - started, milliseconds(100));
  EXPECT_EQ(pty_.ReadLine(milliseconds(50)), "");
}

TEST_F(ExchangeTest, WriteFailureShowsTheErrnoAtOnceAndKeepsTheLineOpen) {
  CloseFarEnd();
  const auto started = steady_clock::now();
  EXPECT_EQ(CommandExchange(port_, "!100010000100000040"), "Error 5");
  EXPECT_LT(steady_clock::now() - started, milliseconds(100));
  EXPECT_TRUE(port_.IsOpen());
}

struct RouteCase {
  const char* name;
  const char* start;
  const char* scroll;
  const char* end;
  std::string wire;  // empty: refused, nothing sent
};

class RouteTransferTest : public ExchangeTest, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(RouteTransferTest, SendsTheSubstitutedRouteOrNothing) {
  const RouteCase& c = GetParam();
  const std::optional<LinkJob> job = ScrollTextJob(c.start, c.scroll, c.end);
  if (c.wire.empty()) {
    EXPECT_EQ(job, std::nullopt);
    return;
  }
  ASSERT_TRUE(job.has_value());
  Answer("Ok\n");
  EXPECT_EQ(RunLinkJob(port_, *job, milliseconds(0)), kReceived + "Ok");
  EXPECT_TRUE(testing::BytesEqual(c.wire, pty_.ReadLine()));
}

INSTANTIATE_TEST_SUITE_P(
    Routes, RouteTransferTest,
    ::testing::Values(
        RouteCase{"DefaultRoute", "St. Moritz",
                  "Pontresina-Morteratsch-Ospizio Bernina-Alp Gr\xC3\xBCm-Poschiavo-Brusio", "Tirano",
                  "St. Moritz-Pontresina-Morteratsch-Ospizio Bernina-Alp Gr%m-Poschiavo-Brusio-Tirano\n"},
        RouteCase{"UpperCaseUmlautsTravelAsUtf8", "\xC3\x96konomierat", "B\xC3\xA4r", "K\xC3\xB6ln \xC3\x9C",
                  "\xC3\x96konomierat-B#r-K$ln \xC3\x9C\n"},
        RouteCase{"EmptyStartIsRefused", "", "Landquart", "Chur", ""},
        RouteCase{"LowerUmlautFirstIsRefused", "\xC3\xA4gerisee", "", "Zug", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zielwerk
