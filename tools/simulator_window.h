// SPDX-License-Identifier: GPL-3.0-or-later
// The display simulator's window: the display drawn as a board of round LEDs
// from what arrived on the line, a row of controls for the answers, and a
// status line with the port, the last command and answer and a line count.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/window.h>

#include <functional>
#include <string>

#include "app/ui/led_board_view.h"
#include "simulator/display_board.h"
#include "simulator/display_state.h"
#include "simulator_line.h"

namespace zielwerk {

class SimulatorWindow : public Gtk::Window {
 public:
  // Plays the display on `line` (which must outlive the window) and answers
  // by `options` until the user changes them. With `exit_after` above 0,
  // `finished` is called once that many lines have been received and
  // answered.
  SimulatorWindow(SimulatorLine& line, const std::string& port_name, const AnswerOptions& options,
                  long exit_after, std::function<void()> finished);
  ~SimulatorWindow() override;

  const DisplayState& state() const { return state_; }
  const LedBoardView& board_view() const { return board_view_; }
  // The status line's pieces, joined by " · ".
  std::string StatusText() const;

 protected:
  void on_show() override;

 private:
  bool OnLineReadable(Glib::IOCondition condition);
  // Takes the lines complete by now, sends the answers due, and sets the
  // timer for whichever comes next.
  void Advance();
  bool OnTick();
  void OnOptionsChanged();
  void ShowStatus();

  SimulatorLine& line_;
  std::string port_name_;
  AnswerOptions options_;
  long exit_after_;
  std::function<void()> finished_;
  DisplayState state_;
  std::string last_command_;
  std::string last_answer_;
  std::string line_failure_;

  Gtk::Box layout_{Gtk::ORIENTATION_VERTICAL};
  LedBoardView board_view_{kLedBoardWidth, kLedBoardHeight, 2};
  Gtk::Box controls_{Gtk::ORIENTATION_HORIZONTAL, 6};
  Gtk::Label answer_label_{"Antwort:"};
  Gtk::Entry answer_entry_;
  Gtk::CheckButton crlf_check_{"mit CR LF"};
  Gtk::Label delay_label_{"Verzögerung:"};
  Gtk::SpinButton delay_spin_;
  Gtk::Label delay_unit_label_{"ms"};
  Gtk::CheckButton silent_check_{"Nicht antworten"};
  Gtk::Box status_line_{Gtk::ORIENTATION_HORIZONTAL, 18};
  Gtk::Label port_status_;
  Gtk::Label lines_status_;
  Gtk::Label command_status_;
  Gtk::Label answer_status_;

  sigc::connection read_watch_;
  sigc::connection due_timer_;
  sigc::connection tick_timer_;
};

}  // namespace zielwerk
