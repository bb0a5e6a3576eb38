#include "app/application.h"

#include <gtk/gtk.h>
#include <glibmm/main.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/main.h>
#include <gtkmm/stylecontext.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "app/command_table.h"
#include "app/desktop.h"
#include "app/main_loop.h"
#include "app/link/link_commands.h"
#include "app/preview/scroll_preview.h"
#include "app/preview/train_pictures.h"
#include "app/settings/settings_file.h"
#include "app/ui/picture_pixbuf.h"
#include "core/ini/ini_store.h"
#include "core/preview/scroll_preview.h"
#include "core/settings/settings_keys.h"
#include "core/settings/settings_path.h"

namespace zielwerk {
namespace {

// The application config file and its four keys.
constexpr const char* kAppConfigPath = "Zielstell.ini";
constexpr std::string_view kKeyWindowX = "Fensterposition X";
constexpr std::string_view kKeyWindowY = "Fensterposition Y";
constexpr std::string_view kKeySettingsFile = "Einstellungen";
constexpr std::string_view kKeyPort = "COM";
constexpr int64_t kDefaultWindowPosition = 20;

std::unique_ptr<MainWindow> main_window;
sigc::connection preview_timer;

// Widgets in the form must fit 20-pixel rows: small paddings and no theme
// minimum heights, buttons padded by 2 pixels. Each control must also fit its
// width with the default theme and font (Adwaita, DejaVu Sans 10): the combo
// arrow keeps 12 of its 16 pixels, so "Automatisch" fits DccAnalogCombo's 100
// pixels, and a check box's label drops the 4-pixel margin the theme puts
// after it, so "keine Wagennummer anzeigen" fits its 220 pixels.
constexpr const char* kFormStyle = R"css(
.zw-form entry { min-height: 0; padding-top: 0; padding-bottom: 0; padding-left: 3px; padding-right: 3px; }
.zw-form button, .zw-form button.text-button, .zw-form combobox button {
  min-height: 0; min-width: 0; padding: 0 2px; }
.zw-form combobox button, .zw-form combobox entry { padding-top: 0; padding-bottom: 0; }
.zw-form combobox arrow { min-width: 12px; }
.zw-form checkbutton { min-height: 0; padding: 0; }
.zw-form checkbutton check { margin: 0 3px 0 0; }
.zw-form checkbutton label { margin: 0; }
.zw-form button.zw-spin-arrow { padding: 0; min-width: 0; min-height: 0; border-radius: 0; }
)css";

void InstallFormStyle() {
  auto provider = Gtk::CssProvider::create();
  provider->load_from_data(kFormStyle);
  Gtk::StyleContext::add_provider_for_screen(Gdk::Screen::get_default(), provider,
                                             GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

template <size_t N>
void FillCombo(Gtk::ComboBoxText& combo, const std::array<std::string_view, N>& entries) {
  for (std::string_view entry : entries) combo.append(std::string(entry));
}

// Every GDK event passes here before GTK handles it. While a modal box holds
// the grab, GTK drops a close request for the main window without a word, so
// the request is taken here, box or no box.
void WatchForCloseRequest(GdkEvent* event, gpointer) {
  if (event->type == GDK_DELETE && main_window && main_window->get_window() &&
      event->any.window == main_window->get_window()->gobj()) {
    RequestClose();
  }
  gtk_main_do_event(event);
}

}  // namespace

void StartUp() {
  InstallFormStyle();
  const IconSet icons = LoadIcons();

  OpenIni(kAppConfigPath);
  const int y = static_cast<int>(ReadIniInteger(kKeyWindowY, kDefaultWindowPosition));
  const int x = static_cast<int>(ReadIniInteger(kKeyWindowX, kDefaultWindowPosition));
  main_window = std::make_unique<MainWindow>(x, y, kMainWindowWidth, kMainWindowHeight, icons,
                                             CommandTable(),
                                             [](Command command) {
                                               DispatchUserEvent([command] { RunCommand(command); });
                                             });
  SetForm(main_window.get());
  gdk_event_handler_set(WatchForCloseRequest, nullptr, nullptr);
  // The window stays until the shut-down has run.
  main_window->signal_delete_event().connect([](GdkEventAny*) { return true; });

  SetCurrentSettingsPath(ReadIniFileName(kKeySettingsFile, kDefaultSettingsPath));
  FindSerialPorts();
  SelectEntry(main_window->port_combo, ReadIniInteger(kKeyPort, 0));
  CloseIni();

  main_window->display_label.set_sensitive(false);
  main_window->reset_button.set_sensitive(false);
  FillCombo(main_window->dcc_analog_combo, kDccAnalogEntries);
  FillCombo(main_window->train_type_combo, kTrainTypeEntries);
  LoadStandardPictures();
  FillCombo(main_window->start_mode_combo, kStartModeEntries);
  FillCombo(main_window->end_mode_combo, kEndModeEntries);
  ReadSettingsFile();

  ConnectControlHandlers(*main_window);
  preview_timer = Glib::signal_timeout().connect(
      [] {
        // Ticks that fall due while a command or modal dialog runs are not
        // replayed: GLib fires an overdue timeout once.
        if (!ProgramCodeRunning()) RunProgramCode(TickScrollPreview);
        return true;
      },
      static_cast<unsigned>(kPreviewTickMilliseconds));
}

void ShutDown() {
  if (!main_window) return;
  preview_timer.disconnect();
  CloseLinkAtShutdown();
  WriteSettingsFile();

  int x = 0, y = 0;
  main_window->get_position(x, y);
  OpenIni(kAppConfigPath);
  WriteIniInteger(kKeyWindowX, x);
  WriteIniInteger(kKeyWindowY, y);
  WriteIniText(kKeySettingsFile, CurrentSettingsPath());
  WriteIniInteger(kKeyPort, SelectedEntry(main_window->port_combo));
  CloseIni();

  SetForm(nullptr);
  main_window.reset();
}

int RunZielwerk(int argc, char** argv) {
  PrepareToolkitEnvironment();
  Gtk::Main kit(argc, argv);
  CreateMainLoop();
  // A desktop session ending the program is a close request like any other,
  // also while a start-up message box waits.
  WatchSessionEnd(RequestClose);
  RunProgramCode(StartUp);
  RunMainLoop();
  RunProgramCode(ShutDown);
  ReleaseMainLoop();
  return 0;
}

}  // namespace zielwerk
