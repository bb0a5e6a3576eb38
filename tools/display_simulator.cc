// SPDX-License-Identifier: GPL-3.0-or-later
// zielwerk-display-sim: stands in for the car's destination display on a
// pseudo-terminal. It prints the name to type into the port field, takes the
// bytes at the serial line's speed, and answers each line after a delay, as
// the display's acknowledgement. Without --window it shows every command line
// in readable form; with --window it shows what the display would show.

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <gtkmm/main.h>
#include <glib-unix.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "simulator/command_description.h"
#include "simulator_line.h"
#include "simulator_window.h"

namespace {

using zielwerk::AnswerOptions;
using zielwerk::SimulatorLine;
using zielwerk::SimulatorTerminal;
using Clock = std::chrono::steady_clock;

constexpr char kUsage[] =
    "Aufruf: zielwerk-display-sim [OPTIONEN]\n"
    "\n"
    "Spielt auf einem Pseudo-Terminal die Zielanzeige eines Wagens, um Zielwerk ohne\n"
    "Anzeige auszuprobieren. Die erste Zeile nennt den Port, etwa „Port: pts/3“:\n"
    "diesen Namen tippen Sie in Zielwerks Feld „COM-Port“ (oder geben ihn\n"
    "zielwerk-senden mit -p). Ohne --window gibt der Simulator jede empfangene Zeile\n"
    "lesbar aus. Strg+C beendet ihn.\n"
    "\n"
    "Optionen:\n"
    "  --window          die Anzeige in einem Fenster als Leuchtpunkte zeigen, statt\n"
    "                    die Zeilen auszugeben\n"
    "  --reply TEXT      jede Zeile mit TEXT beantworten (Standard: OK)\n"
    "  --crlf            die Antwort mit CR LF statt mit LF beenden\n"
    "  --delay MS        MS Millisekunden nach dem Eintreffen der Zeile antworten\n"
    "                    (Standard: 50; ab etwa 500 kommt die Antwort zu spät)\n"
    "  --silent          nie antworten\n"
    "  --baud N          die Zeichen mit N Baud annehmen, 10 Bit je Zeichen\n"
    "                    (Standard: 9600; 0: so schnell sie kommen)\n"
    "  --exit-after N    nach N empfangenen und beantworteten Zeilen enden\n"
    "  --record DATEI    jede empfangene Zeile mit ihrem Zeilenende an DATEI\n"
    "                    anhängen (für Tests, die vergleichen, was gesendet wurde)\n"
    "  --help            diese Hilfe\n";

struct Options {
  AnswerOptions answer;
  bool window = false;
  long baud = zielwerk::kDisplayBaud;
  long exit_after = 0;  // 0: run until interrupted
  std::string record_path;
};

volatile sig_atomic_t stop_requested = 0;

void RequestStop(int) { stop_requested = 1; }

std::optional<long> ParseCount(std::string_view text) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

// Returns nullopt after printing the reason when the arguments are unusable.
std::optional<Options> ParseOptions(int argc, char** argv, bool& help) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const bool has_value = i + 1 < argc;
    if (argument == "--help") {
      help = true;
      return options;
    } else if (argument == "--window") {
      options.window = true;
    } else if (argument == "--silent") {
      options.answer.silent = true;
    } else if (argument == "--crlf") {
      options.answer.crlf = true;
    } else if (argument == "--reply" && has_value) {
      options.answer.text = argv[++i];
    } else if (argument == "--record" && has_value) {
      options.record_path = argv[++i];
    } else if ((argument == "--delay" || argument == "--exit-after" || argument == "--baud") &&
               has_value) {
      const std::optional<long> value = ParseCount(argv[++i]);
      if (!value) {
        std::fprintf(stderr, "zielwerk-display-sim: %s braucht eine ganze Zahl ab 0, nicht „%s“.\n",
                     argv[i - 1], argv[i]);
        return std::nullopt;
      }
      (argument == "--delay"  ? options.answer.delay_ms
       : argument == "--baud" ? options.baud
                              : options.exit_after) = *value;
    } else {
      std::fprintf(stderr, "zielwerk-display-sim: unbekannte oder unvollständige Option „%s“.\n\n%s",
                   argv[i], kUsage);
      return std::nullopt;
    }
  }
  return options;
}

void PrintLine(long number, std::string_view line) {
  bool first = true;
  for (const std::string& text : zielwerk::DescribeCommandLine(line)) {
    if (first) {
      std::printf("[%ld] %s\n", number, text.c_str());
    } else {
      std::printf("    %s\n", text.c_str());
    }
    first = false;
  }
}

int RunText(const Options& options, const SimulatorTerminal& terminal) {
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  sigset_t waiting_mask;
  sigprocmask(SIG_BLOCK, &stop_signals, &waiting_mask);
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  std::FILE* record = nullptr;
  if (!options.record_path.empty()) {
    record = std::fopen(options.record_path.c_str(), "ab");
    if (record == nullptr) {
      std::fprintf(stderr, "zielwerk-display-sim: %s lässt sich nicht öffnen: %s\n",
                   options.record_path.c_str(), std::strerror(errno));
      return 1;
    }
  }

  SimulatorLine line(terminal.master(), options.baud);
  long lines_received = 0;
  int status = 0;
  while (!stop_requested) {
    const Clock::time_point now = Clock::now();
    for (;;) {
      if (std::optional<zielwerk::PacedLine> complete = line.NextLine(now, options.answer)) {
        if (record != nullptr) {
          std::fwrite(complete->text.data(), 1, complete->text.size(), record);
          std::fputc('\n', record);
          std::fflush(record);
        }
        PrintLine(++lines_received, complete->text);
      } else if (std::optional<zielwerk::SentAnswer> answer = line.SendNextAnswer(now)) {
        if (answer->written) {
          std::printf("    beantwortet mit „%s“\n", zielwerk::ReadableBytes(answer->bytes).c_str());
        } else {
          std::printf("    (Antwort verworfen: %s)\n", std::strerror(answer->error_number));
        }
      } else {
        break;
      }
    }
    const std::optional<Clock::time_point> due = line.NextDue();
    if (options.exit_after > 0 && lines_received >= options.exit_after && !due) {
      if (!options.answer.silent) zielwerk::WaitUntilAnswersAreTaken(terminal.device());
      break;
    }

    timespec timeout{};
    timespec* timeout_pointer = nullptr;
    if (due) {
      const auto left = std::max(std::chrono::nanoseconds(0),
                                 std::chrono::duration_cast<std::chrono::nanoseconds>(*due - now));
      timeout.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
      timeout.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
      timeout_pointer = &timeout;
    }
    pollfd entry{terminal.master(), POLLIN, 0};
    // The stop signals are let through only while waiting, so one that comes
    // in between cannot be missed.
    const int ready = ppoll(&entry, 1, timeout_pointer, &waiting_mask);
    if (ready < 0) {
      if (errno == EINTR) continue;
      std::fprintf(stderr, "zielwerk-display-sim: poll fehlgeschlagen: %s\n", std::strerror(errno));
      status = 1;
      break;
    }
    if (ready == 0) continue;
    int error_number = 0;
    if (!line.ReadWaiting(Clock::now(), error_number)) {
      std::fprintf(stderr, "zielwerk-display-sim: Lesen fehlgeschlagen: %s\n",
                   error_number != 0 ? std::strerror(error_number) : "Dateiende");
      status = 1;
      break;
    }
  }
  if (stop_requested) std::printf("Beendet.\n");
  if (record != nullptr) std::fclose(record);
  return status;
}

int RunWindow(int argc, char** argv, const Options& options, const SimulatorTerminal& terminal) {
  Gtk::Main kit(argc, argv);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    g_unix_signal_add(signal_number, [](gpointer) -> gboolean {
      Gtk::Main::quit();
      return G_SOURCE_CONTINUE;
    }, nullptr);
  }
  SimulatorLine line(terminal.master(), options.baud);
  bool finished = false;
  zielwerk::SimulatorWindow window(line, terminal.port_name(), options.answer, options.exit_after,
                                   [&finished] {
                                     finished = true;
                                     Gtk::Main::quit();
                                   });
  Gtk::Main::run(window);
  if (finished && !options.answer.silent) zielwerk::WaitUntilAnswersAreTaken(terminal.device());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);
  bool help = false;
  const std::optional<Options> options = ParseOptions(argc, argv, help);
  if (!options) return 2;
  if (help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  signal(SIGPIPE, SIG_IGN);
  SimulatorTerminal terminal;
  std::string error;
  if (!terminal.Open(error)) {
    std::fprintf(stderr, "zielwerk-display-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("Port: %s\n", terminal.port_name().c_str());
  if (options->window) {
    // GTK reads its own options; ours have been checked already.
    int gtk_argc = 1;
    return RunWindow(gtk_argc, argv, *options, terminal);
  }
  std::printf("Tippen Sie diesen Namen in Zielwerks Feld „COM-Port“ und klicken Sie auf "
              "„Öffnen“. Strg+C beendet den Simulator.\n");
  return RunText(*options, terminal);
}
