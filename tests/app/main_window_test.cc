// SPDX-License-Identifier: GPL-3.0-or-later
// The real window in-process under Xvfb: every control where the table puts
// it, the menu and toolbar, the spin fields, and the event gate. CTest runs
// the layout's cases again at larger text sizes (GDK_DPI_SCALE, GDK_SCALE),
// naming in ZIELWERK_TEST_FACTOR the text size asked for beyond GTK's own
// scale.
#include <gtk/gtk.h>
#include <gtkmm/box.h>
#include <gtkmm/image.h>
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>
#include <gtkmm/separatortoolitem.h>
#include <gtkmm/settings.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>

#include "app/command_table.h"
#include "app/preview/scroll_preview.h"
#include "app/support/drawn_pixels.h"
#include "app/support/form_checks.h"
#include "app/support/window_fixture.h"
#include "app/ui/control_events.h"
#include "app/ui/main_window.h"
#include "app/ui/picture_pixbuf.h"
#include "core/layout/form_layout.h"
#include "core/settings/version.h"

namespace zielwerk {
namespace {

using testing::PumpEvents;
using testing::WindowTest;

// The text size this run asks for, beyond GTK's own whole-number scale.
double TextSizeAskedFor() {
  const char* factor = std::getenv("ZIELWERK_TEST_FACTOR");
  return factor ? std::atof(factor) : 1.0;
}

using MainWindowLayout = WindowTest;

TEST_F(MainWindowLayout, EveryControlHasItsPlaceAndSize) {
  MainWindow& w = Form();
  const int toolbar = w.main_toolbar.get_allocated_height();
  EXPECT_EQ(toolbar, w.toolbar_height());
  EXPECT_GT(toolbar, 0);
  // The form grows as its texts do: as the resolution asks, or a little
  // more where hinting rounds the fonts up; at 96 dpi not at all.
  if (TextSizeAskedFor() == 1.0) {
    EXPECT_EQ(w.factor(), 1.0);
  } else {
    EXPECT_GE(w.factor(), TextSizeAskedFor());
    EXPECT_LE(w.factor(), TextSizeAskedFor() * 1.1);
  }
  // Each row keeps its place one toolbar height below the form's top, the
  // base place times the factor to the pixel that rounding gives.
  for (size_t i = 0; i < kFormControlCount; ++i) {
    const FormRect& base = BaseFormLayout()[i];
    const FormRect& place = w.place(static_cast<FormControl>(i));
    SCOPED_TRACE(i);
    EXPECT_NEAR(place.y, (base.y + w.toolbar_height()) * w.factor(), 0.5);
    EXPECT_NEAR(place.height, base.height * w.factor(), 1);
  }
  testing::ExpectEveryControlInItsScaledPlace(w);
}

// What each control draws lies inside its rectangle, on the screen: hiding
// the control changes no pixel of the window outside it. The form holds the
// widest list entries and station names that wrap in the preview, as a user
// may leave it; preview ticks and the theme's fades wait meanwhile.
TEST_F(MainWindowLayout, EveryControlDrawsInsideItsRectangle) {
  MainWindow& w = Form();
  Gtk::Settings::get_default()->property_gtk_enable_animations() = false;
  RunProgramCode([&] {
    SelectEntry(w.dcc_analog_combo, 3);
    SelectEntry(w.train_type_combo, 1);
    SelectEntry(w.start_mode_combo, 0);
    SelectEntry(w.end_mode_combo, 0);
    w.start_station_field.set_text("Pontresina Morteratsch Ospizio Bernina");
    w.end_station_field.set_text("Poschiavo Brusio Campocologno Tirano");
    RebuildScrollPreview(ControlEventKind::kChange);
    w.unset_focus();  // no blinking cursor
    // The window's pixels, GTK's whole-number scale and all.
    const int scale = w.get_scale_factor();
    const int width = ScaleLength(530, w.factor()) * scale;
    const int height = ScaleLength(600, w.factor()) * scale;
    for (size_t i = 0; i < kFormControlCount; ++i) {
      SCOPED_TRACE(i);
      Gtk::Widget& widget = w.control(static_cast<FormControl>(i));
      const FormRect& place = w.place(static_cast<FormControl>(i));
      int x = 0, y = 0;
      w.form_area.translate_coordinates(w, place.x, place.y, x, y);
      const auto shown = testing::RedrawnWindowPixels(w);
      widget.hide();
      const auto hidden = testing::RedrawnWindowPixels(w);
      widget.show();
      // The long station names widen nothing.
      ASSERT_EQ(shown->get_width(), width);
      ASSERT_EQ(shown->get_height(), height);
      ASSERT_EQ(hidden->get_width(), width);
      ASSERT_EQ(hidden->get_height(), height);
      const testing::PixelDifference drawn = testing::DifferingPixels(
          shown, hidden,
          Gdk::Rectangle(x * scale, y * scale, place.width * scale, place.height * scale));
      EXPECT_GT(drawn.inside, 0);
      EXPECT_EQ(drawn.outside, 0);
    }
  });
  Gtk::Settings::get_default()->property_gtk_enable_animations() = true;
}

// The bounds of what is drawn dark in columns first_column.. of `shown`: the
// pixels nearer its darkest than its lightest, whatever colour the state
// gives them.
Gdk::Rectangle DarkShape(const Glib::RefPtr<Gdk::Pixbuf>& shown, int first_column) {
  const auto brightness = [&](int x, int y) {
    const guint8* p =
        shown->get_pixels() + y * shown->get_rowstride() + x * shown->get_n_channels();
    return p[0] + p[1] + p[2];
  };
  int darkest = 3 * 255, lightest = 0;
  for (int y = 0; y < shown->get_height(); ++y) {
    for (int x = first_column; x < shown->get_width(); ++x) {
      darkest = std::min(darkest, brightness(x, y));
      lightest = std::max(lightest, brightness(x, y));
    }
  }
  int left = shown->get_width(), right = -1, top = shown->get_height(), bottom = -1;
  for (int y = 0; y < shown->get_height(); ++y) {
    for (int x = first_column; x < shown->get_width(); ++x) {
      if (brightness(x, y) * 2 >= darkest + lightest) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  return Gdk::Rectangle(left, top, right - left + 1, bottom - top + 1);
}

// The combo boxes' arrow is the theme's triangle at the form's 12 pixels, drawn
// from the program's built-in icon: the dark pixels at the right end of each
// list are an 8 x 4 triangle, neither missing nor the 16-pixel fallback.
TEST_F(MainWindowLayout, ComboArrowIsTheTriangleAtTwelvePixels) {
  MainWindow& w = Form();
  for (Gtk::ComboBox* combo : std::initializer_list<Gtk::ComboBox*>{
           &w.dcc_analog_combo, &w.train_type_combo, &w.start_mode_combo, &w.end_mode_combo}) {
    const Glib::RefPtr<Gdk::Pixbuf> shown = testing::ShownPixels(*combo);
    const Gdk::Rectangle arrow = DarkShape(shown, shown->get_width() - 16);
    EXPECT_EQ(arrow.get_width(), 8);
    EXPECT_EQ(arrow.get_height(), 4);
  }
}

// Each spin field's buttons show the program's 7 x 4 triangle in their middle,
// enabled or not.
TEST_F(MainWindowLayout, SpinArrowsAreSmallTrianglesInTheirButtons) {
  MainWindow& w = Form();
  for (NumericSpinField* spin : {&w.car_number_spin, &w.start_time_spin, &w.end_time_spin,
                                 &w.dcc_address_spin}) {
    for (Gtk::Button* button : {&spin->up_button(), &spin->down_button()}) {
      const Glib::RefPtr<Gdk::Pixbuf> shown = testing::ShownPixels(*button);
      const Gdk::Rectangle arrow = DarkShape(shown, 0);
      EXPECT_EQ(arrow.get_width(), 7);
      EXPECT_EQ(arrow.get_height(), 4);
      EXPECT_EQ(arrow.get_x(), (shown->get_width() - 7) / 2);
      EXPECT_EQ(arrow.get_y(), (shown->get_height() - 4) / 2);
    }
  }
}

// The glyphs the program draws on the form (the spin fields' and lists'
// arrows) stand out from their buttons by the 3:1 contrast graphics need, in
// whatever theme the test runs under (light, dark, high contrast).
double Luminance(const guint8* p) {
  const auto linear = [](guint8 channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(p[0]) + 0.7152 * linear(p[1]) + 0.0722 * linear(p[2]);
}

// The contrast of the pixel farthest from the background (the commonest
// colour) with that background.
double GlyphContrast(const Glib::RefPtr<Gdk::Pixbuf>& shown, int first_column) {
  const auto at = [&](int x, int y) {
    return shown->get_pixels() + y * shown->get_rowstride() + x * shown->get_n_channels();
  };
  std::map<std::array<guint8, 3>, int> counts;
  for (int y = 0; y < shown->get_height(); ++y) {
    for (int x = first_column; x < shown->get_width(); ++x) {
      ++counts[{at(x, y)[0], at(x, y)[1], at(x, y)[2]}];
    }
  }
  const auto commonest = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
    return a.second < b.second;
  });
  const double background = Luminance(commonest->first.data());
  double best = 1.0;
  for (int y = 0; y < shown->get_height(); ++y) {
    for (int x = first_column; x < shown->get_width(); ++x) {
      const double l = Luminance(at(x, y));
      best = std::max(best, (std::max(l, background) + 0.05) / (std::min(l, background) + 0.05));
    }
  }
  return best;
}

TEST_F(MainWindowLayout, GlyphsStandOutInEveryTheme) {
  MainWindow& w = Form();
  // The enabled arrows: a disabled one may fade, as the theme's own do.
  for (NumericSpinField* spin : {&w.car_number_spin, &w.start_time_spin, &w.end_time_spin}) {
    const Glib::RefPtr<Gdk::Pixbuf> shown = testing::ShownPixels(spin->up_button());
    EXPECT_GE(GlyphContrast(shown, 0), 3.0);
  }
  for (Gtk::ComboBox* combo : std::initializer_list<Gtk::ComboBox*>{
           &w.dcc_analog_combo, &w.train_type_combo, &w.start_mode_combo, &w.end_mode_combo}) {
    const Glib::RefPtr<Gdk::Pixbuf> shown = testing::ShownPixels(*combo);
    EXPECT_GE(GlyphContrast(shown, shown->get_width() - 16), 3.0);
  }
}

// Tab goes row by row and frame by frame, each frame's controls together, one
// stop a control (the port field too), past the disabled DCC address and
// Reset; Shift+Tab goes back the same way.
TEST_F(MainWindowLayout, TabVisitsTheControlsGroupByGroup) {
  MainWindow& w = Form();
  using F = FormControl;
  const std::vector<F> expected = {
      F::kDccAnalogCombo,  F::kPortCombo,     F::kPortButton,      F::kInvertDirectionCheck,
      F::kStartStationField, F::kStartModeCombo, F::kStartTimeSpin, F::kScrollTextField,
      F::kEndStationField, F::kEndModeCombo,  F::kEndTimeSpin,     F::kTrainTypeCombo,
      F::kCarNumberSpin,   F::kHideCarNumberCheck};
  const auto focused = [&w]() -> std::optional<F> {
    Gtk::Widget* focus = w.get_focus();
    for (size_t i = 0; i < kFormControlCount && focus; ++i) {
      Gtk::Widget& control = w.control(static_cast<F>(i));
      if (focus == &control || focus->is_ancestor(control)) return static_cast<F>(i);
    }
    return std::nullopt;
  };
  // Through the form once each way, from its first control and from its last.
  for (const Gtk::DirectionType direction : {Gtk::DIR_TAB_FORWARD, Gtk::DIR_TAB_BACKWARD}) {
    const bool forward = direction == Gtk::DIR_TAB_FORWARD;
    w.control(forward ? expected.front() : expected.back()).child_focus(direction);
    std::vector<F> visited;
    for (size_t step = 0; step < expected.size() && focused(); ++step) {
      visited.push_back(*focused());
      w.child_focus(direction);
    }
    if (!forward) std::reverse(visited.begin(), visited.end());
    EXPECT_EQ(visited, expected) << (forward ? "Tab" : "Shift+Tab");
  }
}

// Every text of the form reads in full with the default theme and font, and
// so do the preview's three lines, whatever the text size.
TEST_F(MainWindowLayout, EveryTextFitsItsControl) { testing::ExpectEveryTextFits(Form()); }

TEST_F(MainWindowLayout, PreviewShowsThreeWholeLines) { testing::ExpectPreviewLinesWhole(Form()); }

TEST_F(MainWindowLayout, WindowIsFixedSize530By600) {
  MainWindow& w = Form();
  EXPECT_FALSE(w.get_resizable());
  EXPECT_EQ(w.get_allocated_width(), ScaleLength(530, w.factor()));
  EXPECT_EQ(w.get_allocated_height(), ScaleLength(600, w.factor()));
  EXPECT_EQ(w.main_status_bar.get_allocated_width(), w.get_allocated_width());
  EXPECT_EQ(w.StatusText(), "Ok");
  EXPECT_FALSE(w.main_status_bar.get_has_tooltip());

  // A status longer than the bar is cut there and whole in its tooltip; the
  // window keeps its width.
  const std::string long_text(300, 'x');
  RunProgramCode([&] { w.SetStatusText(long_text); });
  PumpEvents(50);
  EXPECT_EQ(w.get_allocated_width(), ScaleLength(530, w.factor()));
  EXPECT_EQ(w.main_status_bar.get_tooltip_text(), long_text);
  RunProgramCode([&] { w.SetStatusText("Ok"); });
  EXPECT_FALSE(w.main_status_bar.get_has_tooltip());
}

// The toolbar as the window shows it: each button's tooltip, "|" for a
// separator; each button's accessible name is its tooltip.
std::vector<std::string> ToolbarOutline(MainWindow& w) {
  std::vector<std::string> outline;
  for (Gtk::Widget* child : w.main_toolbar.get_children()) {
    if (dynamic_cast<Gtk::SeparatorToolItem*>(child)) {
      outline.push_back("|");
      continue;
    }
    outline.push_back(dynamic_cast<Gtk::Bin*>(child)->get_child()->get_tooltip_text());
    EXPECT_EQ(child->get_accessible()->get_name(), outline.back());
  }
  return outline;
}

// The toolbar and the menu as the user meets them, "|" and "-" the separators.
const std::vector<std::string> kToolbar = {
    "Laden", "Speichern", "Speichern als...", "Einstellungen Übertragen", "|", "Drucken...", "|",
    "Lauftext Übertragen", "|", "Bild Zugtyp Laden...", "Bild Zugtyp Übertragen", "|", "Hilfe",
    "Über..."};
const std::vector<std::string> kMenu = {
    "[Datei]", "Laden", "Speichern", "Speichern als...", "Einstellungen übertragen", "-",
    "Drucken...", "-", "Beenden", "[Lauftext]", "Übertragen", "[Bild Zugtyp]", "Laden...",
    "Übertragen", "[Hilfe]", "Hilfe", "Über..."};

TEST_F(MainWindowLayout, ToolbarShowsTheTableInItsGroups) {
  EXPECT_EQ(ToolbarOutline(Form()), kToolbar);
  EXPECT_EQ(Form().main_toolbar.get_toolbar_style(), Gtk::TOOLBAR_ICONS);
}

// Menu titles with their items; "-" marks a separator.
std::vector<std::string> MenuOutline(MainWindow& w, bool& every_item_has_a_picture) {
  std::vector<std::string> outline;
  every_item_has_a_picture = true;
  for (Gtk::Widget* title_widget : w.main_menu.get_children()) {
    auto* title = dynamic_cast<Gtk::MenuItem*>(title_widget);
    outline.push_back("[" + title->get_label() + "]");
    for (Gtk::Widget* child : title->get_submenu()->get_children()) {
      if (dynamic_cast<Gtk::SeparatorMenuItem*>(child)) {
        outline.push_back("-");
        continue;
      }
      outline.push_back(child->get_accessible()->get_name());
      auto* box = dynamic_cast<Gtk::Box*>(dynamic_cast<Gtk::MenuItem*>(child)->get_child());
      auto* image = dynamic_cast<Gtk::Image*>(box->get_children().front());
      if (!image->get_pixbuf()) every_item_has_a_picture = false;
    }
  }
  return outline;
}

TEST_F(MainWindowLayout, MenuShowsTheTableWithPictures) {
  bool pictures = false;
  EXPECT_EQ(MenuOutline(Form(), pictures), kMenu);
  EXPECT_TRUE(pictures);
}

// Every menu item and toolbar button hands on its own command; "Beenden"
// alone has no button.
TEST_F(MainWindowLayout, MenuItemsAndToolbarButtonsCarryTheirCommands) {
  std::vector<Command> chosen;
  MainWindow window(0, 0, 1.0, LoadIcons(), CommandTable(),
                    [&](Command command) { chosen.push_back(command); });
  for (int i = 0; i < kCommandCount; ++i) {
    const auto command = static_cast<Command>(i);
    SCOPED_TRACE(i);
    chosen.clear();
    ASSERT_NE(window.menu_item(command), nullptr);
    window.menu_item(command)->activate();
    EXPECT_EQ(chosen, std::vector<Command>{command});
    Gtk::ToolButton* button = window.toolbar_button(command);
    ASSERT_EQ(button == nullptr, command == Command::kExit);
    if (!button) continue;
    g_signal_emit_by_name(button->gobj(), "clicked");
    EXPECT_EQ(chosen, (std::vector<Command>{command, command}));
  }
}

TEST_F(MainWindowLayout, StartStateOfControls) {
  MainWindow& w = Form();
  EXPECT_FALSE(w.display_label.get_sensitive());
  EXPECT_FALSE(w.reset_button.get_sensitive());
  EXPECT_TRUE(w.port_button.get_sensitive());
  EXPECT_FALSE(w.port_button.get_active());
  EXPECT_EQ(w.port_button.get_label(), "Öffnen");
  EXPECT_EQ(w.dcc_analog_combo.get_tooltip_text(),
            "Aus = Laufschrift wird nicht umgekehrt, DCC/Analog = Laufschrift wird entsprechend "
            "der Fahrtrichtung umgekehrt, Automatisch = Umschaltung DCC/Analog automatisch");
  EXPECT_EQ(w.start_time_label.get_xalign(), 1.0f);
  EXPECT_TRUE(w.get_title().find(std::string(kAppNameAndVersion) + " - [") == 0);
}

// Windows reports a minimised window at -32000, -32000. Such a position is
// never stored: the place where the window was last shown normally is. The
// next start opens a window stored off every monitor at (20, 20).
class WindowPosition : public WindowTest {
  void PrepareFolder(testing::WorkingFolder& folder) override {
    testing::WriteFileBytes(folder.File("Zielstell.ini"),
                            "Fensterposition X = -32000\nFensterposition Y = -32000\n");
  }
};

TEST_F(WindowPosition, MinimisedIsNotStoredAndOffScreenComesBack) {
  MainWindow& w = Form();
  int x = 0, y = 0;
  w.get_position(x, y);
  EXPECT_EQ(x, 20);
  EXPECT_EQ(y, 20);
  // Moves the window and waits until the window has handled the move.
  const auto move_to = [&w](int to_x, int to_y) {
    bool moved = false;
    sigc::connection watch = w.signal_configure_event().connect(
        [&](GdkEventConfigure* event) {
          moved = moved || (event->x == to_x && event->y == to_y);
          return false;
        },
        false);
    w.move(to_x, to_y);
    const bool done = testing::PumpEventsUntil([&moved] { return moved; });
    watch.disconnect();
    return done;
  };
  ASSERT_TRUE(move_to(100, 120));
  // No window manager runs here to minimise the window, so GDK hands on the
  // state change one would report.
  GdkEvent* minimised = gdk_event_new(GDK_WINDOW_STATE);
  minimised->window_state.window = GDK_WINDOW(g_object_ref(w.get_window()->gobj()));
  minimised->window_state.changed_mask = GDK_WINDOW_STATE_ICONIFIED;
  minimised->window_state.new_window_state = GDK_WINDOW_STATE_ICONIFIED;
  gtk_main_do_event(minimised);
  gdk_event_free(minimised);
  ASSERT_TRUE(move_to(-32000, -32000));
  ShutDownNow();
  const std::string config = testing::ReadFileBytes(folder().File("Zielstell.ini"));
  EXPECT_NE(config.find("Fensterposition X = 100\n"), std::string::npos) << config;
  EXPECT_NE(config.find("Fensterposition Y = 120\n"), std::string::npos) << config;
}

class MissingIcon : public WindowTest {
  void PrepareFolder(testing::WorkingFolder& folder) override {
    std::filesystem::remove(folder.File("Icons/Print.png"));
    testing::WriteFileBytes(folder.File("Icons/Help.png"), "not a picture");
  }
};

TEST_F(MissingIcon, DropsToolbarButtonAndMenuPicture) {
  const std::vector<std::string> toolbar = {
      "Laden", "Speichern", "Speichern als...", "Einstellungen Übertragen", "|", "|",
      "Lauftext Übertragen", "|", "Bild Zugtyp Laden...", "Bild Zugtyp Übertragen", "|", "Über..."};
  EXPECT_EQ(ToolbarOutline(Form()), toolbar);
  EXPECT_EQ(Form().toolbar_button(Command::kPrintSettings), nullptr);
  EXPECT_EQ(Form().toolbar_button(Command::kHelp), nullptr);
  bool pictures = true;
  EXPECT_EQ(MenuOutline(Form(), pictures), kMenu);
  EXPECT_FALSE(pictures);
  ASSERT_NE(Form().menu_item(Command::kPrintSettings), nullptr);
  EXPECT_TRUE(Form().menu_item(Command::kPrintSettings)->get_visible());
}

// Editing a spin field's entry character by character at its end, through
// the same editing calls a key press makes ('\b' deletes the last character).
void Type(NumericSpinField& spin, const std::string& keys) {
  Gtk::Entry& entry = spin.entry();
  for (char key : keys) {
    const int length = static_cast<int>(entry.get_text_length());
    if (key == '\b') {
      if (length > 0) entry.delete_text(length - 1, length);
    } else {
      int position = length;
      entry.insert_text(std::string(1, key), 1, position);
    }
    PumpEvents(1);
  }
}

struct SpinCase {
  const char* name;
  NumericSpinField& (*spin)(MainWindow&);
  std::string start_text;
  std::string keys;
  std::string shown;
  int64_t value;
};

using SpinTyping = WindowTest;

TEST_F(SpinTyping, TypedTextIsClampedAtOnce) {
  const SpinCase cases[] = {
      {"CarNumber12", [](MainWindow& w) -> NumericSpinField& { return w.car_number_spin; }, "1",
       "\b12", "9", 9},
      {"DccAddress0", [](MainWindow& w) -> NumericSpinField& { return w.dcc_address_spin; }, "5",
       "\b0", "1", 1},
      {"StartTime20000", [](MainWindow& w) -> NumericSpinField& { return w.start_time_spin; },
       "1", "\b20000", "9999", 9999},
      {"LettersReadAsMinimum", [](MainWindow& w) -> NumericSpinField& { return w.end_time_spin; },
       "500", "\b\b\bx", "1", 1},
      {"EmptiedKeepsValue", [](MainWindow& w) -> NumericSpinField& { return w.end_time_spin; },
       "42", "\b\b", "", 4},
  };
  for (const SpinCase& c : cases) {
    SCOPED_TRACE(c.name);
    NumericSpinField& spin = c.spin(Form());
    RunProgramCode([&] { spin.SetText(c.start_text); });
    Type(spin, c.keys);
    EXPECT_EQ(spin.GetText(), c.shown);
    EXPECT_EQ(spin.GetValue(), c.value);
  }
}

TEST_F(SpinTyping, ArrowsStepByOneAndStopAtTheBounds) {
  NumericSpinField& spin = Form().car_number_spin;
  RunProgramCode([&] { spin.SetValue(8); });
  EXPECT_TRUE(spin.up_button().get_sensitive());
  spin.up_button().clicked();
  EXPECT_EQ(spin.GetText(), "9");
  EXPECT_FALSE(spin.up_button().get_sensitive());
  EXPECT_TRUE(spin.down_button().get_sensitive());
  RunProgramCode([&] { spin.SetValue(1); });
  EXPECT_FALSE(spin.down_button().get_sensitive());
  EXPECT_TRUE(spin.up_button().get_sensitive());
}

TEST_F(SpinTyping, ProgramTextsFollowTheFieldRule) {
  NumericSpinField& spin = Form().dcc_address_spin;
  const std::pair<std::string, std::string> cases[] = {
      {"300", "127"}, {"x", "1"}, {"", ""}, {"12abc", "12"}, {"-4", "1"}};
  for (const auto& [text, shown] : cases) {
    RunProgramCode([&] { spin.SetText(text); });
    EXPECT_EQ(spin.GetText(), shown) << text;
  }
}

using EventGate = WindowTest;

// The gate every handler is connected through: a signal raised while program
// code runs (a program-side change, or a handler setting another control)
// reaches no handler; each signal the user raises reaches its handler once.
TEST_F(EventGate, ProgramChangesRaiseNoControlEvent) {
  MainWindow& w = Form();
  std::vector<std::string> events;  // "control kind", in the order raised
  const auto record = [&events](const char* control) {
    return [&events, control](ControlEventKind kind) {
      const char* names[] = {"change", "click", "step"};
      events.push_back(std::string(control) + " " + names[static_cast<int>(kind)]);
    };
  };
  w.scroll_text_field.signal_changed().connect(
      ControlEventSlot<>(ControlEventKind::kChange, record("text")));
  w.hide_car_number_check.signal_toggled().connect(ControlEventSlot<>(
      ControlEventKind::kClick, [&, check = record("check")](ControlEventKind kind) {
        check(kind);
        w.scroll_text_field.set_text("vom Handler");
      }));
  w.car_number_spin.signal_control_event().connect(ControlEventRelay(record("spin")));

  RunProgramCode([&] {
    w.scroll_text_field.set_text("vom Programm");
    w.hide_car_number_check.set_active(!w.hide_car_number_check.get_active());
    w.car_number_spin.SetValue(5);
    w.car_number_spin.up_button().clicked();
  });
  EXPECT_EQ(events, std::vector<std::string>{});

  w.hide_car_number_check.clicked();
  EXPECT_EQ(events, std::vector<std::string>{"check click"});
  EXPECT_EQ(w.scroll_text_field.get_text().raw(), "vom Handler");
  events.clear();
  w.car_number_spin.up_button().clicked();
  Type(w.car_number_spin, "\b3");
  w.scroll_text_field.set_text("vom Benutzer");
  EXPECT_EQ(events, (std::vector<std::string>{"spin step", "spin change", "spin change",
                                              "text change"}));
}

}  // namespace
}  // namespace zielwerk

int main(int argc, char** argv) { return zielwerk::testing::RunWindowTests(argc, argv); }
