// SPDX-License-Identifier: GPL-3.0-or-later
// zielwerk-senden as a script meets it: a working folder with its files, a
// pseudo-terminal as the display, the exit status, what it prints and what
// reaches the line; no file is ever changed.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "sender/sender.h"
#include "support/pseudo_terminal.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using std::chrono::milliseconds;
using testing::FarEnd;

struct SendCase {
  const char* name;
  std::vector<std::string> arguments;  // "PTY" stands for the far end's port
  std::vector<std::pair<std::string, std::string>> files;  // "PTY" as above
  bool answers;
  int status;
  std::string out;
  std::string err;
  std::string wire;
};

void PrintTo(const SendCase& c, std::ostream* os) { *os << c.name; }

std::string WithPort(std::string text, const std::string& port) {
  for (size_t at = text.find("PTY"); at != std::string::npos; at = text.find("PTY", at)) {
    text.replace(at, 3, port);
  }
  return text;
}

const std::string kSeeHelp = "Eine Übersicht gibt zielwerk-senden --help.\n";
const std::string kRoute =
    "St. Moritz-Pontresina-Morteratsch-Ospizio Bernina-Alp Gr%m-Poschiavo-Brusio-Tirano\n";
const std::string kOpened = "Serielle Schnittstelle geöffnet\n";
const std::string kClosed = "Serielle Schnittstelle geschlossen\n";

class SenderTest : public ::testing::TestWithParam<SendCase> {};

TEST_P(SenderTest, ExitStatusOutputAndLine) {
  const SendCase& c = GetParam();
  testing::TempDir folder;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  FarEnd display(c.answers ? std::optional<std::string>("OK\n") : std::nullopt);
  for (const auto& [name, bytes] : c.files) {
    testing::WriteFileBytes(folder.File(name), WithPort(bytes, display.name()));
  }
  std::vector<std::string> arguments;
  for (const std::string& argument : c.arguments) arguments.push_back(WithPort(argument, display.name()));
  std::ostringstream out, err;
  const int status = SenderMain(arguments, out, err);
  std::this_thread::sleep_for(milliseconds(100));
  std::filesystem::current_path(previous);

  EXPECT_EQ(status, c.status);
  EXPECT_EQ(out.str(), c.out);
  EXPECT_EQ(err.str(), c.err);
  EXPECT_TRUE(testing::BytesEqual(c.wire, display.Received()));
  for (const auto& [name, bytes] : c.files) {
    EXPECT_TRUE(testing::BytesEqual(WithPort(bytes, display.name()),
                                    testing::ReadFileBytes(folder.File(name))))
        << name << " was changed";
  }
  const auto entries = std::filesystem::directory_iterator(folder.path());
  EXPECT_EQ(std::distance(begin(entries), end(entries)), static_cast<std::ptrdiff_t>(c.files.size()))
      << "a file was made";
}

INSTANTIATE_TEST_SUITE_P(
    Calls, SenderTest,
    ::testing::Values(
        SendCase{"UnknownPart", {"--nur", "einstellungen,alles"}, {}, true, 2, "",
                 "zielwerk-senden: Ungültiger Wert „einstellungen,alles“ für --nur: erlaubt sind reset, "
                 "einstellungen, lauftext und bild, durch Kommas getrennt.\n" + kSeeHelp, ""},
        SendCase{"PortMissing", {"-p", "ttyKEIN"}, {{"Default.ini", ""}}, true, 1, "",
                 "zielwerk-senden: Serielle Schnittstelle konnte nicht geöffnet werden: ttyKEIN fehlt "
                 "(Adapter eingesteckt?)\n", ""},
        SendCase{"SettingsMissing", {"-p", "PTY", "fehlt.ini"}, {}, true, 1, "",
                 "zielwerk-senden: Die Datei „fehlt.ini“ gibt es nicht.\n", ""},
        SendCase{"SettingsNotText", {"-p", "PTY"}, {{"Default.ini", std::string("\x89PNG\0\0", 6)}}, true,
                 1, "",
                 "zielwerk-senden: Die Datei „Default.ini“ ist keine Textdatei, also keine "
                 "Einstellungsdatei; es wird nichts gesendet.\n", ""},
        SendCase{"RouteRefused", {"-p", "PTY", "--nur", "lauftext"},
                 {{"Default.ini", "Anfangsstation = östlich\n"}}, true, 1, "",
                 "zielwerk-senden: F E H L E R: Erstes Zeichen muss ein Grossbuchstaben sein\n", ""},
        SendCase{"NoPictureNamed", {"-p", "PTY", "--nur", "bild"}, {{"Default.ini", ""}}, true, 1,
                 "kein Bild geladen\n", "", ""},
        SendCase{"Answered", {"-p", "/dev/PTY"}, {{"Default.ini", ""}}, true, 0,
                 kOpened + "Einstellungen werden gesendet\nEmpfangen: OK\nLauftext wird gesendet\n"
                           "Empfangen: OK\n" + kClosed,
                 "", "!100010000100000040\n" + kRoute},
        SendCase{"Silent", {"-p", "PTY", "--nur", "lauftext,einstellungen"}, {{"Default.ini", ""}}, false,
                 1,
                 kOpened + "Einstellungen werden gesendet\nKeine Bestätigung empfangen\nLauftext wird "
                           "gesendet\nKeine Bestätigung empfangen\n" + kClosed,
                 "", "!100010000100000040\n" + kRoute},
        // Without -p and a file: Zielstell.ini's port and file; the car
        // number for this call only.
        SendCase{"RememberedPortAndFile", {"--wagennummer", "5", "--nur", "einstellungen"},
                 {{"Zielstell.ini", "Einstellungen = wagen.ini\r\nCOM = 0\r\nCOM-Name = PTY\r\n"},
                  {"wagen.ini", "\xEF\xBB\xBFWagennummer = 3\r\nZeit Ende = 20000\r\n"}},
                 true, 0, kOpened + "Einstellungen werden gesendet\nEmpfangen: OK\n" + kClosed, "",
                 "!500010000999900040\n"}),
    [](const ::testing::TestParamInfo<SendCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zielwerk
