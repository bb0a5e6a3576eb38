// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer queue's steps against a pseudo-terminal, with a stand-in
// clock: what goes on the wire when, which status texts appear, and that a
// transfer is carried out whole before the next one begins.
#include "core/link/transfer_queue.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/link/display_commands.h"
#include "support/pseudo_terminal.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using std::chrono::milliseconds;
using Clock = TransferQueue::Clock;
using Statuses = std::vector<std::string>;

class TransferQueueTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(port_.Open(pty_.SlavePath()).ok); }

  // The queue at `after` past the start; the statuses it gave.
  Statuses At(milliseconds after) {
    last_ = queue_.Advance(start_ + after);
    return last_.statuses;
  }
  // The display's answer, queued on the port's side once this returns.
  void Answer(const std::string& bytes) {
    ASSERT_TRUE(pty_.Write(bytes));
    for (int i = 0; i < 400 && port_.WaitingBytes() < bytes.size(); ++i) {
      std::this_thread::sleep_for(milliseconds(2));
    }
  }

  testing::PseudoTerminal pty_;
  SerialPort port_;
  TransferQueue queue_{port_};
  const Clock::time_point start_ = Clock::now();
  TransferQueue::Outcome last_;
};

const std::vector<std::string> kRows = {"0A", "1B", "2C", "3D", "4E", "5F", "6G"};
const std::vector<std::string> kTwoRows = {"0A", "1B"};
const std::string kSilent("Keine Bestätigung empfangen");
const std::string kUnavailable("Serielle Schnittstelle nicht verfügbar");
const std::string kReset("Display geresettet");
const std::string kResetClosed("Fehler: Serielle Schnittstelle ist geschlossen");

// Each row goes out when the one before has had its 500 ms, the reply is read
// no earlier, the status names the row in flight; the last reply stays.
TEST_F(TransferQueueTest, PictureRowsGoOneAfterTheOtherEveryFiveHundredMilliseconds) {
  queue_.Add(PictureJob(kRows));
  for (int row = 0; row < 7; ++row) {
    SCOPED_TRACE(row);
    const milliseconds due(500 * row);
    const Statuses statuses = At(due);
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), "Bild wird gesendet: Zeile " + std::to_string(row + 1) + " von 7");
    if (row > 0) {
      EXPECT_EQ(statuses.front(), "Empfangen: ok" + std::to_string(row - 1));
    }
    EXPECT_EQ(last_.call_again_at, start_ + due + kAcknowledgeWait);
    EXPECT_EQ(pty_.ReadLine(), kRows[row] + "\n");

    Answer("ok" + std::to_string(row) + "\n");
    EXPECT_EQ(At(due + milliseconds(499)), Statuses{});
    EXPECT_EQ(pty_.ReadAvailable(), "") << "nothing more before the reply is due";
  }
  EXPECT_EQ(At(milliseconds(3500)), Statuses{"Empfangen: ok6"});
  EXPECT_EQ(last_.call_again_at, std::nullopt);
  EXPECT_TRUE(queue_.Idle());
}

// A send or reset asked for while a transfer runs waits for it; the same
// transfer asked for twice while it waits goes once.
TEST_F(TransferQueueTest, LaterTransfersWaitTheirTurnAndRepeatsWaitingAreDropped) {
  queue_.Add(PictureJob(kTwoRows));
  At(milliseconds(0));
  queue_.Add(SettingsJob({}));
  queue_.Add(ResetJob());
  queue_.Add(ResetJob());
  queue_.Add(SettingsJob({}));
  queue_.Add(SettingsJob({}));
  EXPECT_EQ(At(milliseconds(100)), Statuses{});
  EXPECT_EQ(pty_.ReadAvailable(), "0A\n");

  EXPECT_EQ(At(milliseconds(500)), (Statuses{kSilent, "Bild wird gesendet: Zeile 2 von 2"}));
  EXPECT_EQ(At(milliseconds(1000)), (Statuses{kSilent, "Einstellungen werden gesendet"}));
  EXPECT_EQ(pty_.ReadLine(), "1B\n!100010000100000040\n");
  // The reset's pulse follows the settings' reply: DTR on, 50 ms, off.
  EXPECT_EQ(At(milliseconds(1500)), Statuses{kSilent});
  EXPECT_EQ(last_.call_again_at, start_ + milliseconds(1550));
  EXPECT_EQ(At(milliseconds(1550)), (Statuses{kReset, "Einstellungen werden gesendet"}));
  EXPECT_EQ(At(milliseconds(2050)), Statuses{kSilent});
  EXPECT_TRUE(queue_.Idle());
  EXPECT_EQ(pty_.ReadAvailable(), "!100010000100000040\n");
}

TEST_F(TransferQueueTest, CancelStopsTheRemainingRowsAndDropsWhatWaits) {
  queue_.Add(PictureJob(kRows));
  queue_.Add(SettingsJob({}));
  At(milliseconds(0));
  At(milliseconds(500));
  queue_.Cancel();
  EXPECT_TRUE(queue_.Idle());
  EXPECT_EQ(At(milliseconds(5000)), Statuses{});
  EXPECT_EQ(last_.call_again_at, std::nullopt);
  EXPECT_EQ(pty_.ReadAvailable(), "0A\n1B\n");
}

// A closed line answers every step at once, without a wait.
TEST_F(TransferQueueTest, ClosedLineReportsEveryStepAtOnce) {
  port_.Close();
  queue_.Add(PictureJob(kTwoRows));
  queue_.Add(ResetJob());
  EXPECT_EQ(At(milliseconds(0)), (Statuses{kUnavailable, kUnavailable,
                                           kResetClosed}));
  EXPECT_EQ(last_.call_again_at, std::nullopt);
}

// A command longer than the driver's buffer waits for the line to take it
// and goes out whole.
TEST_F(TransferQueueTest, CommandLongerThanTheDriverBufferGoesOutWhole) {
  std::string command(256 * 1024, '\0');
  for (size_t i = 0; i < command.size(); ++i) command[i] = static_cast<char>('a' + i % 26);
  std::string received;
  std::thread reader([&] {
    std::this_thread::sleep_for(milliseconds(100));
    received = pty_.ReadUntil(command.size() + 1, milliseconds(10000));
  });
  EXPECT_EQ(RunLinkJob(port_, {LinkStep{LinkStep::Kind::kExchange, command, {}}}, milliseconds(0)),
            kSilent);
  reader.join();
  EXPECT_TRUE(testing::BytesEqual(command + "\n", received));
}

// A line that takes no more bytes holds up no one: the write is tried again
// every few milliseconds and given up once the line has taken nothing for a
// second and a half and 2 ms per byte left (1700 ms for 100 bytes), with the
// stall's error. Nothing of it is left to go out later: the next command
// reaches the far end alone, on a line of its own.
TEST_F(TransferQueueTest, StalledWriteFailsAfterTheStallLimitAndLeavesACleanLine) {
  const std::string long_command(256 * 1024, 'x');
  queue_.Add({LinkStep{LinkStep::Kind::kExchange, long_command, {}}});
  EXPECT_EQ(At(milliseconds(0)), Statuses{});
  ASSERT_TRUE(last_.call_again_at.has_value());
  EXPECT_LE(*last_.call_again_at, start_ + milliseconds(10));
  const size_t backlog = port_.WriteBacklog();
  ASSERT_GT(backlog, 0u);
  EXPECT_EQ(At(milliseconds(20)), Statuses{});
  const milliseconds stalled(1500 + 2 * static_cast<int64_t>(backlog));
  EXPECT_EQ(At(stalled - milliseconds(1)), Statuses{});
  EXPECT_EQ(last_.call_again_at, start_ + stalled);
  EXPECT_EQ(At(stalled), Statuses{"Error 11"});
  EXPECT_TRUE(queue_.Idle());

  queue_.Add({LinkStep{LinkStep::Kind::kExchange, "!100010000100000040", {}}});
  std::string received;
  for (int i = 0; i < 200 && !received.ends_with("!100010000100000040\n"); ++i) {
    At(stalled + milliseconds(10 * i));
    received += pty_.ReadUntil(1, milliseconds(10));
  }
  EXPECT_TRUE(received.ends_with("\n!100010000100000040\n")) << received.size();
  EXPECT_LT(received.size(), long_command.size() - backlog + 21) << "the rest was sent after all";
}

}  // namespace
}  // namespace zielwerk
