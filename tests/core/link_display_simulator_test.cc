// SPDX-License-Identifier: GPL-3.0-or-later
// Reading command lines back in readable form, and the display simulator
// program answering a real exchange.
#include "simulator/command_description.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "core/link/display_commands.h"
#include "core/link/transfer_queue.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using std::chrono::milliseconds;
using Lines = std::vector<std::string>;

const std::string kDark(160, '#');
const std::string kLight(160, '.');

std::string RowCommand(char digit, std::string_view first_row, std::string_view second_row) {
  return std::string(1, digit) + std::string(first_row) + std::string(second_row);
}

struct DescriptionCase {
  const char* name;
  std::string line;
  Lines described;
};

class DescribeCommandLineTest : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(DescribeCommandLineTest, ShowsTheLineReadably) {
  EXPECT_EQ(DescribeCommandLine(GetParam().line), GetParam().described);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DescribeCommandLineTest,
    ::testing::Values(
        DescriptionCase{"DefaultSettings",
                        "!100010000100000040",
                        {"Einstellungen", "Wagennummer: 1", "keine Wagennummer anzeigen: 0 (angezeigt)",
                         "Zugtyp: 0 (BERNINA EXPRESS)", "Modus Anfang: 0 (Reinstampfen)",
                         "Zeit Anfang: 1000 ms", "Modus Ende: 0 (Stehenbleiben)",
                         "Zeit Ende: 1000 ms", "DCC/Analog: 0 (Aus)", "DCC-Adresse: 004",
                         "Fahrtrichtung invertieren: 0 (nein)"}},
        DescriptionCase{"SettingsWithoutSelectionAndTopValues",
                        "!91-11999910001312" "71",
                        {"Einstellungen", "Wagennummer: 9", "keine Wagennummer anzeigen: 1 (ausgeblendet)",
                         "Zugtyp: -1 (keiner gewählt)", "Modus Anfang: 1 (Reinlaufen)",
                         "Zeit Anfang: 9999 ms", "Modus Ende: 1 (Rauslaufen)",
                         "Zeit Ende: 0001 ms", "DCC/Analog: 3 (Automatisch)",
                         "DCC-Adresse: 127", "Fahrtrichtung invertieren: 1 (ja)"}},
        DescriptionCase{"SettingsTooShort", "!1000100001", {"Fehlerhafter Einstellungsbefehl: !1000100001"}},
        DescriptionCase{"SettingsTooLong", "!1000100001000000400",
                        {"Fehlerhafter Einstellungsbefehl: !1000100001000000400"}},
        DescriptionCase{"RouteWithUmlautsRestored",
                        "St. Moritz-Alp Gr%m-K$ln-B#r-\xC3\x96hningen",
                        {"Lauftext: St. Moritz-Alp Gr\xC3\xBCm-K\xC3\xB6ln-B\xC3\xA4r-\xC3\x96hningen"}},
        DescriptionCase{"AllDarkRows", RowCommand('6', std::string(40, 'F'), std::string(40, 'F')),
                        {"Bildzeilen 12 und 13", kDark, kDark}},
        DescriptionCase{"TopLeftPixelOnly", RowCommand('0', "80" + std::string(38, '0'), std::string(40, '0')),
                        {"Bildzeilen 0 und 1", "#" + kLight.substr(1), kLight}},
        DescriptionCase{"BitOrderWithinABytePair",
                        RowCommand('3', "A5" + std::string(36, '0') + "01", std::string(40, 'f')),
                        {"Bildzeilen 6 und 7", "#.#..#.#" + kLight.substr(8, 151) + "#", kDark}},
        DescriptionCase{"PictureRowTooShort", "1" + std::string(79, '0'),
                        {"Fehlerhafter Bildzeilenbefehl: 1" + std::string(79, '0')}},
        DescriptionCase{"PictureRowNotHex", RowCommand('2', "G" + std::string(39, '0'), std::string(40, '0')),
                        {"Fehlerhafter Bildzeilenbefehl: 2G" + std::string(79, '0')}},
        DescriptionCase{"DigitSevenIsNoPictureRow", "7abc", {"Unbekannter Befehl: 7abc"}},
        DescriptionCase{"ControlBytesAndBadUtf8Escaped", "-\x01\r\xFF",
                        {"Unbekannter Befehl: -\\x01\\x0D\xEF\xBF\xBD"}},
        DescriptionCase{"Empty", "", {"Leere Zeile"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseSettingsCommandTest, ReadsBackWhatSettingsCommandWrites) {
  SettingsCommandFields top;
  top.car_number = 9, top.hide_car_number = 1, top.train_type = -1, top.start_mode = 1;
  top.start_time_text = "0500", top.end_mode = -1, top.end_time_text = "9999";
  top.dcc_analog = 2, top.dcc_address_text = "003", top.invert_direction = 1;
  for (const SettingsCommandFields& fields : {SettingsCommandFields{}, top}) {
    const std::string command = SettingsCommand(fields);
    const std::optional<SettingsCommandFields> parsed = ParseSettingsCommand(command);
    ASSERT_TRUE(parsed.has_value()) << command;
    EXPECT_EQ(SettingsCommand(*parsed), command);
    EXPECT_EQ(parsed->train_type, fields.train_type);
    EXPECT_EQ(parsed->end_mode, fields.end_mode);
  }
  EXPECT_EQ(ParseSettingsCommand("Tirano"), std::nullopt);
  EXPECT_EQ(ParseSettingsCommand("!x00010000100000040"), std::nullopt);
}

// The simulator program, started with its standard output on a pipe.
class Simulator {
 public:
  explicit Simulator(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), std::string(ZIELWERK_BINARY_DIR "/zielwerk-display-sim"));
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    output_ = output[0];
  }
  ~Simulator() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) close(output_);
  }

  // The port name the simulator prints first ("pts/3"), or "" after 5 s.
  std::string PortName() {
    ReadUntil([this] { return output_text_.find('\n') != std::string::npos; });
    const std::string first_line = output_text_.substr(0, output_text_.find('\n'));
    return first_line.starts_with("Port: ") ? first_line.substr(6) : "";
  }

  // Waits (at most 5 s) for the simulator to end; its exit status, or -1.
  int Wait() {
    ReadUntil([] { return false; });
    int status = 0;
    if (waitpid(pid_, &status, 0) != pid_) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void Signal(int number) { kill(pid_, number); }
  const std::string& Output() const { return output_text_; }

 private:
  template <typename Done>
  void ReadUntil(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
      pollfd entry{output_, POLLIN, 0};
      if (poll(&entry, 1, 50) <= 0) continue;
      char chunk[4096];
      const ssize_t got = read(output_, chunk, sizeof chunk);
      if (got <= 0) return;
      output_text_.append(chunk, static_cast<size_t>(got));
    }
  }

  pid_t pid_ = -1;
  int output_ = -1;
  std::string output_text_;
};

bool SimulatorBuilt() {
  return access(ZIELWERK_BINARY_DIR "/zielwerk-display-sim", X_OK) == 0;
}

TEST(DisplaySimulatorTest, AnswersEveryCommandAndShowsItReadably) {
  if (!SimulatorBuilt()) GTEST_SKIP() << "zielwerk-display-sim has not been built";
  Simulator simulator({"--exit-after", "3", "--delay", "10", "--reply", "Bereit"});
  const std::string port_name = simulator.PortName();
  ASSERT_TRUE(port_name.starts_with("pts/")) << simulator.Output();

  SerialPort port;
  // The simulator holds the line through a close and a new open.
  ASSERT_TRUE(port.Open(PortDevicePath(port_name)).ok);
  port.Close();
  ASSERT_TRUE(port.Open(PortDevicePath(port_name)).ok);

  const std::string received = "Empfangen: Bereit";
  EXPECT_EQ(CommandExchange(port, SettingsCommand(SettingsCommandFields{})), received);
  EXPECT_EQ(CommandExchange(port, ScrollTextCommand("St. Moritz", "Alp Gr\xC3\xBCm", "Tirano"),
                            milliseconds(300)),
            received);
  EXPECT_EQ(CommandExchange(port, RowCommand('0', std::string(40, 'F'), std::string(40, '0')),
                            milliseconds(300)),
            received);
  EXPECT_EQ(simulator.Wait(), 0);

  const std::string& output = simulator.Output();
  EXPECT_NE(output.find("[1] Einstellungen\n"), std::string::npos) << output;
  EXPECT_NE(output.find("    DCC-Adresse: 004\n"), std::string::npos) << output;
  EXPECT_NE(output.find("[2] Lauftext: St. Moritz-Alp Gr\xC3\xBCm-Tirano\n"), std::string::npos) << output;
  EXPECT_NE(output.find("[3] Bildzeilen 0 und 1\n    " + kDark + "\n    " + kLight + "\n"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("beantwortet mit „Bereit\\x0A“"), std::string::npos) << output;
}

// The simulator takes the bytes at 9600 baud, 10 bit times each: the answer
// to an 82-byte picture row cannot come before its 85 ms on the line.
TEST(DisplaySimulatorTest, AnswersNoSoonerThanTheLineCouldHaveArrived) {
  if (!SimulatorBuilt()) GTEST_SKIP() << "zielwerk-display-sim has not been built";
  Simulator simulator({"--exit-after", "1", "--delay", "0"});
  const std::string port_name = simulator.PortName();
  ASSERT_TRUE(port_name.starts_with("pts/")) << simulator.Output();
  SerialPort port;
  ASSERT_TRUE(port.Open(PortDevicePath(port_name)).ok);

  const std::string line = RowCommand('0', std::string(40, 'F'), std::string(40, '0')) + "\n";
  ASSERT_EQ(line.size(), 82u);
  // Timed from before the write, so however the test is scheduled the
  // measured time is never shorter than the simulator's.
  const auto written = std::chrono::steady_clock::now();
  ASSERT_EQ(port.StartWrite(line), WriteProgress::kDone);
  std::string answer;
  while (answer.empty() && std::chrono::steady_clock::now() - written < std::chrono::seconds(2)) {
    char chunk[16];
    answer.append(chunk, port.Read(chunk));
    if (answer.empty()) usleep(200);
  }
  const auto took = std::chrono::steady_clock::now() - written;
  EXPECT_EQ(answer.substr(0, 1), "O");
  EXPECT_GE(took, std::chrono::milliseconds(85)) << "answered after "
      << std::chrono::duration_cast<std::chrono::microseconds>(took).count() << " us";
  RecordProperty("answer_us",
                 static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(took).count()));
  EXPECT_EQ(simulator.Wait(), 0);
}

TEST(DisplaySimulatorTest, SilentSimulatorStopsCleanlyOnTerminate) {
  if (!SimulatorBuilt()) GTEST_SKIP() << "zielwerk-display-sim has not been built";
  Simulator simulator({"--silent"});
  const std::string port_name = simulator.PortName();
  ASSERT_TRUE(port_name.starts_with("pts/")) << simulator.Output();
  SerialPort port;
  ASSERT_TRUE(port.Open(PortDevicePath(port_name)).ok);
  EXPECT_EQ(CommandExchange(port, "Chur--Arosa", milliseconds(200)), "Keine Bestätigung empfangen");
  simulator.Signal(SIGTERM);
  EXPECT_EQ(simulator.Wait(), 0);
  EXPECT_NE(simulator.Output().find("[1] Lauftext: Chur--Arosa\n"), std::string::npos);
  EXPECT_TRUE(simulator.Output().ends_with("Beendet.\n")) << simulator.Output();
}

}  // namespace
}  // namespace zielwerk
