// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator_window.h"

#include <glibmm/main.h>

#include <algorithm>
#include <cerrno>

#include "simulator/command_description.h"

namespace zielwerk {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultWidth = 980;
constexpr int kDefaultHeight = 520;
constexpr int kLongestDelayMs = 10000;

// The answer as the status line shows it: its text without the line end.
std::string ShownAnswer(std::string bytes) {
  if (bytes.ends_with('\n')) bytes.pop_back();
  if (bytes.ends_with('\r')) bytes.pop_back();
  return "\xE2\x80\x9E" + ReadableBytes(bytes) + "\xE2\x80\x9C";
}

}  // namespace

SimulatorWindow::SimulatorWindow(SimulatorLine& line, const std::string& port_name,
                                 const AnswerOptions& options, long exit_after,
                                 std::function<void()> finished)
    : line_(line),
      port_name_(port_name),
      options_(options),
      exit_after_(exit_after),
      finished_(std::move(finished)) {
  set_title("Zielwerk-Display-Simulator \xE2\x80\x93 Port " + port_name);
  set_default_size(kDefaultWidth, kDefaultHeight);

  answer_entry_.set_text(options_.text);
  answer_entry_.set_width_chars(12);
  crlf_check_.set_active(options_.crlf);
  delay_spin_.set_range(0, std::max<double>(kLongestDelayMs, options_.delay_ms));
  delay_spin_.set_increments(10, 100);
  delay_spin_.set_value(static_cast<double>(options_.delay_ms));
  silent_check_.set_active(options_.silent);
  silent_check_.set_tooltip_text(
      "Zielwerk meldet dann \xE2\x80\x9EKeine Best\xC3\xA4tigung empfangen\xE2\x80\x9C");
  delay_spin_.set_tooltip_text(
      "Wartezeit nach dem letzten Byte einer Zeile; ab 500 ms kommt die Antwort f\xC3\xBCr "
      "Zielwerk zu sp\xC3\xA4t");
  answer_label_.set_mnemonic_widget(answer_entry_);
  delay_label_.set_mnemonic_widget(delay_spin_);

  controls_.set_border_width(6);
  controls_.pack_start(answer_label_, Gtk::PACK_SHRINK);
  controls_.pack_start(answer_entry_, Gtk::PACK_SHRINK);
  controls_.pack_start(crlf_check_, Gtk::PACK_SHRINK);
  controls_.pack_start(delay_label_, Gtk::PACK_SHRINK, 6);
  controls_.pack_start(delay_spin_, Gtk::PACK_SHRINK);
  controls_.pack_start(delay_unit_label_, Gtk::PACK_SHRINK);
  controls_.pack_start(silent_check_, Gtk::PACK_SHRINK, 6);
  // The command can be long; it gives way, the other pieces always show whole.
  command_status_.set_xalign(0.0f);
  command_status_.set_ellipsize(Pango::ELLIPSIZE_END);
  status_line_.set_margin_start(8);
  status_line_.set_margin_end(8);
  status_line_.set_margin_bottom(6);
  status_line_.pack_start(port_status_, Gtk::PACK_SHRINK);
  status_line_.pack_start(lines_status_, Gtk::PACK_SHRINK);
  status_line_.pack_start(answer_status_, Gtk::PACK_SHRINK);
  status_line_.pack_start(command_status_, Gtk::PACK_EXPAND_WIDGET);
  layout_.pack_start(board_view_, Gtk::PACK_EXPAND_WIDGET);
  layout_.pack_start(controls_, Gtk::PACK_SHRINK);
  layout_.pack_start(status_line_, Gtk::PACK_SHRINK);
  add(layout_);

  answer_entry_.signal_changed().connect(sigc::mem_fun(*this, &SimulatorWindow::OnOptionsChanged));
  crlf_check_.signal_toggled().connect(sigc::mem_fun(*this, &SimulatorWindow::OnOptionsChanged));
  delay_spin_.signal_value_changed().connect(
      sigc::mem_fun(*this, &SimulatorWindow::OnOptionsChanged));
  silent_check_.signal_toggled().connect(sigc::mem_fun(*this, &SimulatorWindow::OnOptionsChanged));

  read_watch_ = Glib::signal_io().connect(sigc::mem_fun(*this, &SimulatorWindow::OnLineReadable),
                                          line_.master(), Glib::IO_IN | Glib::IO_ERR | Glib::IO_HUP);
  tick_timer_ = Glib::signal_timeout().connect(sigc::mem_fun(*this, &SimulatorWindow::OnTick),
                                               kPreviewTickMilliseconds);
  board_view_.Show(ComposeLedBoard(state_));
  ShowStatus();
  show_all_children();
}

SimulatorWindow::~SimulatorWindow() {
  read_watch_.disconnect();
  due_timer_.disconnect();
  tick_timer_.disconnect();
}

bool SimulatorWindow::OnLineReadable(Glib::IOCondition) {
  int error_number = 0;
  if (!line_.ReadWaiting(Clock::now(), error_number)) {
    line_failure_ = error_number != 0 ? "Lesefehler " + std::to_string(error_number) : "Dateiende";
    ShowStatus();
    Advance();
    return false;
  }
  Advance();
  return true;
}

void SimulatorWindow::Advance() {
  const Clock::time_point now = Clock::now();
  bool shown_changed = false;
  for (;;) {
    if (std::optional<PacedLine> line = line_.NextLine(now, options_)) {
      last_command_ = state_.TakeLine(line->text).text;
      if (options_.silent) last_answer_ = "keine";
      shown_changed = true;
    } else if (std::optional<SentAnswer> answer = line_.SendNextAnswer(now)) {
      last_answer_ = ShownAnswer(answer->bytes);
      if (!answer->written) {
        last_answer_ += answer->error_number == EAGAIN
                            ? " verworfen: niemand liest die Leitung"
                            : " verworfen: Schreibfehler " + std::to_string(answer->error_number);
      }
      shown_changed = true;
    } else {
      break;
    }
  }
  if (shown_changed) {
    board_view_.Show(ComposeLedBoard(state_));
    ShowStatus();
  }

  due_timer_.disconnect();
  if (const std::optional<Clock::time_point> due = line_.NextDue()) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - now).count();
    due_timer_ = Glib::signal_timeout().connect(
        [this] {
          Advance();
          return false;
        },
        static_cast<unsigned>(std::max<decltype(wait)>(wait, 0)));
  } else if (exit_after_ > 0 && state_.lines_received() >= exit_after_ && finished_) {
    const std::function<void()> finished = std::move(finished_);
    finished_ = nullptr;
    finished();
  }
}

bool SimulatorWindow::OnTick() {
  state_.Tick();
  board_view_.Show(ComposeLedBoard(state_));
  return true;
}

void SimulatorWindow::OnOptionsChanged() {
  options_.text = answer_entry_.get_text();
  options_.crlf = crlf_check_.get_active();
  options_.delay_ms = delay_spin_.get_value_as_int();
  options_.silent = silent_check_.get_active();
}

void SimulatorWindow::ShowStatus() {
  constexpr const char* kNothingYet = "\xE2\x80\x93";  // –
  port_status_.set_text("Port " + port_name_);
  lines_status_.set_text("Zeilen: " + std::to_string(state_.lines_received()));
  answer_status_.set_text("Antwort: " + (last_answer_.empty() ? kNothingYet : last_answer_));
  command_status_.set_text(
      line_failure_.empty()
          ? "Empfangen: " + (last_command_.empty() ? kNothingYet : last_command_)
          : "Leitung unterbrochen: " + line_failure_);
}

std::string SimulatorWindow::StatusText() const {
  constexpr const char* kSeparator = " \xC2\xB7 ";  // ·
  return port_status_.get_text() + kSeparator + lines_status_.get_text() + kSeparator +
         answer_status_.get_text() + kSeparator + command_status_.get_text();
}

void SimulatorWindow::on_show() {
  Gtk::Window::on_show();
  // Nothing has the focus at first, so the answer text is not shown selected
  // and a key press cannot change it by accident.
  unset_focus();
  answer_entry_.select_region(0, 0);
}

}  // namespace zielwerk
