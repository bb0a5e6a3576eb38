// SPDX-License-Identifier: GPL-3.0-or-later
// The port button, the transfers and the reset in the running window. A
// pseudo-terminal pair stands in for the display: the program opens the slave
// side by the name a user would type, the test reads the master side and
// answers from a helper thread while the exchange waits for its
// acknowledgement.
#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gtkmm/messagedialog.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "app/application.h"
#include "app/command_table.h"
#include "app/link/link_commands.h"
#include "app/support/message_boxes.h"
#include "app/support/window_fixture.h"
#include "app/ui/control_events.h"
#include "app/ui/main_window.h"
#include "core/link/serial_port.h"
#include "support/pseudo_terminal.h"

namespace zielwerk {
namespace {

using testing::MessageBoxAnswerer;

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using testing::FarEnd;
using testing::PseudoTerminal;
using testing::PumpEvents;
using testing::PumpEventsUntil;
using testing::StatusShows;
using testing::WindowTest;


const std::string kOpened = "Serielle Schnittstelle geöffnet";
const std::string kOpenFailed = "Serielle Schnittstelle konnte nicht geöffnet werden";
const std::string kClosed = "Serielle Schnittstelle geschlossen";
const std::string kUnavailable = "Serielle Schnittstelle nicht verfügbar";
const std::string kNoAcknowledge = "Keine Bestätigung empfangen";

// What the window shows of the link, and whether the link is open.
struct LinkView {
  bool button_pressed;
  bool combo_enabled;
  bool display_label_enabled;
  bool reset_enabled;
  bool link_open;
  bool operator==(const LinkView&) const = default;
};

std::ostream& operator<<(std::ostream& out, const LinkView& view) {
  return out << "{button " << (view.button_pressed ? "pressed" : "released") << ", combo "
             << view.combo_enabled << ", label " << view.display_label_enabled << ", reset "
             << view.reset_enabled << ", link " << (view.link_open ? "open" : "closed") << "}";
}

constexpr LinkView kOpenView{true, false, true, true, true};
constexpr LinkView kClosedView{false, true, false, false, false};

LinkView CurrentLinkView() {
  MainWindow& form = Form();
  return LinkView{form.port_button.get_active(), form.port_combo.get_sensitive(),
                  form.display_label.get_sensitive(), form.reset_button.get_sensitive(),
                  SerialLink().IsOpen()};
}

// The user types into the port field and presses or releases "Öffnen".
void TypePortName(const std::string& text) { Form().port_combo.get_entry()->set_text(text); }
void ClickPortButton() { Form().port_button.clicked(); }

void RunCommandAsUser(Command command) {
  RunProgramCode([command] { RunCommand(command); });
}

// Runs a transfer as the user starts it and lets the main loop carry it on
// until the status bar shows `answer`, the end the user waits for.
void TransferAsUser(Command command, const std::string& answer) {
  RunCommandAsUser(command);
  PumpEventsUntil(StatusShows(answer), 5000);
  EXPECT_EQ(Form().StatusText(), answer);
}

using LinkCommands = WindowTest;

TEST_F(LinkCommands, PortButtonOpensClosesAndReopensTheTypedDevice) {
  FarEnd far_end;
  EXPECT_EQ(CurrentLinkView(), kClosedView);

  // Releasing a button whose link is closed changes nothing.
  RunProgramCode([] { TogglePortCommand(ControlEventKind::kClick); });
  EXPECT_EQ(Form().StatusText(), "Ok");

  TypePortName(far_end.name());
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    ClickPortButton();
    EXPECT_EQ(Form().StatusText(), kOpened);
    EXPECT_EQ(CurrentLinkView(), kOpenView);
    EXPECT_EQ(Form().port_button.get_label(), "Öffnen");

    ClickPortButton();
    EXPECT_EQ(Form().StatusText(), kClosed);
    EXPECT_EQ(CurrentLinkView(), kClosedView);
    EXPECT_EQ(Form().port_button.get_label(), "Öffnen");
  }
  EXPECT_EQ(far_end.Received(), "");
}

// How the port field is filled for a device that must not open, and the
// reason the status gives after the port's name.
struct RefusedPortCase {
  const char* name;
  std::function<std::string(FarEnd&, const std::string& folder)> port_text;
  std::string reason;
};

void PrintTo(const RefusedPortCase& c, std::ostream* out) { *out << c.name; }

class RefusedPort : public WindowTest, public ::testing::WithParamInterface<RefusedPortCase> {};

// A refused open reports the failure with its reason, releases the button
// and keeps the controls closed; the button opens a real device cleanly right
// afterwards.
TEST_P(RefusedPort, ReportsFailureAndLeavesTheButtonUsable) {
  FarEnd far_end;
  const std::string typed = GetParam().port_text(far_end, folder().dir().path());
  TypePortName(typed);
  ClickPortButton();
  EXPECT_EQ(Form().StatusText(),
            kOpenFailed + ": " + (typed.empty() ? "" : typed + " ") + GetParam().reason);
  EXPECT_EQ(CurrentLinkView(), kClosedView);

  flock(far_end.slave(), LOCK_UN);
  TypePortName(far_end.name());
  ClickPortButton();
  EXPECT_EQ(Form().StatusText(), kOpened);
  EXPECT_EQ(CurrentLinkView(), kOpenView);
  ClickPortButton();
  EXPECT_EQ(CurrentLinkView(), kClosedView);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, RefusedPort,
    ::testing::Values(
        // "/dev/" itself, a directory.
        RefusedPortCase{"NothingTyped", [](FarEnd&, const std::string&) { return ""; },
                        "kein Port angegeben"},
        RefusedPortCase{"MissingDevice",
                        [](FarEnd&, const std::string&) { return "ttyZielwerkMissing0"; },
                        "fehlt (Adapter eingesteckt?)"},
        // The prefix is always added, so a typed full path names nothing.
        RefusedPortCase{"FullPathTyped",
                        [](FarEnd& far_end, const std::string&) { return "/dev/" + far_end.name(); },
                        "fehlt (Adapter eingesteckt?)"},
        // A regular file reached from /dev would swallow the commands.
        RefusedPortCase{"RegularFile",
                        [](FarEnd&, const std::string& folder) {
                          const std::string file = folder + "/plain.txt";
                          testing::WriteFileBytes(file, "");
                          return ".." + file;
                        },
                        "ist keine serielle Schnittstelle"},
        // Another program holds the device.
        RefusedPortCase{"DeviceLockedElsewhere",
                        [](FarEnd& far_end, const std::string&) {
                          EXPECT_EQ(flock(far_end.slave(), LOCK_EX | LOCK_NB), 0);
                          return far_end.name();
                        },
                        "ist von einem anderen Programm belegt"}),
    [](const ::testing::TestParamInfo<RefusedPortCase>& info) { return std::string(info.param.name); });

// Form values set as the user left them, the line they give, and how the
// display answers.
struct SettingsCase {
  const char* name;
  std::function<void(MainWindow&)> set_form;
  std::optional<std::string> reply;
  std::string expected_line;
  std::string expected_status;
};

void PrintTo(const SettingsCase& c, std::ostream* out) { *out << c.name; }

class SettingsTransfer : public WindowTest, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(SettingsTransfer, SendsTheFormAsOneLineAndShowsTheAnswer) {
  FarEnd far_end(GetParam().reply);
  TypePortName(far_end.name());
  ClickPortButton();
  ASSERT_EQ(CurrentLinkView(), kOpenView);
  RunProgramCode([] { GetParam().set_form(Form()); });

  TransferAsUser(Command::kTransferSettings, GetParam().expected_status);
  EXPECT_TRUE(testing::BytesEqual(
      GetParam().expected_line,
      far_end.ReceivedAfter(milliseconds(500), GetParam().expected_line.size())));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SettingsTransfer,
    ::testing::Values(
        SettingsCase{"Defaults", [](MainWindow&) {}, "OK\n", "!100010000100000040\n",
                     "Empfangen: OK"},
        SettingsCase{"EveryFieldChanged",
                     [](MainWindow& form) {
                       form.car_number_spin.SetValue(9);
                       form.hide_car_number_check.set_active(true);
                       SelectEntry(form.train_type_combo, 3);
                       SelectEntry(form.start_mode_combo, 1);
                       form.start_time_spin.SetText("500");
                       SelectEntry(form.end_mode_combo, 1);
                       form.end_time_spin.SetText("9999");
                       SelectEntry(form.dcc_analog_combo, 3);
                       form.dcc_address_spin.SetText("3");
                       form.invert_direction_check.set_active(true);
                     },
                     std::nullopt, "!913105001999930031\n", kNoAcknowledge},
        // Emptied spin fields give zeros (the car number keeps its value),
        // combos without a selection give -1; only the first answer line shows.
        SettingsCase{"EmptiedFieldsAndNoSelection",
                     [](MainWindow& form) {
                       form.car_number_spin.SetValue(7);
                       form.car_number_spin.SetText("");
                       SelectEntry(form.train_type_combo, -1);
                       SelectEntry(form.start_mode_combo, -1);
                       form.start_time_spin.SetText("");
                       SelectEntry(form.end_mode_combo, -1);
                       form.end_time_spin.SetText("");
                       SelectEntry(form.dcc_analog_combo, -1);
                       form.dcc_address_spin.SetText("");
                     },
                     "A\r\nB\n", "!70-1-10000-10000-10000\n", "Empfangen: A\r"}),
    [](const ::testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.name); });

// Station texts as the user types them, and the route line they give.
struct ScrollTextCase {
  const char* name;
  std::function<void(MainWindow&)> user_edits;
  std::string expected_line;
};

void PrintTo(const ScrollTextCase& c, std::ostream* out) { *out << c.name; }

class ScrollTextTransfer : public WindowTest, public ::testing::WithParamInterface<ScrollTextCase> {};

TEST_P(ScrollTextTransfer, SendsTheRouteWithUmlautsSubstituted) {
  FarEnd far_end("OK\n");
  TypePortName(far_end.name());
  ClickPortButton();
  ASSERT_EQ(CurrentLinkView(), kOpenView);
  // Outside program code, so the preview rebuilds as it does for the user.
  GetParam().user_edits(Form());

  TransferAsUser(Command::kTransferScrollText, "Empfangen: OK");
  EXPECT_TRUE(testing::BytesEqual(GetParam().expected_line, far_end.Received()));
}

INSTANTIATE_TEST_SUITE_P(
    Routes, ScrollTextTransfer,
    ::testing::Values(
        ScrollTextCase{"Defaults", [](MainWindow&) {},
                       "St. Moritz-Pontresina-Morteratsch-Ospizio Bernina-Alp Gr%m-Poschiavo-Brusio-"
                       "Tirano\n"},
        // The intermediate stations turn round; the two end stations stay put.
        ScrollTextCase{"InvertedDirection",
                       [](MainWindow& form) { form.invert_direction_check.clicked(); },
                       "St. Moritz-Brusio-Poschiavo-Alp Gr%m-Ospizio Bernina-Morteratsch-Pontresina-"
                       "Tirano\n"},
        // Upper-case umlauts travel as UTF-8; an empty end station leaves the "-".
        ScrollTextCase{"TypedStations",
                       [](MainWindow& form) {
                         form.start_station_field.set_text("Ärger über Öl");
                         form.scroll_text_field.set_text("--Köln-Gäu--");
                         form.end_station_field.set_text("");
                       },
                       "\xC3\x84rger %ber \xC3\x96l-K$ln-G#u-\n"}),
    [](const ::testing::TestParamInfo<ScrollTextCase>& info) { return std::string(info.param.name); });

class RefusedFirstCharacter : public WindowTest, public ::testing::WithParamInterface<const char*> {};

// The check comes before the link is looked at: the box appears whether the
// line is closed or open, nothing is sent and the status bar keeps its text.
TEST_P(RefusedFirstCharacter, ShowsTheErrorBoxAndSendsNothing) {
  Form().start_station_field.set_text(GetParam());
  FarEnd far_end("OK\n");
  for (const bool open : {false, true}) {
    SCOPED_TRACE(open ? "line open" : "line closed");
    if (open) {
      TypePortName(far_end.name());
      ClickPortButton();
      ASSERT_EQ(CurrentLinkView(), kOpenView);
    }
    const std::string status_before = Form().StatusText();
    MessageBoxAnswerer answerer;
    const auto started = steady_clock::now();
    RunCommandAsUser(Command::kTransferScrollText);
    EXPECT_EQ(answerer.count(), 1);
    EXPECT_EQ(answerer.title(), "F E H L E R");
    EXPECT_EQ(answerer.text(), "Erstes Zeichen muss ein Grossbuchstaben sein");
    EXPECT_EQ(Form().StatusText(), status_before);
    EXPECT_LT(steady_clock::now() - started, milliseconds(400));
  }
  PumpEvents(30);
  EXPECT_EQ(far_end.Received(), "");
}

INSTANTIATE_TEST_SUITE_P(StartStations, RefusedFirstCharacter,
                         ::testing::Values("", " Chur", "1. Klasse", "ärger", "-Chur", "@Chur"));

// With the line closed every transfer reports so at once, without the wait
// for an acknowledgement; the reset reports the closed port.
TEST_F(LinkCommands, ClosedLineIsReportedAtOnce) {
  struct Case {
    std::function<void()> run;
    std::string status;
  };
  const std::vector<Case> cases = {
      {[] { RunCommandAsUser(Command::kTransferSettings); }, kUnavailable},
      {[] { RunCommandAsUser(Command::kTransferScrollText); }, kUnavailable},
      {[] { RunProgramCode([] { ResetDisplayCommand(ControlEventKind::kClick); }); },
       "Fehler: Serielle Schnittstelle ist geschlossen"},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    RunProgramCode([] { Form().SetStatusText("Ok"); });
    const auto started = steady_clock::now();
    cases[i].run();
    EXPECT_LT(steady_clock::now() - started, milliseconds(300));
    EXPECT_EQ(Form().StatusText(), cases[i].status);
  }
}

// A device that goes away while the line is open: the transfer shows the
// write error with its errno (EIO), the line stays open until the user
// releases the button, and another device opens cleanly afterwards.
TEST_F(LinkCommands, VanishedDeviceShowsWriteErrorAndButtonRecovers) {
  {
    FarEnd far_end;
    TypePortName(far_end.name());
    ClickPortButton();
    ASSERT_EQ(CurrentLinkView(), kOpenView);
    far_end.HangUp();

    const auto started = steady_clock::now();
    TransferAsUser(Command::kTransferSettings, "Error 5");
    EXPECT_LT(steady_clock::now() - started, milliseconds(400));
    EXPECT_EQ(CurrentLinkView(), kOpenView);

    ClickPortButton();
    EXPECT_EQ(Form().StatusText(), kClosed);
    EXPECT_EQ(CurrentLinkView(), kClosedView);
  }
  FarEnd replacement;
  TypePortName(replacement.name());
  ClickPortButton();
  EXPECT_EQ(Form().StatusText(), kOpened);
  EXPECT_EQ(CurrentLinkView(), kOpenView);
}

// The reset pulses DTR and sends no byte; a pseudo-terminal has no modem
// lines, and the reset still counts as done.
TEST_F(LinkCommands, ResetButtonPulsesWithoutSending) {
  FarEnd far_end("OK\n");
  TypePortName(far_end.name());
  ClickPortButton();
  ASSERT_TRUE(Form().reset_button.get_sensitive());
  const auto started = steady_clock::now();
  Form().reset_button.clicked();
  EXPECT_TRUE(PumpEventsUntil(StatusShows("Display geresettet")));
  EXPECT_GE(steady_clock::now() - started, milliseconds(50));
  PumpEvents(30);
  EXPECT_EQ(far_end.Received(), "");
  EXPECT_EQ(CurrentLinkView(), kOpenView);
}

// A transfer's steps go on while a message box waits for the user: here the
// box of a refused route, answered only after the settings' reply is due.
TEST_F(LinkCommands, TransferGoesOnWhileAMessageBoxIsOpen) {
  FarEnd far_end("OK\n");
  TypePortName(far_end.name());
  ClickPortButton();
  RunCommandAsUser(Command::kTransferSettings);
  EXPECT_EQ(Form().StatusText(), "Einstellungen werden gesendet");
  Form().start_station_field.set_text("-");
  Glib::signal_timeout().connect_once(
      [] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
          auto* box = dynamic_cast<Gtk::MessageDialog*>(window);
          if (box) box->response(Gtk::RESPONSE_OK);
        }
      },
      800);
  RunCommandAsUser(Command::kTransferScrollText);
  EXPECT_EQ(Form().StatusText(), "Empfangen: OK");
}

// A picture transfer stops cleanly when the user releases the port, and
// reports the failed writes when the adapter is pulled out halfway; either
// way the port opens again afterwards.
TEST_F(LinkCommands, PictureTransferStopsWithThePort) {
  const std::vector<std::string> rows = {"0A", "1B", "2C", "3D", "4E", "5F", "6G"};
  const auto second_row_going = [] {
    return Form().StatusText() == "Bild wird gesendet: Zeile 2 von 7";
  };
  {
    FarEnd far_end("OK\n");
    TypePortName(far_end.name());
    ClickPortButton();
    RunProgramCode([&] { SendPicture(rows); });
    ASSERT_TRUE(PumpEventsUntil(second_row_going));
    ClickPortButton();
    EXPECT_EQ(Form().StatusText(), kClosed);
    // Left running, the transfer would go on to report the closed line.
    PumpEvents(600);
    EXPECT_EQ(Form().StatusText(), kClosed);
    EXPECT_EQ(far_end.Received(), "0A\n1B\n");

    ClickPortButton();
    RunProgramCode([&] { SendPicture(rows); });
    ASSERT_TRUE(PumpEventsUntil(second_row_going));
    far_end.HangUp();
    EXPECT_TRUE(PumpEventsUntil(StatusShows("Error 5"), 3000));
    EXPECT_EQ(CurrentLinkView(), kOpenView);
    ClickPortButton();
    EXPECT_EQ(CurrentLinkView(), kClosedView);
  }
  FarEnd replacement;
  TypePortName(replacement.name());
  ClickPortButton();
  EXPECT_EQ(CurrentLinkView(), kOpenView);
}

TEST_F(LinkCommands, ShutDownClosesAnOpenLink) {
  FarEnd far_end;
  TypePortName(far_end.name());
  ClickPortButton();
  ASSERT_TRUE(SerialLink().IsOpen());

  RunProgramCode(CloseLinkAtShutdown);
  EXPECT_EQ(Form().StatusText(), kClosed);
  EXPECT_EQ(CurrentLinkView(), kClosedView);

  RunProgramCode([] { Form().SetStatusText("Ok"); });
  RunProgramCode(CloseLinkAtShutdown);
  EXPECT_EQ(Form().StatusText(), "Ok");

  ClickPortButton();
  ASSERT_TRUE(SerialLink().IsOpen());
  ShutDownNow();
  EXPECT_FALSE(SerialLink().IsOpen());
}

// The real display simulator on the other end: it prints the name to type,
// answers the settings line and describes what it received.
TEST_F(LinkCommands, TalksToTheDisplaySimulator) {
  const std::string simulator = std::string(ZIELWERK_BINARY_DIR) + "/zielwerk-display-sim";
  if (!testing::FileExists(simulator)) GTEST_SKIP() << "build the target zielwerk-display-sim first";
  FILE* output = popen((simulator + " --reply Bereit --exit-after 1").c_str(), "r");
  ASSERT_NE(output, nullptr);
  char line[512];
  ASSERT_NE(fgets(line, sizeof line, output), nullptr);
  std::string first_line = line;
  ASSERT_EQ(first_line.rfind("Port: ", 0), 0u) << first_line;
  const std::string port = first_line.substr(6, first_line.find('\n') - 6);

  TypePortName(port);
  ClickPortButton();
  ASSERT_EQ(CurrentLinkView(), kOpenView);
  TransferAsUser(Command::kTransferSettings, "Empfangen: Bereit");

  std::string printed;
  while (fgets(line, sizeof line, output) != nullptr) printed += line;
  EXPECT_EQ(pclose(output), 0);
  EXPECT_NE(printed.find("[1] "), std::string::npos) << printed;
  EXPECT_NE(printed.find("Zeit Anfang: 1000 ms"), std::string::npos) << printed;
  EXPECT_NE(printed.find("beantwortet mit „Bereit\\x0A“"), std::string::npos) << printed;
  ClickPortButton();
  EXPECT_EQ(CurrentLinkView(), kClosedView);
}

// Start-up with a stand-in for "ls" first on PATH (or no "ls" at all): the
// listed tty names fill the port field in order, and an empty listing brings
// the warning box, after which a typed device still opens.
struct ListingCase {
  const char* name;
  std::optional<std::string> ls_output;  // nullopt: no "ls" on PATH
  std::vector<std::string> entries;
  std::string chosen = {};  // what a first start shows in the field
};

void PrintTo(const ListingCase& c, std::ostream* out) { *out << c.name; }

class PortListing : public WindowTest, public ::testing::WithParamInterface<ListingCase> {
 protected:
  void SetUp() override {
    old_path_ = std::getenv("PATH");
    answerer_.emplace();
    WindowTest::SetUp();
    setenv("PATH", old_path_.c_str(), 1);
  }
  void TearDown() override {
    answerer_.reset();
    WindowTest::TearDown();
  }
  void PrepareFolder(testing::WorkingFolder& working) override {
    const std::string bin = working.File("bin");
    std::filesystem::create_directory(bin);
    if (GetParam().ls_output) {
      testing::WriteFileBytes(bin + "/ls", "#!/bin/sh\nprintf '%s' '" + *GetParam().ls_output + "'\n");
      chmod((bin + "/ls").c_str(), 0755);
    }
    setenv("PATH", bin.c_str(), 1);
  }
  const MessageBoxAnswerer& answerer() const { return *answerer_; }

 private:
  std::string old_path_;
  std::optional<MessageBoxAnswerer> answerer_;
};

TEST_P(PortListing, FillsThePortFieldOrWarns) {
  EXPECT_EQ(Form().port_combo.Names(), GetParam().entries);
  if (GetParam().entries.empty()) {
    EXPECT_EQ(answerer().count(), 1);
    EXPECT_EQ(answerer().title(), "W A R N U N G");
    EXPECT_EQ(answerer().text(), "Es wurde kein COM-Port gefunden");
    EXPECT_EQ(SelectedEntry(Form().port_combo), -1);

    FarEnd far_end;
    TypePortName(far_end.name());
    ClickPortButton();
    EXPECT_EQ(CurrentLinkView(), kOpenView);
  } else {
    EXPECT_EQ(answerer().count(), 0);
    EXPECT_EQ(Form().port_combo.Text(), GetParam().chosen);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Listings, PortListing,
    ::testing::Values(
        ListingCase{"TtyNamesInOrder", "ttyS1\nnull\nttyUSB0 -> x\ntty\nconsole\nptmx\nttyACM0\n",
                    {"ttyS1", "ttyUSB0", "tty", "ttyACM0"}, "ttyUSB0"},
        ListingCase{"NoAdapterTakesTheFirst", "tty\nttyS0\n", {"tty", "ttyS0"}, "tty"},
        ListingCase{"NoTtyName", "null\nzero\n", {}},
        ListingCase{"EmptyListing", "", {}},
        ListingCase{"NoLsProgram", std::nullopt, {}}),
    [](const ::testing::TestParamInfo<ListingCase>& info) { return std::string(info.param.name); });

// The port chosen last time is found again by its name, although an adapter
// added since has moved it in the list.
class StoredPort : public WindowTest {
 protected:
  void PrepareFolder(testing::WorkingFolder& working) override {
    testing::WriteFileBytes(working.File("Zielstell.ini"), "COM = 1\nCOM-Name = ttyUSB7\n");
    const std::string bin =
        testing::MakeStandInLs(working.dir().path(), "ttyACM7\\nttyS0\\nttyUSB7\\n");
    setenv("PATH", (bin + ":" + std::getenv("PATH")).c_str(), 1);
  }
};

TEST_F(StoredPort, IsFoundAgainByItsName) {
  EXPECT_EQ(Form().port_combo.Text(), "ttyUSB7");
  EXPECT_EQ(SelectedEntry(Form().port_combo), 2);
}

// Alt+Down typed into `widget`, as GTK gets it from the keyboard.
void PressAltDownIn(Gtk::Widget& widget) {
  widget.grab_focus();
  GdkDisplay* display = gdk_display_get_default();
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  ASSERT_TRUE(gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), GDK_KEY_Down,
                                                &keys, &count));
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(Form().get_window()->gobj()));
  event->key.time = GDK_CURRENT_TIME;
  event->key.keyval = GDK_KEY_Down;
  event->key.state = GDK_MOD1_MASK;
  event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
  gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
  g_free(keys);
  gtk_main_do_event(event);
  gdk_event_free(event);
}

// Opening the list lists the ports again, from the system as it is now (an
// adapter plugged in since shows); the field keeps its text, and the entry it
// names is selected, so that the place stored at the end is right.
TEST_F(LinkCommands, OpeningThePortListListsThePortsAgain) {
  Form().port_combo.SetPorts({{"ttyGone", "", true}});
  TypePortName("tty");
  ASSERT_EQ(SelectedEntry(Form().port_combo), -1);
  PressAltDownIn(*Form().port_combo.get_entry());
  PumpEvents(30);
  const std::optional<std::vector<std::string>> now = ReadSerialPortNames();
  ASSERT_TRUE(now.has_value());
  EXPECT_EQ(Form().port_combo.Names(), *now);
  EXPECT_EQ(Form().port_combo.Text(), "tty");
  ASSERT_GE(SelectedEntry(Form().port_combo), 0);
  EXPECT_EQ((*now)[static_cast<size_t>(SelectedEntry(Form().port_combo))], "tty");
  Form().port_combo.popdown();
  PumpEvents(30);
}

}  // namespace
}  // namespace zielwerk

int main(int argc, char** argv) { return zielwerk::testing::RunWindowTests(argc, argv); }
