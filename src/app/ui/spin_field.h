// SPDX-License-Identifier: GPL-3.0-or-later
// A numeric spin field that fits small fixed sizes: an entry with two small
// stacked arrow buttons. It keeps its text a number within its range (or
// empty), and tells its owner about the user's edits and steps.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/entry.h>

#include <cstdint>
#include <string>

#include "app/ui/control_events.h"

namespace zielwerk {

// A small solid triangle pointing up or down, drawn in the text colour the
// theme gives its button in its present state, so that it reads in light,
// dark and high-contrast themes alike and greys out with a disabled button.
// The theme's arrow icons are 16 pixels high, too high for two of them beside
// a 20-pixel entry.
class ArrowGlyph : public Gtk::DrawingArea {
 public:
  explicit ArrowGlyph(bool up) : up_(up) {}
  // A triangle `height` pixels high and 2 * height - 1 wide.
  void SetHeight(int height);

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

 private:
  bool up_;
  int height_ = 4;
};

class NumericSpinField : public Gtk::Box {
 public:
  NumericSpinField(int64_t minimum, int64_t maximum);

  // The entry's text: the value in decimal, or "" after the user emptied it.
  std::string GetText() const;
  // Takes `text` through the field's rule: out of range is clamped, text that
  // is no number shows the minimum, an empty text stays empty.
  void SetText(const std::string& text);
  int64_t GetValue() const { return value_; }
  // Draws the arrows for a form drawn `factor` times as large as at the
  // standard resolution (1 when the field is made).
  void ShowArrows(double factor);
  void SetValue(int64_t value);

  Gtk::Entry& entry() { return entry_; }
  Gtk::Button& up_button() { return up_; }
  Gtk::Button& down_button() { return down_; }

  // Raised for the user's typing (kChange) and arrow steps (kStep), after the
  // text has been brought into range.
  sigc::signal<void, ControlEventKind>& signal_control_event() { return control_event_; }

 private:
  void OnEntryChanged();
  void Step(int delta);
  void Show(const std::string& text);
  void UpdateArrows();

  int64_t minimum_;
  int64_t maximum_;
  int64_t value_;
  bool rewriting_ = false;
  Gtk::Entry entry_;
  Gtk::Box arrows_{Gtk::ORIENTATION_VERTICAL};
  Gtk::Button up_;
  Gtk::Button down_;
  ArrowGlyph up_arrow_{true};
  ArrowGlyph down_arrow_{false};
  sigc::signal<void, ControlEventKind> control_event_;
};

}  // namespace zielwerk
